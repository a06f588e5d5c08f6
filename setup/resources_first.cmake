# Writes OUT: the linker's default script for this target with the resource section moved
# to the front of the image. The install relabels setupw64.exe by reading only its first
# 128 KiB, so its version label must lie there however large the program grows.
#   cmake -DLINKER=... -DOUT=... -P resources_first.cmake
execute_process(COMMAND ${LINKER} --verbose OUTPUT_VARIABLE verbose RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${LINKER} --verbose failed")
endif()
string(FIND "${verbose}" "==================================================" start)
string(FIND "${verbose}" "==================================================" end REVERSE)
math(EXPR start "${start} + 50")
math(EXPR length "${end} - ${start}")
string(SUBSTRING "${verbose}" ${start} ${length} script)

set(first_section "__image_base__ + ( __section_alignment__ < 0x1000 ? . : __section_alignment__ )")
string(REGEX MATCH "  \\.rsrc BLOCK\\(__section_alignment__\\) :[^}]*}\n" rsrc "${script}")
string(FIND "${script}" "  .text  ${first_section} :" text_at)
if(rsrc STREQUAL "" OR text_at EQUAL -1)
  message(FATAL_ERROR "unexpected default linker script of ${LINKER}")
endif()
string(REPLACE "${rsrc}" "" script "${script}")
string(REPLACE ".rsrc BLOCK(__section_alignment__) :" ".rsrc  ${first_section} :" rsrc "${rsrc}")
string(REPLACE "  .text  ${first_section} :" "${rsrc}  .text BLOCK(__section_alignment__) :"
       script "${script}")
file(WRITE ${OUT} "${script}")
