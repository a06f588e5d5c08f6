#include <set>
#include <string>

#include "gbk.h"
#include "product_file.h"
#include "random.h"

namespace {

// Two-character words dominate a real library; the mix below gives the real
// one's mean of about 7.3 bytes per item.
unsigned pick_word_length(std::uint64_t& state) {
  unsigned r = random_below(state, 100);
  return r < 55 ? 2 : r < 77 ? 3 : 4;
}

std::string make_word(std::uint64_t& state, std::string* pinyin) {
  file_bytes word;
  unsigned length = pick_word_length(state);
  for (unsigned i = 0; i < length; ++i) {
    unsigned index = pick_hanzi(state);
    append_hanzi(word, index);
    if (pinyin) {
      if (i) *pinyin += '\'';
      *pinyin += pinyin_of(index);
    }
  }
  return std::string(word.begin(), word.end());
}

}  // namespace

// Items "word; " back to back, sorted and unique, no line ends: the
// compaction on unpacking (which keeps words of two or more characters
// followed by "; ") must find every one of them intact.
bool make_wubi_library(const product_file& file, const make_context&, file_bytes& out) {
  std::uint64_t state = seed_from_name(file.name);
  std::set<std::string> words;
  std::size_t total = 0;
  while (total < file.size) {
    auto inserted = words.insert(make_word(state, nullptr));
    if (inserted.second) total += inserted.first->size() + 2;
  }
  out.clear();
  for (const std::string& word : words) {
    if (out.size() + word.size() + 2 > file.size) break;
    out.insert(out.end(), word.begin(), word.end());
    out.push_back(';');
    out.push_back(' ');
  }
  return !out.empty();
}

// Lines "pin'yin word" with CR LF, sorted by their spelling as an input
// method's pinyin table is.
bool make_pinyin_library(const product_file& file, const make_context&, file_bytes& out) {
  std::uint64_t state = seed_from_name(file.name);
  std::set<std::string> lines;
  std::size_t total = 0;
  while (total < file.size) {
    std::string pinyin;
    std::string word = make_word(state, &pinyin);
    if (lines.insert(pinyin + ' ' + word + "\r\n").second) total += pinyin.size() + word.size() + 3;
  }
  out.clear();
  for (const std::string& line : lines) {
    if (out.size() + line.size() > file.size) break;
    out.insert(out.end(), line.begin(), line.end());
  }
  return !out.empty();
}
