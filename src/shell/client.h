#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "chat/chat_state.h"
#include "chat/huifu.h"
#include "chat/speak_box.h"
#include "chat/talk.h"
#include "dispatch/user_detail.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/forms.h"
#include "platform/tcp_socket.h"
#include "platform/url_opener.h"
#include "platform/window_bus.h"
#include "plugin/prop_state.h"
#include "settlement/coin_settlement.h"
#include "settlement/record_boards.h"
#include "shell/exit_dialogs.h"
#include "shell/heartbeat_state.h"
#include "shell/ini/ini_file.h"
#include "shell/net/net.h"
#include "shell/reconnect.h"
#include "shell/resources/image_resource.h"
#include "shell/shell_state.h"
#include "shell/sound/sound.h"
#include "state/data.h"
#include "table/seat_records.h"
#include "ui/main_form.h"
#include "ui/player_card.h"
#include "ui/settings_dialog.h"
#include "video/video_controls.h"
#include "video/zoom_window.h"

namespace slvn {

// One running client: the shared game state, every subsystem's own state and
// the platform services they use. Production makes one; each test makes a
// fresh one, so no state survives between them.
struct Client {
  // A null clock means the real monotonic clock.
  explicit Client(std::unique_ptr<Clock> clock = nullptr);
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  std::unique_ptr<Clock> clock;
  EventLoop loop;
  Data data;
  classIniFile IniFile;
  // The loaded forms, the window system and the message boxes.
  Forms forms{loop};
  // The main window with the table; its timers drive the client.
  MainForm main_form{forms};
  // The exit dialog and the notice that the game at the table ended.
  ExitDialog frmExit{forms};
  OtherExitDialog frmOtherExit{forms};
  // The chat history, the quick phrases and the settings dialog.
  TalkForm Talk{forms};
  HuifuForm huifu{forms};
  VosSetForm VosSet{forms};
  // The speech bubbles, one per seat once it spoke a phrase.
  std::vector<std::unique_ptr<SpeakBoxForm>> speak_boxes;
  // Opens the information page; tests put a recording one here.
  std::unique_ptr<UrlOpener> url_opener = MakeDesktopUrlOpener();
  // The player card.
  InformationForm Information{forms};
  // The zoom windows of the own camera and of seats 1-3.
  ZoomWindow frm_Local{forms, 0};
  ZoomWindow frm_Remote1{forms, 1};
  ZoomWindow frm_Remote2{forms, 2};
  ZoomWindow frm_Remote3{forms, 3};
  // The video controls; tests put recording fakes in their place.
  VideoControls video;
  VideoHooks video_hooks;
  // The window-message bus of the lobby link; tests give it a namespace of their own.
  WindowBus bus{WindowBus::NamespaceFromEnvironment()};
  HeartbeatState heartbeat;
  ShellState shell;

  // The game socket; its events feed the packet rings.
  TcpSocket Winsock1{loop};
  // Looks the game server up for the proxy's connect request.
  NameLookup ProxyLookup{loop};
  Net net;

  // The four seats by display seat, and per-hand tables reset with them.
  std::array<PlayerHand, kSeatCount> custom{};
  std::array<int16_t, 24> RightDiscardImages{};
  int16_t RightDiscardCount = 0;
  std::array<UserDetail, kSeatCount> Detail;
  PropState prop;
  CoinTally tally;
  ChatState chat;

  // Picture tables and the pictures decoded from the built-in resources.
  ImageResources images;
  // Sound files, switches and the one sound buffer.
  SoundState sound;

  // The hidden reconnect window, made when a lost connection first needs it.
  std::unique_ptr<ReconnectForm> frmReconnect;
  // The score board and the hand list, made when first used.
  std::unique_ptr<ScoreForm> Score;
  std::unique_ptr<HeroForm> Hero;
};

// Where the client's video controls draw: its camera box, seat panels and
// zoom windows.
VideoSurfaces VideoSurfacesOf(Client& client);

}  // namespace slvn
