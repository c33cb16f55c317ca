#include "script.h"

#include <charconv>
#include <sstream>

namespace slvn::table_server {

namespace {

using test::PacketBytes;

// Splits at blanks outside double quotes; quotes stay in the word.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false;
  for (char c : line) {
    if (c == '"') quoted = !quoted;
    if (!quoted && (c == ' ' || c == '\t')) {
      if (!word.empty()) words.push_back(word);
      word.clear();
      continue;
    }
    if (!quoted && c == '#') break;
    word += c;
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

bool Number(std::string_view text, int64_t& value) {
  bool negative = !text.empty() && text[0] == '-';
  if (negative) text.remove_prefix(1);
  int base = 10;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    text.remove_prefix(2);
    base = 16;
  }
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return false;
  if (negative) value = -value;
  return true;
}

bool ParseField(const std::string& word, Step& step) {
  auto equals = word.find('=');
  if (equals == std::string::npos) return false;
  std::string key = word.substr(0, equals);
  std::string value = word.substr(equals + 1);
  if (key == "split") {
    std::stringstream list(value);
    for (std::string part; std::getline(list, part, ',');) {
      int64_t n;
      if (!Number(part, n) || n <= 0) return false;
      step.split.push_back(static_cast<size_t>(n));
    }
    return true;
  }
  if (key == "skip") {
    if (value != "others") return false;
    step.skip_others = true;
    return true;
  }
  if (key == "timeout") {
    int64_t n;
    if (!Number(value, n)) return false;
    step.milliseconds = static_cast<int>(n);
    return true;
  }
  Field field{};
  int64_t offset = 0;
  auto at = key.find('@');
  if (at != std::string::npos) {
    if (!Number(key.substr(at + 1), offset) || offset < 0 || offset >= 272) return false;
    field.index = static_cast<size_t>(offset);
    key = key.substr(0, at);
  }
  if (key == "text") {
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') return false;
    field.kind = Field::kText;
    field.text = value.substr(1, value.size() - 2);
  } else if (key == "hex" || key == "echo") {
    field.kind = key == "hex" ? Field::kHex : Field::kEcho;
    if (!test::ParseHex(value, field.bytes)) return false;
    if (key == "echo" && field.bytes.size() != 2) return false;
  } else {
    if (!Number(value, field.number)) return false;
    if (key == "seat")
      field.kind = Field::kSeat;
    else if (key == "extra1")
      field.kind = Field::kExtra1;
    else if (key == "extra2")
      field.kind = Field::kExtra2;
    else if (key == "u32be")
      field.kind = Field::kU32BE;
    else if (key == "u32le")
      field.kind = Field::kU32LE;
    else if (key.size() == 2 && key[0] == 'v' && key[1] >= '0' && key[1] <= '3') {
      field.kind = Field::kValue;
      field.index = static_cast<size_t>(key[1] - '0');
    } else {
      return false;
    }
  }
  step.fields.push_back(field);
  return true;
}

bool ParseLine(const std::vector<std::string>& words, Step& step) {
  const std::string& verb = words[0];
  if (verb == "close" || verb == "drop" || verb == "accept") {
    step.verb = verb == "close" ? Step::kClose : verb == "drop" ? Step::kDrop : Step::kAccept;
    return words.size() == 1;
  }
  int64_t n;
  if (words.size() < 2 || !Number(words[1], n)) return false;
  if (verb == "wait") {
    step.verb = Step::kWait;
    step.milliseconds = static_cast<int>(n);
    return words.size() == 2 && n >= 0;
  }
  if (verb != "send" && verb != "expect") return false;
  step.verb = verb == "send" ? Step::kSend : Step::kExpect;
  step.cmd = static_cast<int>(n);
  step.milliseconds = 5000;
  for (size_t i = 2; i < words.size(); ++i)
    if (!ParseField(words[i], step)) return false;
  return true;
}

void Apply(const Field& field, PacketBytes& packet) {
  switch (field.kind) {
    case Field::kSeat:
      packet[6] = static_cast<uint8_t>(field.number);
      break;
    case Field::kExtra1:
      packet[5] = static_cast<uint8_t>(field.number);
      break;
    case Field::kExtra2:
      packet[7] = static_cast<uint8_t>(field.number);
      break;
    case Field::kValue:
      packet[8 + 2 * field.index] = static_cast<uint8_t>(field.number >> 8);
      packet[9 + 2 * field.index] = static_cast<uint8_t>(field.number);
      break;
    case Field::kEcho:
      test::PutBytes(packet, 260, field.bytes);
      break;
    case Field::kHex:
      test::PutBytes(packet, field.index, field.bytes);
      break;
    case Field::kText:
      test::PutText(packet, field.index, field.text);
      break;
    case Field::kU32BE:
      test::PutU32BE(packet, field.index, static_cast<uint32_t>(field.number));
      break;
    case Field::kU32LE:
      test::PutU32LE(packet, field.index, static_cast<uint32_t>(field.number));
      break;
  }
}

}  // namespace

bool ParseScript(const std::string& text, std::vector<Step>& steps, std::string& error) {
  std::stringstream lines(text);
  int number = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    auto words = Words(line);
    if (words.empty()) continue;
    Step step;
    step.line = number;
    if (!ParseLine(words, step)) {
      error = "line " + std::to_string(number) + ": cannot read \"" + line + "\"";
      return false;
    }
    steps.push_back(step);
  }
  return true;
}

PacketBytes BuildSendPacket(const Step& step) {
  PacketBytes packet = test::BuildPacket(step.cmd, 0);
  for (const Field& field : step.fields) Apply(field, packet);
  return packet;
}

std::string Mismatch(const Step& step, const PacketBytes& packet) {
  // A field matches when writing it into the packet changes nothing; text
  // must also end where the packet's text ends.
  std::string differs;
  for (const Field& field : step.fields) {
    PacketBytes written = packet;
    Apply(field, written);
    bool same = written == packet;
    if (field.kind == Field::kText) same = same && test::TextAt(packet, field.index) == field.text;
    if (!same) differs += " field " + std::to_string(&field - step.fields.data() + 1);
  }
  if (differs.empty()) return {};
  return "packet " + test::DescribePacket(packet) + " differs in" + differs;
}

}  // namespace slvn::table_server
