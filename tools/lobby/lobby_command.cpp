#include "lobby_command.h"

#include <charconv>
#include <cstdint>
#include <sstream>
#include <vector>

namespace slvn {

namespace {

// A whole word as a number: hexadecimal after 0x, else decimal with an
// optional sign; false for anything else or a value outside [low, high].
bool ReadNumber(const std::string& word, int64_t low, uint64_t high, int64_t& value) {
  const char* first = word.data();
  const char* last = first + word.size();
  const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
  if (hex) {
    uint64_t bits = 0;
    auto [end, ec] = std::from_chars(first + 2, last, bits, 16);
    if (ec != std::errc() || end != last || bits > high) return false;
    value = static_cast<int64_t>(bits);  // a 64-bit pattern keeps its bits
    return true;
  }
  auto [end, ec] = std::from_chars(first, last, value, 10);
  return ec == std::errc() && end == last && value >= low &&
         (value < 0 || static_cast<uint64_t>(value) <= high);
}

}  // namespace

bool ParseLobbyCommand(const std::string& line, LobbyCommand& command, std::string& error) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  if (words.empty()) {
    error = "an empty line";
    return false;
  }
  if (words[0] != "post" && words[0] != "send") {
    error = "\"" + words[0] + "\" is neither post nor send";
    return false;
  }
  if (words.size() < 2) {
    error = "\"" + words[0] + "\" without a message";
    return false;
  }
  if (words.size() > 4) {
    error = "\"" + words[4] + "\" after the message, wParam and lParam";
    return false;
  }
  int64_t numbers[3] = {0, 0, 0};
  for (size_t i = 1; i < words.size(); ++i) {
    const bool message = i == 1;
    const int64_t low = message ? 0 : INT64_MIN;
    const uint64_t high = message ? UINT32_MAX : UINT64_MAX;
    if (!ReadNumber(words[i], low, high, numbers[i - 1])) {
      error = "\"" + words[i] + "\" is not a number" +
              (message ? " from 0 to 0xFFFFFFFF" : " (decimal, or hexadecimal after 0x)");
      return false;
    }
  }
  command.verb = words[0];
  command.message.msg = static_cast<uint32_t>(numbers[0]);
  command.message.wparam = numbers[1];
  command.message.lparam = numbers[2];
  return true;
}

}  // namespace slvn
