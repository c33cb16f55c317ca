#include "plugin/prop_bridge.h"

#include <filesystem>

#include "platform/text.h"
#include "plugin/item_bar.h"
#include "plugin/treasure_boxes.h"
#include "shell/client.h"

namespace slvn {

namespace {

constexpr int kBoxCount = 15;

PropPlugin* ActivePlugin(Client& client) {
  return client.prop.Prop_GameDllState > 0 ? PropObject(client) : nullptr;
}

// The object from the library's one entry point; null when the library is
// missing, has no entry point or makes no object.
std::unique_ptr<LoadedPropPlugin> CreatePropPlugin(const std::string& path) {
  auto loaded = std::make_unique<LoadedPropPlugin>();
  loaded->library = SharedLibrary::Open(path);
  if (!loaded->library) return nullptr;
  auto entry = reinterpret_cast<PropPluginEntry>(loaded->library->Symbol(kPropPluginEntry));
  if (!entry) return nullptr;
  loaded->object.reset(entry());
  if (!loaded->object) return nullptr;
  return loaded;
}

bool NotAvailable(Client& client) {
  client.prop.Prop_GameDllState = -1;
  return false;
}

}  // namespace

PropPlugin* PropObject(Client& client) {
  return client.prop.Prop_GameDll ? client.prop.Prop_GameDll->object.get() : nullptr;
}

bool InitGameDll(Client& client) {
  PropState& prop = client.prop;
  PrepareItemControls(client);
  prop.Rnd.seed(static_cast<unsigned>(static_cast<uint64_t>(client.loop.Now() * 1000)));
  if (!prop.Prop_GameDll) {
    if (!client.data.LoggedIn) return NotAvailable(client);
    // Nothing is registered on this platform: the library is opened as it is.
    std::error_code error;
    if (!std::filesystem::exists(kPropPluginPath, error)) return NotAvailable(client);
    prop.Prop_GameDll = CreatePropPlugin(kPropPluginPath);
  }
  if (!prop.Prop_GameDll || !client.data.LoggedIn) return NotAvailable(client);
  prop.Prop_GameDllState = -1;
  int16_t size_mode = client.data.ScaleY == 1.0f ? 1 : 2;
  int16_t param = client.shell.launch.Prop_Param;
  std::string login_string2 = client.shell.LoginPacket.ByteString(32, 228);
  PropPlugin& plugin = *prop.Prop_GameDll->object;
  if (!plugin.Initdll(client.shell.launch.LoginName, login_string2, "DLL", 0, "kestmj", size_mode,
                      param)) {
    prop.PropItemsReady = false;
    prop.Prop_GameDllState = 0;
    prop.Prop_GameDll.reset();
    return false;
  }
  prop.Box = BoxLayout{};
  const bool boxes = plugin.GetBaoInfo(prop.Box);
  prop.BoxPicture = DecodePicture(prop.Box.BoxPicture);
  prop.OpenBoxPicture = DecodePicture(prop.Box.OpenBoxPicture);
  prop.Prop_GameDllState = boxes ? 2 : 1;
  LoadBoxPictures(client, kBoxCount);
  prop.PropItemsReady = true;
  return true;
}

void ShutdownPropPlugin(Client& client, int flag) {
  PropState& prop = client.prop;
  PropPlugin* plugin = ActivePlugin(client);
  if (!plugin) return;
  int16_t exit_flag = static_cast<int16_t>(flag);
  plugin->InitExit(exit_flag);
  prop.Prop_GameDllState = 0;
  prop.PropItemsReady = false;
  EndTreasureBoxStage(client, /*shutdown=*/true);
  UnloadItemControls(client);
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
    plugin->rec_state(static_cast<int16_t>(kind), state, static_cast<int16_t>(display_seat));
}

bool SetUserinfo(Client& client, std::string name, std::string account, uint8_t seat_bit,
                 int16_t display_seat, bool credit_nonzero, uint8_t sex, std::string title,
                 std::string picture) {
  PropPlugin* plugin = PropObject(client);
  return !plugin || plugin->SetUserinfo(name, account, seat_bit, display_seat, credit_nonzero, sex,
                                        title, picture);
}

void ClearUser(Client& client, int16_t display_seat) {
  if (PropPlugin* plugin = ActivePlugin(client)) plugin->ClearUser(display_seat);
}

void Ainit(Client& client, const std::string& file_name) {
  if (PropPlugin* plugin = ActivePlugin(client)) plugin->Ainit(file_name);
}

bool ShowCvVideo(Client& client, int16_t display_seat, bool show) {
  PropPlugin* plugin = ActivePlugin(client);
  return plugin && plugin->ShowCvVideo(display_seat, show, 0);
}

void Rec_MSG(Client& client, GamePacket& packet) {
  if (PropPlugin* plugin = ActivePlugin(client)) plugin->Rec_MSG(packet.bytes());
}

void SetKeyDown(Client& client, int key_code) {
  if (PropPlugin* plugin = ActivePlugin(client)) plugin->SetKeyDown(static_cast<int16_t>(key_code));
}

void setbankstate(Client& client, int state) {
  if (PropPlugin* plugin = ActivePlugin(client)) plugin->setbankstate(static_cast<int16_t>(state));
}

void UpdataMyProp(Client& client, bool state) {
  if (PropPlugin* plugin = ActivePlugin(client)) plugin->UpdataMyProp(state);
}

void FixBuffPos(Client& client) {
  if (PropPlugin* plugin = ActivePlugin(client)) plugin->FixBuffPos();
}

void InitShowNext(Client& client, bool boxes_cleared) {
  if (PropPlugin* plugin = ActivePlugin(client)) plugin->InitShowNext(boxes_cleared);
}

void InitShowEnd(Client& client) {
  if (PropPlugin* plugin = ActivePlugin(client)) plugin->InitShowEnd();
}

void ShowGif(Client& client, int which, bool opening) {
  if (PropPlugin* plugin = ActivePlugin(client))
    plugin->ShowGif(static_cast<int16_t>(which), opening);
}

}  // namespace slvn
