# Packs a product folder into the payload archive, entries in the order of LIST,
# followed by the four zero bytes the setup's payload carries after its last entry.
# cmake -DYZZ=... -DPRODUCT_DIR=... -DLIST=... -DOUT=... -P pack_payload.cmake
file(STRINGS ${LIST} names ENCODING UTF-8)
set(files)
foreach(name IN LISTS names)
  if(NOT EXISTS ${PRODUCT_DIR}/${name})
    message(FATAL_ERROR "product folder ${PRODUCT_DIR} lacks ${name}")
  endif()
  list(APPEND files ${PRODUCT_DIR}/${name})
endforeach()
file(REMOVE ${OUT} ${OUT}.tmp)
execute_process(COMMAND ${YZZ} pack ${OUT}.tmp ${files} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  file(REMOVE ${OUT}.tmp)
  message(FATAL_ERROR "yzz pack failed")
endif()
execute_process(COMMAND sh -c "head -c 4 /dev/zero >> '${OUT}.tmp'" RESULT_VARIABLE rc)
file(RENAME ${OUT}.tmp ${OUT})
