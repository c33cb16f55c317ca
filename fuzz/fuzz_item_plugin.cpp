// An item plug-in that answers from the input: a box layout of any numbers,
// any pictures, requests of every kind with any texts and arrays, and score
// information of any shape, and a throw from the poll's members or ShowGif
// now and then. The client runs the requests, the hand-over and the
// treasure-box stage on the manual clock, with clicks on any box: no answer
// may read out of range, divide by zero or make the stage hang.
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "laid_out_client.h"
#include "plugin/item_bar.h"
#include "plugin/prop_plugin.h"
#include "plugin/treasure_boxes.h"
#include "settlement/record_boards.h"
#include "shell/client.h"
#include "shell/program_end.h"
#include "ui/main_form.h"
#include "ui/table_reset.h"

namespace {

// Reads the input front to back; past its end every read gives 0.
class Bytes {
 public:
  Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t U8() { return at_ < size_ ? data_[at_++] : 0; }
  int32_t I32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(U8()) << (8 * i);
    return static_cast<int32_t>(v);
  }
  // A small number, or now and then an extreme one.
  int32_t Number() {
    const uint8_t how = U8();
    if (how < 200) return static_cast<int32_t>(how) * 4 - 100;
    return I32();
  }
  std::string Text() {
    std::string text;
    for (size_t n = U8() % 80; n > 0 && at_ < size_; --n) text += static_cast<char>(U8());
    return text;
  }
  std::vector<uint8_t> Blob() {
    std::vector<uint8_t> blob;
    for (size_t n = U8(); n > 0 && at_ < size_; --n) blob.push_back(U8());
    return blob;
  }
  bool Done() const { return at_ >= size_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

class FuzzPlugin : public slvn::PropPlugin {
 public:
  explicit FuzzPlugin(Bytes& in) : in_(in) {}
  bool Initdll(const std::string&, std::string&, const std::string&, int64_t, const std::string&,
               int16_t&, int16_t&) override {
    return true;
  }
  bool GetBaoInfo(slvn::BoxLayout& layout) override {
    for (auto& pos : layout.BoxPos) pos = {in_.Number(), in_.Number()};
    layout.BoxCentre = {in_.Number(), in_.Number()};
    for (auto& pos : layout.BoxSeatPos) pos = {in_.Number(), in_.Number()};
    layout.BoxPromptPos = {in_.Number(), in_.Number()};
    layout.BoxTiming = {static_cast<int16_t>(in_.Number()),
                        static_cast<int16_t>(in_.Number() % 40)};
    layout.BoxSize = {in_.Number(), in_.Number()};
    layout.OpenBoxSize = {in_.Number(), in_.Number()};
    layout.BoxPicture = in_.Blob();
    layout.OpenBoxPicture = in_.Blob();
    return true;
  }
  bool SetUserinfo(std::string&, std::string&, uint8_t, int16_t, bool, uint8_t&, std::string&,
                   std::string&) override {
    return true;
  }
  void Rec_MSG(std::array<uint8_t, 272>&) override {}
  void ClearUser(int16_t) override {}
  void InitShowEnd() override {}
  void Ainit(const std::string&) override {}
  void rec_state(int16_t, bool, int16_t) override {}
  void InitShowNext(bool) override {}
  void ShowGif(int16_t, bool) override { MaybeThrow(); }
  void InitExit(int16_t&) override {}
  void UpdataMyProp(bool) override {}
  void setbankstate(int16_t) override {}
  void SetKeyDown(int16_t) override {}
  void FixBuffPos() override {}
  int16_t CheckSendBuff() override {
    MaybeThrow();
    return static_cast<int16_t>(in_.U8() % 4);
  }
  void GetSendBuff(slvn::PluginPicture& picture, std::string& text, std::vector<uint8_t>& bytes,
                   int16_t& kind, std::vector<int32_t>& layout1,
                   std::vector<int32_t>& layout2) override {
    // Key requests run the table's key handler, which has its own fuzzing:
    // kind 4 stands for an unknown kind here.
    MaybeThrow();
    const uint8_t k = in_.U8();
    kind = k % 7 == 4 ? 9 : static_cast<int16_t>(k % 7);
    text = in_.Text();
    if (in_.U8() & 1) picture = in_.Blob();
    bytes.assign(in_.U8() & 1 ? 272 : in_.U8(), in_.U8());
    layout1.resize(in_.U8() % 6);
    for (int32_t& v : layout1) v = in_.Number();
    layout2.resize(in_.U8() % 7);
    for (int32_t& v : layout2) v = in_.Number();
  }
  int16_t GetScoreInfo(std::vector<std::string>& names, std::vector<double>& amounts,
                       std::vector<std::vector<std::string>>& texts) override {
    MaybeThrow();
    if (in_.U8() % 3 == 0) return 0;
    names.resize(in_.U8() % 6);
    for (std::string& name : names) name = in_.Text();
    amounts.resize(in_.U8() % 6);
    for (double& amount : amounts) amount = in_.Number();
    texts.resize(in_.U8() % 4);
    for (auto& row : texts) {
      row.resize(in_.U8() % 6);
      for (std::string& t : row) t = in_.U8() & 1 ? in_.Text() : "";
    }
    return 1;
  }
  bool ShowCvVideo(int16_t, bool, int16_t) override { return false; }

 private:
  // A faulty plug-in's throw: the client shuts the plug-in down for the run.
  void MaybeThrow() {
    if (in_.U8() == 0xEE) throw std::runtime_error("the fuzzed plug-in fails");
  }
  Bytes& in_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  slvn::Client& client = LaidOutClient("slvn_fuzz_item_plugin");
  Bytes in(data, size);
  slvn::EndTreasureBoxStage(client, false);
  slvn::UnloadItemControls(client);
  client.prop = slvn::PropState{};
  client.chat = slvn::ChatState{};
  // Each input starts from empty boards, as each hand does.
  slvn::ClearRecordBoards(client);
  slvn::PropState& prop = client.prop;
  prop.Prop_GameDll = std::make_unique<slvn::LoadedPropPlugin>();
  prop.Prop_GameDll->object = std::make_unique<FuzzPlugin>(in);
  prop.Prop_GameDll->object->GetBaoInfo(prop.Box);
  prop.BoxPicture = slvn::DecodePicture(prop.Box.BoxPicture);
  prop.OpenBoxPicture = slvn::DecodePicture(prop.Box.OpenBoxPicture);
  prop.Prop_GameDllState = 2;
  prop.PropItemsReady = true;
  slvn::LoadBoxPictures(client, 15);
  client.main_form.TimerBong.SetEnabled(true);
  try {
    // Each step: maybe a hand-over, maybe a click, then a while of ticks.
    for (int step = 0; step < 40 && !in.Done(); ++step) {
      const uint8_t what = in.U8();
      if (what & 1) prop.ScoreHandOver = true;
      if (what & 2) prop.PropScoreReady = true;
      if (what & 4) prop.DrawnHandOver = (what & 8) != 0;
      if (what & 16) slvn::ImgProp_Click(client, static_cast<int8_t>(in.U8()) % 20);
      if (what == 0xFF) slvn::ResetTableView(client);
      client.loop.RunFor((in.U8() % 40) * 0.05);
    }
    client.loop.RunFor(30);  // every stage ends
  } catch (const slvn::ProgramEnded&) {
  }
  client.main_form.TimerBong.SetEnabled(false);
  client.main_form.TimerProp.SetEnabled(false);
  // The object reads `in`, which ends here.
  client.prop.Prop_GameDll.reset();
  return 0;
}
