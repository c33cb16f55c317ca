#include "chat/chat_text.h"

#include <array>
#include <cstdint>

#include "platform/text.h"

namespace slvn {

namespace {

// The filter's words in the order they are removed. The list leaves out the
// four personal names that could open it.
constexpr std::array<std::string_view, 11> kFilteredWords = {
    "法轮功", "他妈的", "她妈的", "它妈的", "婊子养的", "婊子",
    "淫",     "色情",   "黄色",   "shit",   "fuck",
};

std::string RemoveAll(std::string_view text, std::string_view word) {
  std::string out;
  size_t from = 0;
  for (size_t at; (at = text.find(word, from)) != std::string_view::npos; from = at + word.size())
    out.append(text.substr(from, at - from));
  out.append(text.substr(from));
  return out;
}

}  // namespace

std::string FilterChat(std::string_view text) {
  std::string out(text);
  for (auto word : kFilteredWords) out = RemoveAll(out, word);
  return out;
}

bool IsNarrowChar(std::string_view s) {
  if (s.empty() || static_cast<uint8_t>(s[0]) < 0x80) return true;
  // Narrow is what takes one byte on the wire: the code page's single byte
  // 0x80, and a character it lacks, which goes out as "?".
  return Utf8ToGb2312(CharLeft(s, 1)).size() == 1;
}

void AddWrappedLines(std::vector<std::string>& list, std::string_view text, int16_t width) {
  text = text.substr(0, text.find('\0'));
  size_t line_start = 0;
  int columns = 0;
  for (size_t i = 0; i < text.size();) {
    std::string_view rest = text.substr(i);
    columns += IsNarrowChar(rest) ? 1 : 2;
    i += CharLeft(rest, 1).size();
    if (i == text.size() || columns >= width) {
      std::string line(1, ' ');
      line.append(text.substr(line_start, i - line_start));
      list.push_back(std::move(line));
      line_start = i;
      columns = 0;
    }
  }
}

}  // namespace slvn
