#include "integration/product_layout.h"

#include <cstring>

product_layout product_layout_for(unsigned code_page) {
  if (code_page == 950) return {layout_name_big5, layout_text_big5, "404", 0xE0000404UL};
  return {layout_name_gbk, layout_text_gbk, "804", 0xE0000804UL};
}

bool names_product_layout(const char* text) {
  return std::memcmp(text, layout_name_gbk, layout_name_bytes) == 0;
}
