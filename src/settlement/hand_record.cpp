#include "settlement/hand_record.h"

#include <charconv>
#include <map>
#include <utility>
#include <vector>

#include "settlement/record_boards.h"
#include "shell/client.h"
#include "shell/ini/ini_file.h"
#include "shell/startup.h"

namespace slvn {

namespace {

constexpr int kSeatColumns = 4;
constexpr int kLists = 8;
constexpr int kMaxLines = 1000;  // more than any sheet has: a larger count is not ours
constexpr uint32_t kBlack = 0;
constexpr uint32_t kRed = 0x0000FF;
constexpr int64_t kMaxColour = 0xFFFFFF;

std::string Section(int16_t hand) {
  return "juNum:" + std::to_string(hand);
}

std::string Indexed(const char* key, int i) {
  return std::string(key) + "( " + std::to_string(i) + " )";
}

std::string LineKey(int i, int j) {
  return Indexed("count", i) + "( " + std::to_string(j) + " )";
}

// A whole decimal number, or false.
bool ReadNumber(const std::string& text, int64_t& value) {
  const char* first = text.data();
  const char* last = first + text.size();
  auto [ptr, error] = std::from_chars(first, last, value);
  return error == std::errc() && ptr == last && first != last;
}

}  // namespace

std::string HandRecordFile(Client& client) {
  return ProgramFolderOf(client) + "/info.cv";
}

void SaveHandRecord(Client& client, int16_t hand) {
  ScoreForm& score = LoadScoreForm(client);
  std::vector<std::pair<std::string, std::string>> keys;
  for (int i = 0; i < kSeatColumns; ++i) {
    keys.emplace_back(Indexed("name", i), client.data.ScoreNames[i][0]);
    keys.emplace_back(Indexed("PicIndex", i), client.data.ScoreNames[i][1]);
  }
  for (int i = 0; i < kLists; ++i) {
    const ListBox& list = score.State[i];
    keys.emplace_back(Indexed("count", i), std::to_string(list.ListCount()));
    for (int j = 0; j < list.ListCount(); ++j) keys.emplace_back(LineKey(i, j), list.List(j));
  }
  for (int i = 0; i < kSeatColumns; ++i)
    keys.emplace_back(Indexed("count", i) + " ForeColor",
                      std::to_string(score.State[i].ForeColor()));
  classIniFile file;
  file.INIFileName(HandRecordFile(client));
  file.WriteIniKeys(Section(hand), keys);
}

void LoadHandRecord(Client& client, int16_t hand) {
  if (hand == 0) return;
  ScoreForm& score = LoadScoreForm(client);
  // The section read once: a long sheet has many keys.
  const std::map<std::string, std::string> section =
      IniSnapshot(HandRecordFile(client)).SectionValues(Section(hand));
  auto value = [&section](const std::string& key) {
    std::string folded = key;
    for (char& c : folded)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    auto it = section.find(folded);
    return it == section.end() ? std::string() : it->second;
  };
  for (int i = 0; i < kSeatColumns; ++i) {
    score.ID[i].SetCaption(value(Indexed("name", i)));
    const std::string picture = value(Indexed("PicIndex", i));
    if (!picture.empty()) SetBoardAvatar(client, score.Tou[i], picture);
  }
  for (int i = 0; i < kSeatColumns; ++i) {
    score.State[i].SetForeColor(kBlack);
    score.ID[i].SetForeColor(kRed);
  }
  for (int i = 0; i < kLists; ++i) {
    int64_t count = 0;
    if (!ReadNumber(value(Indexed("count", i)), count) || count < 0 || count > kMaxLines) return;
    ListBox& list = score.State[i];
    while (list.ListCount() < count) list.AddItem(" ");
    while (list.ListCount() > count) list.RemoveItem(list.ListCount() - 1);
    for (int j = 0; j < count; ++j) {
      std::string line = value(LineKey(i, j));
      list.SetList(j, line.empty() ? " " : std::move(line));
    }
  }
  for (int i = 0; i < kSeatColumns; ++i) {
    int64_t colour = 0;
    if (ReadNumber(value(Indexed("count", i) + " ForeColor"), colour) && colour >= 0 &&
        colour <= kMaxColour)
      score.State[i].SetForeColor(static_cast<uint32_t>(colour));
  }
}

}  // namespace slvn
