#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Utf8.h"

namespace {

std::vector<char32_t> decode(const std::string& text) {
  std::vector<char32_t> codes;
  for (std::size_t i = 0; i < text.size();) codes.push_back(platform::nextCodePoint(text, i));
  return codes;
}

TEST(Utf8, WellFormedSequencesOfEveryLengthDecode) {
  EXPECT_EQ(decode("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB9"), (std::vector<char32_t>{U'A', 0xE9, 0x20AC, 0x1F3B9}));
}

TEST(Utf8, MalformedBytesComeBackOneByOneAndNothingIsReadPastTheEnd) {
  // Latin-1 "é", an overlong "/", an encoded surrogate, and a sequence cut short by the end.
  EXPECT_EQ(decode("\xE9"), (std::vector<char32_t>{0xE9}));
  EXPECT_EQ(decode("\xC0\xAF"), (std::vector<char32_t>{0xC0, 0xAF}));
  EXPECT_EQ(decode("\xED\xA0\x80"), (std::vector<char32_t>{0xED, 0xA0, 0x80}));
  const std::string cut = std::string("x\xE2\x82", 3);
  EXPECT_EQ(decode(cut), (std::vector<char32_t>{U'x', 0xE2, 0x82}));
  EXPECT_EQ(decode("\xF4\x90\x80\x80"), (std::vector<char32_t>{0xF4, 0x90, 0x80, 0x80})) << "beyond U+10FFFF";
}

}  // namespace
