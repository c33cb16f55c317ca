#include "platform/text.h"

#include <gtest/gtest.h>

namespace slvn {
namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

TEST(TextTest, Gb2312DecodesAndInvalidBytesBecomeReplacements) {
  struct Case {
    std::string gb, utf8;
  } cases[] = {
      {"", ""},
      {"abc 123", "abc 123"},
      {"\xD6\xD0\xCE\xC4", "中文"},
      {"\xC1\xAC\xBD\xD3\xB7\xFE\xCE\xF1\xC6\xF7\xB3\xC9\xB9\xA6\xA3\xA1", "连接服务器成功！"},
      {"a\xD6", "a" + kReplacement},  // cut-off character at the end
      {"\xFF"
       "a",
       kReplacement + "a"},                         // a byte that starts nothing
      {"\x81\x0A\xD6\xD0", kReplacement + "\n中"},  // bad trail byte: the next survives
  };
  for (const auto& c : cases) EXPECT_EQ(Gb2312ToUtf8(c.gb), c.utf8) << c.utf8;
}

TEST(TextTest, Utf8EncodesToGb2312AndRoundTrips) {
  EXPECT_EQ(Utf8ToGb2312("中文 ok"), "\xD6\xD0\xCE\xC4 ok");
  EXPECT_EQ(Utf8ToGb2312("a😀b"), "a?b");  // no code for it
  EXPECT_EQ(Utf8ToGb2312("a\xC3"
                         "b"),
            "a?b");  // broken UTF-8
  const std::string text = "请点击【继续】按钮继续游戏！";
  EXPECT_EQ(Gb2312ToUtf8(Utf8ToGb2312(text)), text);
}

TEST(TextTest, CountsInCharactersAndColumns) {
  struct Case {
    std::string text;
    size_t length, width;
    std::string left2;
  } cases[] = {
      {"", 0, 0, ""},
      {"abc", 3, 3, "ab"},
      {"黄庄", 2, 4, "黄庄"},
      {"a中b", 3, 4, "a中"},
      {"\xFF\xFEx", 3, 5, "\xFF\xFE"},  // invalid bytes count one each
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CharLength(c.text), c.length) << c.text;
    EXPECT_EQ(DisplayWidth(c.text), c.width) << c.text;
    EXPECT_EQ(CharLeft(c.text, 2), c.left2) << c.text;
  }
}

TEST(TextTest, ReplaceFirstReplacesOnlyTheFirst) {
  EXPECT_EQ(ReplaceFirst("笨蛋 笨蛋", "笨蛋", "**"), "** 笨蛋");
  EXPECT_EQ(ReplaceFirst("abc", "x", "y"), "abc");
  EXPECT_EQ(ReplaceFirst("abc", "", "y"), "abc");
}

}  // namespace
}  // namespace slvn
