#include "shell/client.h"

#include "chat/chat_line.h"
#include "plugin/item_bar.h"
#include "shell/heartbeat.h"
#include "shell/keys.h"
#include "shell/net/packet_io.h"
#include "table/claims.h"
#include "table/seat_records.h"
#include "ui/button_bar.h"
#include "ui/player_card.h"
#include "ui/pointer_feedback.h"
#include "ui/web_panes.h"
#include "video/video_chat.h"

namespace slvn {

VideoSurfaces VideoSurfacesOf(Client& client) {
  MainForm& f = client.main_form;
  VideoSurfaces s;
  s.preview = &f.vcap1;
  for (int i = 1; i <= 3; ++i) s.panels[i] = &f.vshow[i];
  for (int i = 0; i <= 3; ++i) s.zoom[i] = &ZoomWindowOf(client, i).vshow;
  return s;
}

namespace {
std::unique_ptr<Clock> OrSteady(std::unique_ptr<Clock> clock) {
  if (clock) return clock;
  return std::make_unique<SteadyClock>();
}
}  // namespace

Client::Client(std::unique_ptr<Clock> clock_in)
    : clock(OrSteady(std::move(clock_in))),
      loop(*clock),
      video(MakeVideoControls(loop, VideoSurfacesOf(*this))),
      video_hooks(MakeDesktopVideoHooks()) {
  // Dialogs, boards and the zoom windows belong to the main window.
  forms.SetMainForm(&main_form);
  Winsock1.DataArrival = [this](int bytes_total) { Winsock1_DataArrival(*this, bytes_total); };
  Winsock1.OnClose = [this] { Winsock1_Close(*this); };
  ConnectHeartbeatTimers(*this);
  ConnectExitDialogs(*this);
  ConnectKeys(*this);
  WireLocalMoves(*this);
  ConnectChatLine(*this);
  ConnectTalk(*this);
  ConnectHuifu(*this);
  ConnectSettingsDialog(*this);
  ConnectWebPanes(*this);
  ConnectButtonBar(*this);
  ConnectPointerFeedback(*this);
  WirePlayerCard(*this);
  WireItemControls(*this);
  ConnectVideoEvents(*this);
  // The seat records start as a new hand leaves them (first concealed slot 4).
  ClearPlayerInfo(*this);
}

}  // namespace slvn
