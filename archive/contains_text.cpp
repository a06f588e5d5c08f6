#include "archive/contains_text.h"

namespace {

bool matches(unsigned char text_byte, unsigned char needle_byte) {
  if (text_byte == needle_byte) return true;
  return text_byte >= 'A' && text_byte <= 'Z' && text_byte - 'A' + 'a' == needle_byte;
}

}  // namespace

bool contains_text(const char* text, const char* needle) {
  if (text == nullptr || needle == nullptr) return false;
  for (const char* start = text; *start != 0; ++start) {
    const unsigned char* t = reinterpret_cast<const unsigned char*>(start);
    const unsigned char* n = reinterpret_cast<const unsigned char*>(needle);
    while (*n != 0 && *t != 0 && matches(*t, *n)) {
      ++t;
      ++n;
    }
    if (*n == 0) return true;
  }
  return false;
}
