// compact_word_list: the worked example, idempotence, the end of the text and a whole
// generated library.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "archive/word_list.h"
#include "tests/archive/test_support.h"

namespace {

struct compacted {
  size_t result;
  std::string text;  // the result's bytes and the trailer
};

// Compacts a copy with exactly n + 12 bytes of room, followed by guard bytes that must
// stay as they are.
compacted compact(const std::string& input) {
  std::vector<unsigned char> buffer(input.size() + 12 + 16, 0xA5);
  std::memcpy(buffer.data(), input.data(), input.size());
  const size_t m = compact_word_list(buffer.data(), input.size());
  for (size_t i = input.size() + 12; i < buffer.size(); ++i) EXPECT_EQ(0xA5, buffer[i]) << i;
  EXPECT_LE(m, input.size());
  return {m, std::string(reinterpret_cast<const char*>(buffer.data()), m + 12)};
}

std::string trailer(uint32_t sum, uint32_t count) {
  std::string out = "YING";
  for (const uint32_t v : {sum, count})
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
  return out;
}

TEST(CompactWordList, WorkedExample) {
  const std::string input = "中国; 人; abc; 北京; ";
  ASSERT_EQ(21u, input.size());
  const compacted out = compact(input);
  EXPECT_EQ(16u, out.result);
  EXPECT_EQ(std::string("中国; ; ; 北京; ") + trailer(1973, 2), out.text);
}

TEST(CompactWordList, CompactedTextIsLeftUnchanged) {
  const compacted once = compact("中国; 人; abc; 北京; ");
  const compacted twice = compact(once.text);
  EXPECT_EQ(once.result, twice.result);
  EXPECT_EQ(once.text, twice.text.substr(0, once.text.size()));
}

struct text_case {
  const char* title;
  std::string input;
  std::string output;  // kept text
  uint32_t sum, count;
};

TEST(CompactWordList, Cases) {
  const std::string zhong = "中", guo = "国";
  const uint32_t zhongguo_sum =
      static_cast<unsigned char>(zhong[0]) + static_cast<unsigned char>(zhong[1]) +
      static_cast<unsigned char>(guo[0]) + static_cast<unsigned char>(guo[1]);
  const std::vector<text_case> cases = {
      {"empty", "", "", 0, 0},
      {"shorter than 12 bytes, starting with the marker", "YING; ab", "; ", 0, 0},
      {"ASCII up to a blank", "ab c", "b ", 0, 0},
      {"word without separator at the end", "中国; 中国", "中国; ", 2 * zhongguo_sum, 1},
      {"one character dropped, separator kept", "中; 中国; ", "; 中国; ",
       zhongguo_sum + static_cast<unsigned char>(zhong[0]) + static_cast<unsigned char>(zhong[1]),
       1},
      {"separator pair at the very end", "; ;", "; ;", 0, 0},
      {"lone semicolon at the end", "abc;", ";", 0, 0},
      {"lead byte at the end", "中国; \xB1", "中国; ", zhongguo_sum, 1},
  };
  for (const text_case& test : cases) {
    SCOPED_TRACE(test.title);
    const compacted out = compact(test.input);
    EXPECT_EQ(test.output.size(), out.result);
    EXPECT_EQ(test.output + trailer(test.sum, test.count), out.text);
  }
}

TEST(CompactWordList, TwelveBytesWithTheMarkerCountAsCompacted) {
  const std::string input = trailer(5, 6);
  const compacted out = compact(input);
  EXPECT_EQ(0u, out.result);
  EXPECT_EQ(input, out.text);
}

// A library of words of two to four characters comes out as it went in, with a trailer
// that counts every word and every byte.
TEST(CompactWordList, WholeLibraryIsKept) {
  std::string library;
  uint32_t sum = 0, count = 0, state = 99;
  for (int w = 0; w < 20000; ++w) {
    state = state * 1103515245u + 12345u;
    const int characters = 2 + static_cast<int>((state >> 16) % 3);
    for (int c = 0; c < characters; ++c) {
      state = state * 1103515245u + 12345u;
      const unsigned char lead = static_cast<unsigned char>(0xB0 + (state >> 16) % 40);
      const unsigned char trail = static_cast<unsigned char>(0xA1 + (state >> 24) % 94);
      library += static_cast<char>(lead);
      library += static_cast<char>(trail);
      sum += lead + trail;
    }
    library += "; ";
    ++count;
  }
  const compacted out = compact(library);
  EXPECT_EQ(library.size(), out.result);
  EXPECT_EQ(library + trailer(sum, count), out.text);
  EXPECT_EQ(out.text.substr(0, out.result + 12), compact(out.text).text);
}

}  // namespace
