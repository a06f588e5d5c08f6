#include "archive/word_list.h"

#include <cstdint>
#include <cstring>

#include "archive/archive_format.h"

namespace {

constexpr unsigned char trailer_marker[4] = {'Y', 'I', 'N', 'G'};

// Double-byte character of GBK as the library counts it: lead above 0x80, trail above 0x3F.
bool is_double_byte(const unsigned char* text, size_t n, size_t j) {
  return j + 1 < n && text[j] > 0x80 && text[j + 1] > 0x3F;
}

bool is_separator_at(const unsigned char* text, size_t n, size_t j) {
  return j + 1 < n && text[j] == ';' && text[j + 1] == ' ';
}

}  // namespace

size_t compact_word_list(unsigned char* text, size_t n) {
  if (n >= word_list_trailer_size &&
      std::memcmp(text + n - word_list_trailer_size, trailer_marker, 4) == 0)
    return n - word_list_trailer_size;

  size_t i = 0, j = 0;
  uint32_t byte_sum = 0, word_count = 0;
  while (j < n) {
    const size_t start = i;
    size_t characters = 0;
    while (is_double_byte(text, n, j)) {
      byte_sum += text[j] + text[j + 1];
      text[i++] = text[j++];
      text[i++] = text[j++];
      ++characters;
    }
    if (characters >= 2 && is_separator_at(text, n, j)) {
      ++word_count;
      text[i++] = text[j++];
      text[i++] = text[j++];
      continue;
    }
    i = start;
    while (j < n && text[j] != ';' && !(j + 1 < n && text[j + 1] == ' ')) ++j;
    if (j >= n) break;
    // The pair that ends the dropped candidate; at the very end only its first byte is
    // part of the text, and nothing past the text is copied.
    text[i++] = text[j++];
    if (j < n) text[i++] = text[j++];
  }

  std::memcpy(text + i, trailer_marker, 4);
  store_u32le(text + i + 4, byte_sum);
  store_u32le(text + i + 8, word_count);
  return i;
}
