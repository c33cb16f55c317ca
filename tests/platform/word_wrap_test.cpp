#include "platform/word_wrap.h"

#include <gtest/gtest.h>

namespace slvn {
namespace {

// Every byte of a narrow character is 10 pixels wide; an East Asian
// character (three UTF-8 bytes) 20.
int Measure(const std::string& text) {
  int width = 0;
  for (unsigned char c : text) width += c < 0x80 ? 10 : c >= 0xE0 ? 20 : 0;
  return width;
}

TEST(WordWrapTest, BreaksBetweenWordsAndNeverInsideOne) {
  using Lines = std::vector<std::string>;
  struct Case {
    std::string text;
    int width;
    Lines lines;
  } cases[] = {
      {"15", 15, {"15"}},  // a countdown's two digits in a narrow label
      {"12345", 20, {"12345"}},
      {"ab cd", 50, {"ab cd"}},
      {"ab cd", 40, {"ab", "cd"}},
      {"ab  cd ef", 50, {"ab", "cd ef"}},
      {"连接服务器", 40, {"连接", "服务", "器"}},
      {"ab连", 30, {"ab", "连"}},
      {"a\r\nb\nc\rd", 100, {"a", "b", "c", "d"}},
      {"", 10, {""}},
  };
  for (const auto& c : cases) EXPECT_EQ(WrapWords(c.text, c.width, Measure), c.lines) << c.text;
}

}  // namespace
}  // namespace slvn
