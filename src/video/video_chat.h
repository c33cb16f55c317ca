#pragma once

#include <cstdint>
#include <string>

#include "video/bmp_frame.h"

namespace slvn {

struct Client;
class P2PSocket;

// The video chat is on and the client sits at the table: a spectator never
// logs in to the video server, binds a slot or starts a camera (the watched
// player's name is not its own to log in with).
bool TakesPartInVideo(const Client& client);

// One hand's video: log in at the new hand, start the camera, pair the
// table mates at the first deal or discard, show and send frames, tear it
// all down at the first end-of-hand row.
void LoginVideoServer(Client& client);
void StartLocalVideo(Client& client);
void ConnectTableVideo(Client& client);
void CloseVideo(Client& client);
// The own panel: `hide` covers the camera with the avatar again; otherwise,
// when `ok`, the camera is shown over the avatar.
void ShowOwnVideo(Client& client, bool ok, bool hide);

// The video controls' events.
void P2PSocket1_LoginStateChanged(Client& client, int16_t state);
void P2PSocket1_UserStateChanged(Client& client, int slot, int16_t state);
void P2PSocket1_FrameArrived(Client& client, int slot, const VideoFrame& frame);
void vcap1_FrameCaptured(Client& client, const VideoFrame& frame);

// The reopen buttons and the one-shot redraws (seat 1..3, and the zoom).
void ImgShow_Click(Client& client, int index);
void Timer_Vshow_Timer(Client& client, int seat);
void Timer_Zoom_Timer(Client& client);

// Hooks the video controls' events, the panels' buttons, the toolbar, the
// redraw timers and the zoom windows to the client. Tests call it again
// after putting fakes into client.video.
void ConnectVideoEvents(Client& client);

// Leaving the table: the panels, bars and tip hidden and the peers' video
// words cleared; the peers' zoom windows hidden and unloaded.
void HideVideoPanels(Client& client);
void UnloadVideoZoomWindows(Client& client);
// A seat emptied: its panels and zoom window hidden, its video words zeroed.
void HideSeatVideo(Client& client, int seat);
// The settings dialog's video switch: the peers' panels and the zoom windows
// it hides, the panels it shows again (the caller stops and starts the camera
// and hides the own camera's bar itself).
void SwitchVideoPanelsOff(Client& client);
void SwitchVideoPanelsOn(Client& client);
// The pointer left the toolbar for the table: the tooltip goes.
void HideVideoTip(Client& client);

// The slot for a table mate: a slot that already carries the name, else the
// first (or, for a joining player, the last) free slot, else the seat's own
// number.
enum class FreeSlotRule { kFirst, kLast };
int ChooseVideoSlot(const P2PSocket& link, const std::string& name, int seat, FreeSlotRule rule);

// The own camera laid over the own avatar with its frame, the capture
// options set and the capture started; true when it runs.
bool StartOwnCapture(Client& client);

}  // namespace slvn
