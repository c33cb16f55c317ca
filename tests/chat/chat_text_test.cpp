#include "chat/chat_text.h"

#include <gtest/gtest.h>

#include "chat/chat_state.h"
#include "shell/client.h"

namespace slvn {
namespace {

TEST(ChatTextTest, FilterChatRemovesEachWordInOnePassInTableOrder) {
  const std::pair<std::string, std::string> cases[] = {
      {"shitshit", ""},       {"Shit fUck shit", "Shit fUck "},
      {"他淫妈的", "他妈的"},  // joined after its word was searched
      {"婊子养的好", "好"},   {"淫色情色情x", "x"},
      {"你好", "你好"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(FilterChat(in), out) << in;
}

// Narrow is a one-byte code of the code page: ASCII, its byte 0x80 (the
// euro sign) and whatever it lacks, which becomes "?".
TEST(ChatTextTest, IsNarrowCharCountsByTheCodePage) {
  const std::pair<const char*, bool> cases[] = {
      {"A", true},        {"Ab你", true},         {"你", false},
      {"€", true},        {"\xEF\xBF\xBD", true},  // U+FFFD, a byte the wire could not read
      {"\xC2\x80", true},                          // U+0080
      {"é", false},       {"①", false},           {"\x80x", true},  // a stray byte
  };
  for (const auto& [s, narrow] : cases) EXPECT_EQ(IsNarrowChar(s), narrow) << s;
}

TEST(ChatTextTest, AddWrappedLinesBreaksAtTheWidth) {
  std::string wide23, wide24;
  for (int i = 0; i < 23; ++i) wide23 += "你";
  wide24 = wide23 + "好";
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"", {}},
      {std::string("\0abc", 4), {}},
      {std::string("ab\0cd", 5), {" ab"}},
      {"abc", {" abc"}},
      {std::string(46, 'a'), {" " + std::string(46, 'a')}},
      {std::string(47, 'a'), {" " + std::string(46, 'a'), " a"}},
      {wide23, {" " + wide23}},
      {"a" + wide24, {" a" + wide23, " 好"}},
      // A character the code page lacks counts one, as the "?" it becomes.
      {std::string(44, 'a') + "\xEF\xBF\xBD" + "b",
       {" " + std::string(44, 'a') + "\xEF\xBF\xBD" + "b"}},
  };
  for (const auto& [text, lines] : cases) {
    std::vector<std::string> list = {"old"};
    AddWrappedLines(list, text, 46);
    std::vector<std::string> expected = {"old"};
    expected.insert(expected.end(), lines.begin(), lines.end());
    EXPECT_EQ(list, expected) << text;
  }
}

TEST(ChatStateTest, TheStripFillsTopThenScrollsUpAndShowsWhatItHolds) {
  Client client{std::make_unique<ManualClock>()};
  using Strip = std::array<std::optional<std::string>, 2>;
  const std::pair<const char*, Strip> steps[] = {
      {"one", {"one", std::nullopt}}, {"two", {"one", "two"}}, {"three", {"two", "three"}}};
  for (const auto& [put, strip] : steps) {
    PutSysmsgLine(client, put);
    EXPECT_EQ(client.chat.Sysmsg, strip) << put;
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(client.main_form.Sysmsg[i].ListCount(), strip[i] ? 1 : 0) << put;
      EXPECT_EQ(client.main_form.Sysmsg[i].List(0), strip[i].value_or("")) << put;
    }
  }
  // Emptied lines hold none: the next line fills the upper row again.
  ClearSysmsgLine(client, 1);
  ClearSysmsgLine(client, 0);
  EXPECT_EQ(client.main_form.Sysmsg[0].ListCount(), 0);
  PutSysmsgLine(client, "four");
  EXPECT_EQ(client.chat.Sysmsg, (Strip{"four", std::nullopt}));
}

}  // namespace
}  // namespace slvn
