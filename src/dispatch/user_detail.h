#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace slvn {

class GamePacket;

// One player at the table, by display seat, as the user-details message
// (command 20) describes it. Texts the player reads are UTF-8; the account,
// portrait and speech codes stay byte strings, one byte per character.
struct UserDetail {
  std::string name;     // nickname
  std::string picture;  // portrait code, "m1" when the message has none
  uint8_t sex = 0;      // 0 female, anything else male
  std::string area;     // home area
  double score = 0;
  double credit = 0;
  double ucoin = 0;  // coins
  double amount1 = 0;
  std::string grade;  // level title
  double gradeNumber = 0;
  double amount2 = 0;
  double amount3 = 0;
  // Counters, read unsigned: a top byte of 0x80 or more is still a count.
  int64_t logins = 0;
  int64_t drops = 0;
  int64_t wins = 0;
  int64_t losses = 0;
  std::string account;
  std::string title;
  // The parts of the player's voice files: v<dialect><voice><sex><voiceKind>...wav.
  // Only ASCII letters and digits: anything else would reach outside the
  // voice folder, so such a code is kept empty.
  std::string dialect;
  std::string voice;
  uint8_t voiceKind = 0;
  int16_t watchFlag = 0;
  double userid = 0;  // for a spectator, first the watched player's id from the launch line
};

// Byte offsets of the user-details payload.
namespace user_detail_offset {
constexpr size_t kName = 16;  // 32 bytes, mixed text
constexpr size_t kNameLength = 32;
constexpr size_t kPicture = 48;  // 16 single-byte characters
constexpr size_t kSex = 64;
constexpr size_t kArea = 72;  // 8 bytes, paired text
constexpr size_t kScore = 80;
constexpr size_t kCredit = 88;
constexpr size_t kCoins = 96;
constexpr size_t kAmount1 = 104;
constexpr size_t kGrade = 112;  // 16 bytes, paired text; its first 8 also gradeNumber
constexpr size_t kAmount2 = 136;
constexpr size_t kAmount3 = 144;
constexpr size_t kCounters = 152;  // four 32-bit counters
constexpr size_t kAccount = 168;   // 16 single-byte characters
constexpr size_t kTitle = 184;     // 24 bytes, paired text
constexpr size_t kReady = 208;
constexpr size_t kDialect = 210;  // 8 single-byte characters
constexpr size_t kVoice = 218;    // 8 single-byte characters
constexpr size_t kUserId = 226;
constexpr size_t kWealth = 234;  // 32-bit, least significant byte first
constexpr size_t kLegend = 238;
constexpr size_t kNoPlugin = 255;
}  // namespace user_detail_offset

// Fills the record from a user-details packet; voiceKind and watchFlag stay.
void ParseUserDetail(UserDetail& record, const GamePacket& packet);

// The account name of a user-details packet (bytes 168-183).
std::string UserDetailAccount(const GamePacket& packet);
// The wealth value of a user-details packet; a value that does not fit a
// signed 32-bit number counts as the largest that does.
int32_t UserDetailWealth(const GamePacket& packet);

// The portrait (0-19 of AvatarPics) of a portrait code: "m1".."m10" give
// 0-9, "w1".."w10" give 10-19; a code of another length, with a non-digit
// or the number 0, or above 10, gives the first portrait of its kind.
int PortraitIndex(std::string_view picture);

// What a player leaving clears of a seat's details: the account, title,
// speech codes and user id (the spectator's watched player) stay.
void ClearTableFields(UserDetail& detail);

}  // namespace slvn
