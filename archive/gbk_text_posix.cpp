#include "archive/gbk_text.h"

#include <iconv.h>

#include <cstring>

namespace {

// CP936 is Windows' GBK: it also has the euro sign at 0x80, as the setup's systems do.
constexpr const char gbk_charset[] = "CP936";

bool convert(const char* to, const char* from, const char* text, char* out, size_t capacity) {
  if (capacity == 0) return false;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  char* in = const_cast<char*>(text);
  size_t in_left = std::strlen(text);
  char* put = out;
  size_t out_left = capacity - 1;  // room for the terminator
  const bool ok = iconv(cd, &in, &in_left, &put, &out_left) != static_cast<size_t>(-1) &&
                  iconv(cd, nullptr, nullptr, &put, &out_left) != static_cast<size_t>(-1);
  iconv_close(cd);
  if (!ok || in_left != 0) {
    out[0] = 0;
    return false;
  }
  *put = 0;
  return true;
}

}  // namespace

bool gbk_to_utf8(const char* gbk, char* out, size_t capacity) {
  return convert("UTF-8", gbk_charset, gbk, out, capacity);
}

bool utf8_to_gbk(const char* utf8, char* out, size_t capacity) {
  return convert(gbk_charset, "UTF-8", utf8, out, capacity);
}
