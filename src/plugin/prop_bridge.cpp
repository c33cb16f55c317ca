#include "plugin/prop_bridge.h"

#include <cstdio>
#include <exception>
#include <filesystem>

#include "platform/text.h"
#include "platform/window_system.h"
#include "plugin/item_bar.h"
#include "plugin/treasure_boxes.h"
#include "shell/client.h"
#include "shell/startup.h"

namespace slvn {

namespace {

constexpr int kBoxCount = 15;

PropPlugin* ActivePlugin(Client& client) {
  return client.prop.Prop_GameDllState > 0 ? PropObject(client) : nullptr;
}

bool NotAvailable(Client& client) {
  client.prop.Prop_GameDllState = -1;
  return false;
}

// The client's side of a shutdown: the items go and the box stage ends.
void TakeDownItems(Client& client) {
  PropState& prop = client.prop;
  prop.Prop_GameDllState = 0;
  prop.PropItemsReady = false;
  EndTreasureBoxStage(client, /*shutdown=*/true);
  UnloadItemControls(client);
}

// A member threw: nothing more is asked of the plug-in; its items go, the
// object is released and the plug-in is not there for the rest of the run.
// A hand's end that waited for it is shown by the poll.
void PluginFailed(Client& client, const char* member, const std::string& what) {
  std::fprintf(stderr, "slvn: the item plug-in failed in %s (%s); it is off for this run\n", member,
               what.c_str());
  if (client.prop.Prop_GameDllState > 0) TakeDownItems(client);
  client.prop.Prop_GameDll.reset();
  client.prop.Prop_GameDllState = -1;
}

// Runs one call into the plug-in's library; false when it threw.
template <typename Call>
bool Guarded(Client& client, const char* member, Call&& call) {
  std::string what;
  try {
    call();
    return true;
  } catch (const std::exception& e) {
    what = e.what();
  } catch (...) {
    what = "an exception of no standard type";
  }
  PluginFailed(client, member, what);
  return false;
}

// A member call made while the plug-in is active; false when it is not or
// the call threw.
template <typename Call>
bool CallActive(Client& client, const char* member, Call&& call) {
  PropPlugin* plugin = ActivePlugin(client);
  return plugin && Guarded(client, member, [&] { call(*plugin); });
}

void NotLoaded(const std::string& path, const std::string& why) {
  std::fprintf(stderr, "slvn: the item plug-in %s is not loaded: %s\n", path.c_str(), why.c_str());
}

// The library, when it was built for this client's interface. By the time
// the version can be read, dlopen has already run the library's start-up
// code: the check keeps out a library built for another interface, not a
// hostile one. The protection is the location, beside the program and never
// under the current folder.
std::unique_ptr<SharedLibrary> OpenPropLibrary(const std::string& path) {
  std::string error;
  std::unique_ptr<SharedLibrary> library = SharedLibrary::Open(path, &error);
  if (!library) {
    NotLoaded(path, error);
    return nullptr;
  }
  const auto* version = static_cast<const int32_t*>(library->Symbol(kPropPluginVersionSymbol));
  if (!version) {
    NotLoaded(path, std::string("it exports no ") + kPropPluginVersionSymbol);
    return nullptr;
  }
  if (*version != kPropPluginVersion) {
    NotLoaded(path, "it was built for version " + std::to_string(*version) +
                        " of the plug-in interface, this program has version " +
                        std::to_string(kPropPluginVersion));
    return nullptr;
  }
  return library;
}

// The object from the library's entry point; null when the library is not
// loaded, has no entry point or makes no object.
std::unique_ptr<LoadedPropPlugin> CreatePropPlugin(Client& client, const std::string& path) {
  auto loaded = std::make_unique<LoadedPropPlugin>();
  loaded->library = OpenPropLibrary(path);
  if (!loaded->library) return nullptr;
  auto entry = reinterpret_cast<PropPluginEntry>(loaded->library->Symbol(kPropPluginEntry));
  if (!entry) {
    NotLoaded(path, std::string("it exports no ") + kPropPluginEntry);
    return nullptr;
  }
  if (!Guarded(client, kPropPluginEntry, [&] { loaded->object.reset(entry()); })) return nullptr;
  if (!loaded->object) return nullptr;
  return loaded;
}

// The main window's X11 id for the plug-in's own windows; 0 headless.
int64_t MainWindowHandle(Client& client) {
  const WindowSystem* windows = client.forms.Windows();
  return windows ? static_cast<int64_t>(windows->NativeHandle(client.main_form)) : 0;
}

}  // namespace

PropPlugin* PropObject(Client& client) {
  return client.prop.Prop_GameDll ? client.prop.Prop_GameDll->object.get() : nullptr;
}

void SeedRandom(Client& client) {
  client.prop.Rnd.seed(static_cast<unsigned>(static_cast<uint64_t>(client.loop.Now() * 1000)));
}

bool InitGameDll(Client& client) {
  PropState& prop = client.prop;
  PrepareItemControls(client);
  SeedRandom(client);
  if (!prop.Prop_GameDll) {
    if (!client.data.LoggedIn) return NotAvailable(client);
    // Nothing is registered on this platform: the library is opened as it is,
    // from beside the program only.
    const std::filesystem::path folder = ProgramFolderOf(client);
    if (!folder.is_absolute()) return NotAvailable(client);
    const std::string path = (folder / kPropPluginPath).string();
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return NotAvailable(client);
    prop.Prop_GameDll = CreatePropPlugin(client, path);
  }
  if (!prop.Prop_GameDll || !client.data.LoggedIn) return NotAvailable(client);
  prop.Prop_GameDllState = -1;
  int16_t size_mode = client.data.ScaleY == 1.0f ? 1 : 2;
  int16_t param = client.shell.launch.Prop_Param;
  PropPlugin& plugin = *prop.Prop_GameDll->object;
  bool initialised = false;
  if (!Guarded(client, "Initdll", [&] {
        initialised =
            plugin.Initdll(client.shell.launch.LoginName, client.shell.launch.LoginString2, "DLL",
                           MainWindowHandle(client), "kestmj", size_mode, param);
      }))
    return false;
  if (!initialised) {
    prop.PropItemsReady = false;
    prop.Prop_GameDllState = 0;
    prop.Prop_GameDll.reset();
    return false;
  }
  prop.Box = BoxLayout{};
  bool boxes = false;
  if (!Guarded(client, "GetBaoInfo", [&] { boxes = plugin.GetBaoInfo(prop.Box); })) return false;
  prop.BoxPicture = DecodePicture(prop.Box.BoxPicture);
  prop.OpenBoxPicture = DecodePicture(prop.Box.OpenBoxPicture);
  prop.Prop_GameDllState = boxes ? 2 : 1;
  LoadBoxPictures(client, kBoxCount);
  prop.PropItemsReady = true;
  return true;
}

void ShutdownPropPlugin(Client& client, int flag) {
  int16_t exit_flag = static_cast<int16_t>(flag);
  if (CallActive(client, "InitExit", [&](PropPlugin& plugin) { plugin.InitExit(exit_flag); }))
    TakeDownItems(client);
}

int AnsiByteLength(const std::string& text) {
  int length = 0;
  for (size_t i = 0; i < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const size_t n = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    length += Utf8ToGb2312(text.substr(i, n)).size() == 2 ? 2 : 1;
    i += n;
  }
  return length;
}

void rec_state(Client& client, int kind, bool state, int display_seat) {
  if (PropPlugin* plugin = PropObject(client))
    Guarded(client, "rec_state", [&] {
      plugin->rec_state(static_cast<int16_t>(kind), state, static_cast<int16_t>(display_seat));
    });
}

bool SetUserinfo(Client& client, std::string name, std::string account, uint8_t seat_bit,
                 int16_t display_seat, bool credit_nonzero, uint8_t sex, std::string title,
                 std::string picture) {
  PropPlugin* plugin = PropObject(client);
  if (!plugin) return true;
  bool accepted = false;
  Guarded(client, "SetUserinfo", [&] {
    accepted = plugin->SetUserinfo(name, account, seat_bit, display_seat, credit_nonzero, sex,
                                   title, picture);
  });
  return accepted;
}

void ClearUser(Client& client, int16_t display_seat) {
  CallActive(client, "ClearUser", [&](PropPlugin& plugin) { plugin.ClearUser(display_seat); });
}

void Ainit(Client& client, const std::string& file_name) {
  CallActive(client, "Ainit", [&](PropPlugin& plugin) { plugin.Ainit(file_name); });
}

bool ShowCvVideo(Client& client, int16_t display_seat, bool show) {
  bool shown = false;
  CallActive(client, "ShowCvVideo",
             [&](PropPlugin& plugin) { shown = plugin.ShowCvVideo(display_seat, show, 0); });
  return shown;
}

void Rec_MSG(Client& client, GamePacket& packet) {
  CallActive(client, "Rec_MSG", [&](PropPlugin& plugin) { plugin.Rec_MSG(packet.bytes()); });
}

void SetKeyDown(Client& client, int key_code) {
  CallActive(client, "SetKeyDown",
             [&](PropPlugin& plugin) { plugin.SetKeyDown(static_cast<int16_t>(key_code)); });
}

void setbankstate(Client& client, int state) {
  CallActive(client, "setbankstate",
             [&](PropPlugin& plugin) { plugin.setbankstate(static_cast<int16_t>(state)); });
}

void UpdataMyProp(Client& client, bool state) {
  CallActive(client, "UpdataMyProp", [&](PropPlugin& plugin) { plugin.UpdataMyProp(state); });
}

void FixBuffPos(Client& client) {
  CallActive(client, "FixBuffPos", [](PropPlugin& plugin) { plugin.FixBuffPos(); });
}

void InitShowNext(Client& client, bool boxes_cleared) {
  CallActive(client, "InitShowNext",
             [&](PropPlugin& plugin) { plugin.InitShowNext(boxes_cleared); });
}

void InitShowEnd(Client& client) {
  CallActive(client, "InitShowEnd", [](PropPlugin& plugin) { plugin.InitShowEnd(); });
}

void ShowGif(Client& client, int which, bool opening) {
  CallActive(client, "ShowGif",
             [&](PropPlugin& plugin) { plugin.ShowGif(static_cast<int16_t>(which), opening); });
}

int CheckSendBuff(Client& client) {
  int waiting = 0;
  CallActive(client, "CheckSendBuff",
             [&](PropPlugin& plugin) { waiting = plugin.CheckSendBuff(); });
  return waiting;
}

bool GetSendBuff(Client& client) {
  PropState& prop = client.prop;
  return CallActive(client, "GetSendBuff", [&](PropPlugin& plugin) {
    plugin.GetSendBuff(prop.RequestPicture, prop.RequestText, prop.RequestBytes,
                       prop.PluginRequestKind, prop.RequestLayout1, prop.RequestLayout2);
  });
}

int GetScoreInfo(Client& client) {
  PropState& prop = client.prop;
  int answer = 0;
  CallActive(client, "GetScoreInfo", [&](PropPlugin& plugin) {
    answer = plugin.GetScoreInfo(prop.ScoreInfoNames, prop.ScoreInfoAmounts, prop.ScoreInfoTexts);
  });
  return answer;
}

}  // namespace slvn
