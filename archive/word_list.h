// The word library's compaction: keeps the words of two or more double-byte characters,
// drops the others (their "; " separators stay), and appends a 12-byte trailer:
//
//   +--------+----------+------------+
//   | "YING" | byte sum | word count |
//   +--------+----------+------------+
//       4         4           4        (unsigned 32-bit little-endian)
//
// The byte sum adds the lead and trail bytes of every double-byte character met while
// scanning, those of dropped words included.
#pragma once

#include <cstddef>

constexpr size_t word_list_trailer_size = 12;

// Works in place on text (n bytes, with room for n + 12) and returns m, the kept length;
// the trailer is at m and the caller writes m + 12 bytes. A text that already ends with a
// trailer (n >= 12 and "YING" at n - 12) is left unchanged and n - 12 is returned.
size_t compact_word_list(unsigned char* text, size_t n);
