// How the product's keyboard layout is named, in the bytes each code page stores.
#pragma once

#include <cstddef>

// The name that marks the product's entry among the Keyboard Layouts: 16 bytes.
constexpr size_t layout_name_bytes = 16;
constexpr char layout_name_gbk[] = "智能映舟输入平台";
// 智能映舟輸入平台 in Big5 (iconv -t BIG5), the traditional-Chinese system's name.
constexpr char layout_name_big5[] = "\xB4\xBC\xAF\xE0\xAC\x4D\xA6\xE0\xBF\xE9\xA4\x4A\xA5\xAD\xA5\x78";
static_assert(sizeof layout_name_gbk - 1 == layout_name_bytes, "GBK layout name");
static_assert(sizeof layout_name_big5 - 1 == layout_name_bytes, "Big5 layout name");

// The "layout text" written into the registry: the name, two blanks, the version.
constexpr char layout_text_gbk[] = "智能映舟输入平台  7.9";
// 智能映舟輸入平台  7.9 in Big5 (iconv -t BIG5).
constexpr char layout_text_big5[] =
    "\xB4\xBC\xAF\xE0\xAC\x4D\xA6\xE0\xBF\xE9\xA4\x4A\xA5\xAD\xA5\x78"
    "  7.9";
static_assert(sizeof layout_text_gbk - 1 == 21 && sizeof layout_text_big5 - 1 == 21, "21-byte texts");

// The preload checks look for GBK bytes on every code page: the first 12 bytes of a
// layout text, and the first 16 bytes of a loaded layout's description.
constexpr size_t preload_match_bytes = 12;
constexpr char preload_match_gbk[] = "智能映舟输入";
static_assert(sizeof preload_match_gbk - 1 == preload_match_bytes, "GBK preload match");

// What a code page gives the registration: the name it matches, the text it writes, the
// language suffix forced onto the id and the least id it makes.
struct product_layout {
  const char* name;
  const char* text;
  const char* suffix;
  unsigned long id_floor;
};

product_layout product_layout_for(unsigned code_page);

// True when the text begins with the 16 GBK bytes of the product's name. The text must
// have room for 16 bytes (a zero-filled buffer does).
bool names_product_layout(const char* text);
