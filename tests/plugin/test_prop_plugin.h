#pragma once

#include <deque>
#include <functional>
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
};

// The item plug-in of the tests, built as its own library: it answers from
// the script below and records every call by member name. Tests reach it by
// casting the client's plug-in object.
class TestPropPlugin : public PropPlugin {
 public:
  // The script.
  bool initdll_answer = true;
  bool boxes = false;
  std::deque<PluginRequest> requests;
  std::deque<int16_t> score_answers;  // GetScoreInfo's answers; 1 once they run out
  std::vector<double> score_amounts;
  std::vector<std::vector<std::string>> score_texts;
  std::function<void()> on_get_send_buff;  // runs inside each GetSendBuff
  // The record.
  std::vector<std::string> calls;
  std::string account, login_string2;
  int16_t size_mode = 0;
  int16_t exit_flag = -1;

  bool Initdll(const std::string& a, std::string& l2, const std::string&, int64_t,
               const std::string&, int16_t& mode, int16_t&) override {
    calls.push_back("Initdll");
    account = a;
    login_string2 = l2;
    size_mode = mode;
    return initdll_answer;
  }
  bool GetBaoInfo(BoxLayout& layout) override {
    calls.push_back("GetBaoInfo");
    layout.BoxTiming = {40, 10};
    return boxes;
  }
  bool SetUserinfo(std::string&, std::string&, uint8_t, int16_t, bool, uint8_t&, std::string&,
                   std::string&) override {
    calls.push_back("SetUserinfo");
    return true;
  }
  void Rec_MSG(std::array<uint8_t, 272>&) override { calls.push_back("Rec_MSG"); }
  void ClearUser(int16_t) override { calls.push_back("ClearUser"); }
  void InitShowEnd() override { calls.push_back("InitShowEnd"); }
  void Ainit(const std::string&) override { calls.push_back("Ainit"); }
  void rec_state(int16_t kind, bool state, int16_t) override {
    calls.push_back("rec_state " + std::to_string(kind) + (state ? " on" : " off"));
  }
  void InitShowNext(bool cleared) override {
    calls.push_back(cleared ? "InitShowNext true" : "InitShowNext false");
  }
  void ShowGif(int16_t, bool) override { calls.push_back("ShowGif"); }
  void InitExit(int16_t& flag) override {
    calls.push_back("InitExit");
    exit_flag = flag;
  }
  void UpdataMyProp(bool) override { calls.push_back("UpdataMyProp"); }
  void setbankstate(int16_t) override { calls.push_back("setbankstate"); }
  void SetKeyDown(int16_t) override { calls.push_back("SetKeyDown"); }
  void FixBuffPos() override { calls.push_back("FixBuffPos"); }
  int16_t CheckSendBuff() override {
    calls.push_back("CheckSendBuff");
    return static_cast<int16_t>(requests.size());
  }
  void GetSendBuff(PluginPicture&, std::string& text, std::vector<uint8_t>& bytes, int16_t& kind,
                   std::vector<int32_t>& layout1, std::vector<int32_t>& layout2) override {
    calls.push_back("GetSendBuff");
    if (on_get_send_buff) on_get_send_buff();
    if (requests.empty()) return;
    PluginRequest r = requests.front();
    requests.pop_front();
    if (r.set_kind) kind = r.kind;
    text = r.text;
    bytes = r.bytes;
    layout1 = r.layout1;
    layout2 = r.layout2;
  }
  int16_t GetScoreInfo(std::vector<std::string>&, std::vector<double>& amounts,
                       std::vector<std::vector<std::string>>& texts) override {
    calls.push_back("GetScoreInfo");
    int16_t answer = 1;
    if (!score_answers.empty()) {
      answer = score_answers.front();
      score_answers.pop_front();
    }
    if (answer == 1) {
      amounts = score_amounts;
      texts = score_texts;
    }
    return answer;
  }
  bool ShowCvVideo(int16_t, bool, int16_t) override {
    calls.push_back("ShowCvVideo");
    return false;
  }
};

// For tests that need a plug-in object without the library: the test
// plug-in put straight into the client (any type with a `prop` member).
template <typename ClientType>
TestPropPlugin& InstallInProcessPlugin(ClientType& client) {
  client.prop.Prop_GameDll = std::make_unique<LoadedPropPlugin>();
  client.prop.Prop_GameDll->object = std::make_unique<TestPropPlugin>();
  return static_cast<TestPropPlugin&>(*client.prop.Prop_GameDll->object);
}

}  // namespace slvn::test
