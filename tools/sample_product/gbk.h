#pragma once
// GBK text pieces for the sample word libraries and tables. Characters are
// drawn from the first-level GB2312 hanzi (rows B0 to D7), which every GBK
// and GB2312 reader knows; that level is ordered by pinyin, which is what
// lets pinyin_of give a plausible syllable for an index.

#include <cstdint>

#include "product_file.h"

// Rows B0..D6 hold 94 characters each, row D7 only 89 (D7FA..D7FE are unassigned).
constexpr unsigned hanzi_count = 39 * 94 + 89;

// Appends the two GBK bytes of first-level character number index.
void append_hanzi(file_bytes& out, unsigned index);

// A character index, common ones far more often than rare ones, as in real text.
unsigned pick_hanzi(std::uint64_t& state);

// A pinyin syllable (lower-case ASCII) for a character index.
const char* pinyin_of(unsigned index);

void append_text(file_bytes& out, const char* text);
