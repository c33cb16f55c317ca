#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace slvn {

// Pictures cross the plug-in's interface as encoded image bytes (GIF, PNG,
// JPEG or BMP); empty is no picture.
using PluginPicture = std::vector<uint8_t>;

// The treasure-box layout the plug-in gives at each load. The boxes and the
// label lie in the table area, so every coordinate counts in its units
// (pixels of the 1024 x 768 design) and is used as given, unscaled.
struct BoxLayout {
  std::array<std::array<int32_t, 2>, 15> BoxPos{};     // left, top of box 0-14
  std::array<int32_t, 2> BoxCentre{};                  // where an opened box is centred
  std::array<std::array<int32_t, 2>, 4> BoxSeatPos{};  // per display seat: left, top
  std::array<int32_t, 2> BoxPromptPos{};               // prompt label: centre x, top
  std::array<int16_t, 2> BoxTiming{};  // effect timer interval (ms), settlement steps
  PluginPicture BoxPicture;
  std::array<int32_t, 2> BoxSize{};
  PluginPicture OpenBoxPicture;
  std::array<int32_t, 2> OpenBoxSize{};
};

// The item plug-in's members, as the client calls them. Arguments by
// reference are the plug-in's to fill. A plug-in is a shared library with
// one C entry point, kPropPluginEntry, of type PropPluginEntry, that returns
// a new object (or null); the client deletes it before closing the library.
// Beside it the library exports the interface version it was built for (see
// kPropPluginVersion). What a member throws shuts the plug-in down for the
// rest of the run.
class PropPlugin {
 public:
  virtual ~PropPlugin() = default;

  // Loading. size_mode: 1 at full scale, else 2. False: not loaded.
  virtual bool Initdll(const std::string& account, std::string& login_string2,
                       const std::string& kind, int64_t main_window, const std::string& game,
                       int16_t& size_mode, int16_t& param) = 0;
  // True: the table has treasure boxes.
  virtual bool GetBaoInfo(BoxLayout& layout) = 0;

  // A seat's player; false shuts the plug-in down for the rest of the run.
  virtual bool SetUserinfo(std::string& seat_name, std::string& account, uint8_t seat_bit,
                           int16_t display_seat, bool credit_nonzero, uint8_t& sex,
                           std::string& tag, std::string& picture_code) = 0;
  virtual void Rec_MSG(std::array<uint8_t, 272>& packet) = 0;
  virtual void ClearUser(int16_t display_seat) = 0;
  virtual void InitShowEnd() = 0;
  virtual void Ainit(const std::string& file_name) = 0;
  // kind 3: connected (state); 2: the display seat's video panel hidden
  // (state) or shown; 1: sound on (state).
  virtual void rec_state(int16_t kind, bool state, int16_t display_seat) = 0;
  virtual void InitShowNext(bool boxes_cleared) = 0;
  virtual void ShowGif(int16_t which, bool opening) = 0;
  // 1 at program end, else 0.
  virtual void InitExit(int16_t& flag) = 0;
  virtual void UpdataMyProp(bool state) = 0;
  virtual void setbankstate(int16_t state) = 0;
  virtual void SetKeyDown(int16_t key_code) = 0;
  virtual void FixBuffPos() = 0;

  // The poll: how many requests wait, then one request each.
  virtual int16_t CheckSendBuff() = 0;
  virtual void GetSendBuff(PluginPicture& picture, std::string& text, std::vector<uint8_t>& bytes,
                           int16_t& kind, std::vector<int32_t>& layout1,
                           std::vector<int32_t>& layout2) = 0;
  // 1: the score information is ready. texts: [text 0 or 1][seat 0-3].
  virtual int16_t GetScoreInfo(std::vector<std::string>& names, std::vector<double>& amounts,
                               std::vector<std::vector<std::string>>& texts) = 0;
  // True: hide the panel again when the pointer leaves.
  virtual bool ShowCvVideo(int16_t display_seat, bool show, int16_t zero) = 0;
};

using PropPluginEntry = PropPlugin* (*)();
inline constexpr const char* kPropPluginEntry = "slvn_CreatePropPlugin";

// The version of this interface (PropPlugin, BoxLayout and PluginPicture as
// they are laid out here): raise it with every change to them. A library
// exports the version it was built for as
//   extern "C" const int32_t slvn_PropPluginVersion = slvn::kPropPluginVersion;
// and the client loads only a library of its own version.
inline constexpr int32_t kPropPluginVersion = 1;
inline constexpr const char* kPropPluginVersionSymbol = "slvn_PropPluginVersion";

// Where the plug-in is looked for, relative to the program's folder (never
// the current one: a library planted there would run with the player's
// rights).
inline constexpr const char* kPropPluginPath = "plugin/tools/PropDll.so";

}  // namespace slvn
