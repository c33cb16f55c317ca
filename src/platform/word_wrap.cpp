#include "platform/word_wrap.h"

#include <cstdint>

namespace slvn {

namespace {

// The length of the UTF-8 character at `at` (1 for a stray byte) and whether
// it is an East Asian character, after which a line may break.
size_t CharAt(const std::string& text, size_t at, bool& east_asian) {
  const auto lead = static_cast<uint8_t>(text[at]);
  size_t n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (at + n > text.size()) n = 1;
  uint32_t code = n == 1 ? lead : lead & (0xFF >> (n + 1));
  for (size_t k = 1; k < n; ++k) code = code << 6 | (static_cast<uint8_t>(text[at + k]) & 0x3F);
  east_asian = n > 1 && code >= 0x2E80;
  return n;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// The pieces a line is made of: a run of blanks, a word, or one East Asian
// character.
std::vector<std::string> Pieces(const std::string& line) {
  enum class Kind { kBlank, kWord, kEastAsian };
  std::vector<std::string> pieces;
  Kind last = Kind::kEastAsian;  // nothing joins the first piece
  for (size_t at = 0; at < line.size();) {
    bool east_asian = false;
    const size_t n = CharAt(line, at, east_asian);
    const Kind kind = east_asian          ? Kind::kEastAsian
                      : IsBlank(line[at]) ? Kind::kBlank
                                          : Kind::kWord;
    if (kind != Kind::kEastAsian && kind == last)
      pieces.back() += line.substr(at, n);
    else
      pieces.push_back(line.substr(at, n));
    last = kind;
    at += n;
  }
  return pieces;
}

void WrapLine(const std::string& line, int width,
              const std::function<int(const std::string&)>& measure,
              std::vector<std::string>& lines) {
  std::string current;
  for (const std::string& piece : Pieces(line)) {
    if (current.empty() || IsBlank(piece[0]) || measure(current + piece) <= width) {
      current += piece;
      continue;
    }
    // The piece goes to a new line; the blanks that ended this one go with the break.
    while (!current.empty() && IsBlank(current.back())) current.pop_back();
    lines.push_back(current);
    current = piece;
  }
  lines.push_back(current);
}

}  // namespace

std::vector<std::string> WrapWords(const std::string& text, int width,
                                   const std::function<int(const std::string&)>& measure) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (true) {
    size_t end = text.find_first_of("\r\n", start);
    WrapLine(text.substr(start, end == std::string::npos ? std::string::npos : end - start), width,
             measure, lines);
    if (end == std::string::npos) break;
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

}  // namespace slvn
