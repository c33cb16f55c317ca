#pragma once

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <functional>
#include <istream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "plugin/prop_plugin.h"
#include "plugin/prop_state.h"

namespace slvn::test {

// One request the test plug-in hands out; a request that leaves the kind
// untouched has set_kind false.
struct PluginRequest {
  PluginRequest(int16_t k, std::string t, std::vector<uint8_t> b = {}, std::vector<int32_t> l1 = {},
                std::vector<int32_t> l2 = {}, bool set = true)
      : kind(k),
        text(std::move(t)),
        bytes(std::move(b)),
        layout1(std::move(l1)),
        layout2(std::move(l2)),
        set_kind(set) {}
  int16_t kind = 0;
  std::string text;
  std::vector<uint8_t> bytes;
  std::vector<int32_t> layout1;
  std::vector<int32_t> layout2;
  bool set_kind = true;
  std::optional<PluginPicture> picture;  // put into the picture argument
};

// A small BMP picture of a treasure box, closed or open (our own drawing).
inline PluginPicture BoxBitmap(int width, int height, bool open) {
  const int row = (width * 3 + 3) / 4 * 4;
  const uint32_t size = 54 + static_cast<uint32_t>(row * height);
  PluginPicture bmp(size, 0);
  auto put32 = [&bmp](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  bmp[0] = 'B';
  bmp[1] = 'M';
  put32(2, size);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  bmp[26] = 1;
  bmp[28] = 24;
  const uint32_t wood = 0x8B4513, dark = 0x5A2D0C, gold = 0xFFD21E, glow = 0xFFF4A0;
  for (int y = 0; y < height; ++y) {  // y from the top
    for (int x = 0; x < width; ++x) {
      const bool border = x < 2 || y < 2 || x >= width - 2 || y >= height - 2;
      const bool band = y > height * 2 / 5 - 2 && y < height * 2 / 5 + 2;
      const bool lock = x > width / 2 - 4 && x < width / 2 + 4 && y > height * 2 / 5 - 5 &&
                        y < height * 2 / 5 + 6;
      uint32_t c = y < height * 2 / 5 ? dark : wood;
      if (open && y < height * 2 / 5) c = (x + y) % 7 == 0 ? 0xFFFFFF : glow;
      if (border || band || lock) c = gold;
      const size_t at = 54 + static_cast<size_t>((height - 1 - y) * row + x * 3);
      bmp[at] = static_cast<uint8_t>(c);
      bmp[at + 1] = static_cast<uint8_t>(c >> 8);
      bmp[at + 2] = static_cast<uint8_t>(c >> 16);
    }
  }
  return bmp;
}

// A whole treasure-box layout in table units: three rows of five boxes in the
// middle of the table, each seat's resting place before its player.
inline BoxLayout TestBoxLayout() {
  BoxLayout layout;
  for (int box = 0; box < 15; ++box)
    layout.BoxPos[box] = {347 + 66 * (box % 5), 250 + 64 * (box / 5)};
  layout.BoxCentre = {512, 330};
  layout.BoxSeatPos = {{{484, 470}, {230, 300}, {484, 150}, {740, 300}}};
  layout.BoxPromptPos = {512, 190};
  layout.BoxTiming = {40, 10};
  layout.BoxSize = {56, 48};
  layout.OpenBoxSize = {64, 56};
  layout.BoxPicture = BoxBitmap(56, 48, false);
  layout.OpenBoxPicture = BoxBitmap(64, 56, true);
  return layout;
}

// The item plug-in of the tests, built as its own library: it answers from
// the script below and records every call by member name. Tests reach it by
// casting the client's plug-in object.
class TestPropPlugin : public PropPlugin {
 public:
  // The script.
  bool initdll_answer = true;
  bool boxes = false;
  BoxLayout layout = TestBoxLayout();
  std::deque<PluginRequest> requests;
  std::vector<PluginPicture> pictures_given;  // the picture argument at each GetSendBuff
  std::deque<int16_t> score_answers;          // GetScoreInfo's answers; 1 once they run out
  std::vector<std::string> score_names;       // item lines by seat
  std::vector<double> score_amounts;
  std::vector<std::vector<std::string>> score_texts;
  std::function<void()> on_get_send_buff;  // runs inside each GetSendBuff
  bool userinfo_answer = true;             // SetUserinfo's answer
  bool cv_video_answer = false;            // ShowCvVideo's answer
  std::string login_string2_reply;         // Initdll writes it back when not empty
  std::string throw_in;                    // the member that throws, as a faulty plug-in's
  // The record.
  std::vector<std::string> calls;
  std::function<void(const std::string&)> on_call;  // also told of each call
  void Record(std::string call) {
    if (on_call) on_call(call);
    const bool throws = !throw_in.empty() && call.substr(0, call.find(' ')) == throw_in;
    calls.push_back(std::move(call));
    if (throws) throw std::runtime_error("the test plug-in fails in " + throw_in);
  }
  std::string account, login_string2;
  int64_t main_window = -1;
  int16_t size_mode = 0;
  int16_t exit_flag = -1;
  std::vector<int16_t> cleared_seats;  // ClearUser's seats in call order

  bool Initdll(const std::string& a, std::string& l2, const std::string&, int64_t window,
               const std::string&, int16_t& mode, int16_t&) override {
    Record("Initdll");
    account = a;
    login_string2 = l2;
    if (!login_string2_reply.empty()) l2 = login_string2_reply;
    main_window = window;
    size_mode = mode;
    return initdll_answer;
  }
  bool GetBaoInfo(BoxLayout& layout) override {
    Record("GetBaoInfo");
    layout = this->layout;
    // The small table: the same layout at its size.
    if (size_mode == 2) {
      auto scale = [](int32_t& v) { v = static_cast<int32_t>(v * 0.78125); };
      for (auto& pos : layout.BoxPos) std::for_each(pos.begin(), pos.end(), scale);
      for (auto& pos : layout.BoxSeatPos) std::for_each(pos.begin(), pos.end(), scale);
      for (auto* pair :
           {&layout.BoxCentre, &layout.BoxPromptPos, &layout.BoxSize, &layout.OpenBoxSize})
        std::for_each(pair->begin(), pair->end(), scale);
    }
    return boxes;
  }
  bool SetUserinfo(std::string& name, std::string& account, uint8_t seat_bit, int16_t seat,
                   bool credit, uint8_t& sex, std::string& title, std::string& picture) override {
    Record("SetUserinfo " + name + " " + account + " " + std::to_string(seat_bit) + " " +
           std::to_string(seat) + " " + (credit ? "credit" : "no-credit") + " " +
           std::to_string(sex) + " " + title + " " + picture);
    return userinfo_answer;
  }
  void Rec_MSG(std::array<uint8_t, 272>&) override { Record("Rec_MSG"); }
  void ClearUser(int16_t seat) override {
    Record("ClearUser");
    cleared_seats.push_back(seat);
  }
  void InitShowEnd() override { Record("InitShowEnd"); }
  void Ainit(const std::string& file) override { Record("Ainit " + file); }
  void rec_state(int16_t kind, bool state, int16_t) override {
    Record("rec_state " + std::to_string(kind) + (state ? " on" : " off"));
  }
  void InitShowNext(bool cleared) override {
    Record(cleared ? "InitShowNext true" : "InitShowNext false");
  }
  void ShowGif(int16_t which, bool opening) override {
    Record("ShowGif " + std::to_string(which) + (opening ? " true" : " false"));
  }
  void InitExit(int16_t& flag) override {
    Record("InitExit");
    exit_flag = flag;
  }
  void UpdataMyProp(bool) override { Record("UpdataMyProp"); }
  void setbankstate(int16_t) override { Record("setbankstate"); }
  void SetKeyDown(int16_t) override { Record("SetKeyDown"); }
  void FixBuffPos() override { Record("FixBuffPos"); }
  int16_t CheckSendBuff() override {
    Record("CheckSendBuff");
    return static_cast<int16_t>(requests.size());
  }
  void GetSendBuff(PluginPicture& picture, std::string& text, std::vector<uint8_t>& bytes,
                   int16_t& kind, std::vector<int32_t>& layout1,
                   std::vector<int32_t>& layout2) override {
    Record("GetSendBuff");
    pictures_given.push_back(picture);
    if (on_get_send_buff) on_get_send_buff();
    if (requests.empty()) return;
    PluginRequest r = requests.front();
    requests.pop_front();
    if (r.set_kind) kind = r.kind;
    text = r.text;
    bytes = r.bytes;
    layout1 = r.layout1;
    layout2 = r.layout2;
    if (r.picture) picture = *r.picture;
  }
  int16_t GetScoreInfo(std::vector<std::string>& names, std::vector<double>& amounts,
                       std::vector<std::vector<std::string>>& texts) override {
    Record("GetScoreInfo");
    int16_t answer = 1;
    if (!score_answers.empty()) {
      answer = score_answers.front();
      score_answers.pop_front();
    }
    if (answer == 1) {
      names = score_names;
      amounts = score_amounts;
      texts = score_texts;
    }
    return answer;
  }
  bool ShowCvVideo(int16_t seat, bool show, int16_t) override {
    Record("ShowCvVideo " + std::to_string(seat) + (show ? " show" : " close"));
    return cv_video_answer;
  }
};

// Reads a script for the test plug-in, one instruction a line ('#' starts a
// comment); seats are 0-3, texts run to the end of the line:
//   boxes 0|1                       GetBaoInfo's answer
//   timing INTERVAL STEPS           the layout's BoxTiming
//   answers N...                    GetScoreInfo's answers before its 1
//   coins C0 C1 C2 C3               item coins by seat
//   item SEAT TEXT                  the seat's item lines ("|" between lines)
//   name SEAT TEXT / tally SEAT TEXT   the seat's two box texts
//   request KIND TEXT               a request of kind 0, 3, 4 or 5
//   effect W H L T P0 P1 P2 P3 P4 TEXT   a kind-1 request
//   packet BYTE...                  a kind-2 request, padded to 272 bytes
//   throw MEMBER                    the member throws (as a faulty plug-in's)
// False at the first line it cannot read.
inline bool ReadPluginScript(std::istream& in, TestPropPlugin& plugin) {
  auto seat_entry = [](auto& vec, int seat, size_t n) -> auto& {
    if (vec.size() < n) vec.resize(n);
    return vec[static_cast<size_t>(seat)];
  };
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::string what;
    if (!(words >> what) || what[0] == '#') continue;
    auto rest = [&words] {
      std::string text;
      std::getline(words >> std::ws, text);
      return text;
    };
    if (what == "boxes") {
      int on = 0;
      if (!(words >> on)) return false;
      plugin.boxes = on != 0;
    } else if (what == "timing") {
      int16_t interval = 0, steps = 0;
      if (!(words >> interval >> steps)) return false;
      plugin.layout.BoxTiming = {interval, steps};
    } else if (what == "answers") {
      for (int16_t n = 0; words >> n;) plugin.score_answers.push_back(n);
    } else if (what == "coins") {
      plugin.score_amounts.clear();
      for (double c = 0; words >> c;) plugin.score_amounts.push_back(c);
    } else if (what == "item" || what == "name" || what == "tally") {
      int seat = -1;
      if (!(words >> seat) || seat < 0 || seat > 3) return false;
      if (what == "item") {
        seat_entry(plugin.score_names, seat, 4) = rest();
      } else {
        if (plugin.score_texts.size() < 2) plugin.score_texts.resize(2);
        seat_entry(plugin.score_texts[what == "name" ? 0 : 1], seat, 4) = rest();
      }
    } else if (what == "request") {
      int16_t kind = 0;
      if (!(words >> kind)) return false;
      plugin.requests.emplace_back(kind, rest());
    } else if (what == "effect") {
      std::vector<int32_t> layout(4), params(5);
      for (int32_t& v : layout)
        if (!(words >> v)) return false;
      for (int32_t& v : params)
        if (!(words >> v)) return false;
      plugin.requests.emplace_back(1, rest(), std::vector<uint8_t>{}, layout, params);
    } else if (what == "throw") {
      if (!(words >> plugin.throw_in)) return false;
    } else if (what == "packet") {
      std::vector<uint8_t> bytes;
      for (int b = 0; bytes.size() < 272 && words >> b;) bytes.push_back(static_cast<uint8_t>(b));
      bytes.resize(272);
      plugin.requests.emplace_back(2, "", bytes);
    } else {
      return false;
    }
  }
  return true;
}

// For tests that need a plug-in object without the library: the test
// plug-in put straight into the client (any type with a `prop` member).
template <typename ClientType>
TestPropPlugin& InstallInProcessPlugin(ClientType& client) {
  client.prop.Prop_GameDll = std::make_unique<LoadedPropPlugin>();
  client.prop.Prop_GameDll->object = std::make_unique<TestPropPlugin>();
  return static_cast<TestPropPlugin&>(*client.prop.Prop_GameDll->object);
}

}  // namespace slvn::test
