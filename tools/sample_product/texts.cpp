#include <cstring>

#include "gbk.h"
#include "random.h"

// GBK text tables and notes of the product, each opened by a comment line
// naming the product and the file.

namespace {

const char fullwidth_comma[] = "，";
const char fullwidth_stop[] = "。";

void start_text(file_bytes& out, const product_file& file) {
  out.clear();
  append_text(out, "; 智能映舟输入平台 7.9  ");
  append_text(out, file.name);
  append_text(out, "\r\n");
}

// Appends line unless the file would outgrow its size; false when full.
bool append_line(file_bytes& out, const file_bytes& line, std::size_t size) {
  if (out.size() + line.size() > size) return false;
  out.insert(out.end(), line.begin(), line.end());
  return true;
}

}  // namespace

// "code word" lines: Wubi-style letter codes in the Wubi tables, pinyin
// spellings in the others.
bool make_code_table_text(const product_file& file, const make_context&, file_bytes& out) {
  std::uint64_t state = seed_from_name(file.name);
  bool wubi = std::strstr(file.name, "wb") != nullptr;
  start_text(out, file);
  for (;;) {
    file_bytes line, word;
    unsigned length = 1 + random_below(state, 3);
    unsigned first = 0;
    for (unsigned i = 0; i < length; ++i) {
      unsigned index = pick_hanzi(state);
      if (!i) first = index;
      append_hanzi(word, index);
    }
    if (wubi) {
      for (unsigned i = 0, n = 1 + random_below(state, 4); i < n; ++i)
        line.push_back(static_cast<unsigned char>('a' + random_below(state, 25)));
    } else {
      append_text(line, pinyin_of(first));
    }
    line.push_back(' ');
    line.insert(line.end(), word.begin(), word.end());
    append_text(line, "\r\n");
    if (!append_line(out, line, file.size)) break;
  }
  return true;
}

// Lines of character pairs, as the simplified/traditional and variant tables hold them.
bool make_char_pair_text(const product_file& file, const make_context&, file_bytes& out) {
  std::uint64_t state = seed_from_name(file.name);
  start_text(out, file);
  for (unsigned index = random_below(state, 40); index < hanzi_count;
       index += 1 + random_below(state, 3)) {
    file_bytes line;
    append_hanzi(line, index);
    append_hanzi(line, pick_hanzi(state));
    append_text(line, "\r\n");
    if (!append_line(out, line, file.size)) break;
  }
  return true;
}

// Running text: sentences of 6 to 17 characters, a few to a line.
bool make_note_text(const product_file& file, const make_context&, file_bytes& out) {
  std::uint64_t state = seed_from_name(file.name);
  start_text(out, file);
  for (;;) {
    file_bytes line;
    for (unsigned s = 0, sentences = 1 + random_below(state, 3); s < sentences; ++s) {
      for (unsigned i = 0, n = 6 + random_below(state, 12); i < n; ++i) {
        append_hanzi(line, pick_hanzi(state));
        if (i + 1 < n && random_below(state, 7) == 0) append_text(line, fullwidth_comma);
      }
      append_text(line, fullwidth_stop);
    }
    append_text(line, "\r\n");
    if (!append_line(out, line, file.size)) break;
  }
  return true;
}
