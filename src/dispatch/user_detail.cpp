#include "dispatch/user_detail.h"

#include <algorithm>
#include <limits>

#include "platform/text.h"
#include "shell/net/game_packet.h"

namespace slvn {

namespace {

namespace off = user_detail_offset;

// A character that converts to a zero loses it: the own name begins every
// chat line the player sends, and a receiver ends a chat text at its first zero.
std::string ConvertUnit(const std::string& gb) {
  std::string text = Gb2312ToUtf8(gb);
  text.erase(std::find(text.begin(), text.end(), '\0'), text.end());
  return text;
}

// One character per byte (lead bytes of two-byte characters included), up to
// the first zero; the last byte is length - 1 from the start.
std::string MixedText(const GamePacket& packet, size_t first, size_t length) {
  std::string text;
  const size_t end = first + length;
  for (size_t i = first; i < end;) {
    const uint8_t lead = packet.Byte(i);
    if (lead == 0) break;
    std::string unit(1, static_cast<char>(lead));
    if (lead >= 0x80 && i + 1 < end) unit.push_back(static_cast<char>(packet.Byte(i + 1)));
    text += ConvertUnit(unit);
    i += unit.size();
  }
  return text;
}

// Two bytes at a time, each pair converted whole, until a pair starts with
// zero; a pair whose second byte is zero keeps that zero, as these texts are
// only shown, never stored.
std::string PairedText(const GamePacket& packet, size_t first, size_t length) {
  std::string text;
  for (size_t i = first; i < first + length; i += 2) {
    const uint8_t lead = packet.Byte(i);
    if (lead == 0) break;
    const char pair[] = {static_cast<char>(lead), static_cast<char>(packet.Byte(i + 1))};
    text += Gb2312ToUtf8(std::string_view(pair, 2));
  }
  return text;
}

double Amount(const GamePacket& packet, size_t first) {
  uint64_t value = 0;
  for (size_t i = 8; i-- > 0;) value = value << 8 | packet.Byte(first + i);
  return static_cast<double>(value);  // nearest double above 2^53
}

int64_t Counter(const GamePacket& packet, size_t first) {
  return static_cast<int64_t>(packet.U32LE(first));
}

bool IsPathCode(const std::string& code) {
  return std::all_of(code.begin(), code.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  });
}

std::string SpeechCode(const GamePacket& packet, size_t first) {
  std::string code = packet.ByteString(first, 8);
  return IsPathCode(code) ? code : std::string();
}

int Digit(char c) {
  return c >= '0' && c <= '9' ? c - '0' : -1;
}

}  // namespace

void ParseUserDetail(UserDetail& record, const GamePacket& packet) {
  record.account = UserDetailAccount(packet);
  record.name = MixedText(packet, off::kName, off::kNameLength);
  record.picture = packet.ByteString(off::kPicture, 16);
  if (record.picture.empty()) record.picture = "m1";
  record.sex = packet.Byte(off::kSex);
  record.area = PairedText(packet, off::kArea, 8);
  record.score = Amount(packet, off::kScore);
  record.credit = Amount(packet, off::kCredit);
  record.ucoin = Amount(packet, off::kCoins);
  record.amount1 = Amount(packet, off::kAmount1);
  record.gradeNumber = Amount(packet, off::kGrade);
  record.amount2 = Amount(packet, off::kAmount2);
  record.amount3 = Amount(packet, off::kAmount3);
  record.grade = PairedText(packet, off::kGrade, 16);
  record.logins = Counter(packet, off::kCounters);
  record.drops = Counter(packet, off::kCounters + 4);
  record.wins = Counter(packet, off::kCounters + 8);
  record.losses = Counter(packet, off::kCounters + 12);
  record.title = PairedText(packet, off::kTitle, 24);
  record.dialect = SpeechCode(packet, off::kDialect);
  record.voice = SpeechCode(packet, off::kVoice);
  record.userid = Amount(packet, off::kUserId);
}

std::string UserDetailAccount(const GamePacket& packet) {
  return packet.ByteString(off::kAccount, 16);
}

int32_t UserDetailWealth(const GamePacket& packet) {
  const uint32_t value = packet.U32LE(off::kWealth);
  constexpr auto kMax = static_cast<uint32_t>(std::numeric_limits<int32_t>::max());
  return static_cast<int32_t>(std::min(value, kMax));
}

int PortraitIndex(std::string_view picture) {
  int n = -1;
  if (picture.size() == 2) {
    const int d = Digit(picture[1]);
    if (d >= 0) n = d - 1;
  } else if (picture.size() == 3) {
    const int tens = Digit(picture[1]), ones = Digit(picture[2]);
    if (tens >= 0 && ones >= 0) n = tens * 10 + ones - 1;
  }
  if (n < 0 || n >= 10) n = 0;
  if (!picture.empty() && picture[0] == 'w') n += 10;
  return n;
}

void ClearTableFields(UserDetail& detail) {
  detail.name.clear();
  detail.picture.clear();
  detail.area.clear();
  detail.grade.clear();
  detail.sex = 0;
  for (double* amount : {&detail.score, &detail.credit, &detail.ucoin, &detail.amount1,
                         &detail.gradeNumber, &detail.amount2, &detail.amount3})
    *amount = 0;
  detail.logins = detail.drops = detail.wins = detail.losses = 0;
}

}  // namespace slvn
