#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "state/types.h"

namespace slvn {

struct Client;
class GamePacket;

// Every procedure that the program already calls but whose behaviour comes
// with later work is defined in pending.cpp, and nowhere else. Each one
// reports itself here: it is written to stderr once per name and kept in
// Client::not_yet_built, so tests can see that the call was made and nothing
// pretends to have been done.
void NotYetBuilt(Client& client, std::string_view name);

void UnloadVideoZoomWindows(Client& client);

// The video panels, bars and tip of the table hidden and the peers' video
// state cleared, as leaving the table does.
void HideVideoPanels(Client& client);
// The hand-history board and the score board emptied and hidden.
void ClearRecordBoards(Client& client);
// The score sheet and hand list hidden, by the boss key and a click on the table.
void HideRecordBoards(Client& client);
// The bar's records (5) and history (6) buttons: the board hidden when shown,
// else the last recorded hand loaded (5) and the board centred and shown.
void ToggleRecordBoard(Client& client, int button);
// The own video toolbar's tip hidden while the own camera runs.
void HideVideoTip(Client& client);
// The video panels' part of the settings' video switch: the peers' displays,
// frames and title bars, the own title bar and tip, the open-video buttons
// and the zoom windows.
void SwitchVideoPanelsOff(Client& client);
void SwitchVideoPanelsOn(Client& client);

// Shows the own camera picture in the own video panel.
void ShowOwnVideo(Client& client, bool capture_on, bool second);

// Arms of the command dispatcher; each reads the packet from client.net.
void HandleHandEndRow(Client& client);
void HandleShownHand(Client& client);
void HandleResultRow(Client& client);

// The main window's later layout steps and handlers.

// The coin tally's seat names cleared, as the plug-in loads.
void ClearCoinNames(Client& client);
// The coin tally of the treasure-box opening in the item label: -1
// prepares, then each step counts up, the last shows the whole tally.
void ShowCoinSettlement(Client& client, int16_t step);

// The end-of-hand score sheet, or for a drawn hand the result panel.
void ShowScoreSheet(Client& client);
void ShowHandResult(Client& client);
// The score sheet's name label of display seat `seat` (`Score.ID`) takes a colour.
void SetScoreNameColor(Client& client, int seat, uint32_t color);
// A hand's course: the video log-in and camera start (once per hand), the
// video link of the table, the exit dialog closed, the item bar hidden.
void LoginVideoServer(Client& client);
void StartLocalVideo(Client& client);
void ConnectTableVideo(Client& client);

// The video steps of the seating (the user-details message):
// - ResetPeerVideoPanels: a seated player's message; the three peer panels
//   and their zoom windows closed (the caller told the plug-in already).
// - PairJoiningPlayerVideo: a joining player took display seat `seat`
//   (custom[seat].name is set): re-pairing after a replaced table mate, and
//   the binding of the player to a video slot.
// - LoginOwnVideo: the own details: video log-in and the own camera.
// - HandOverVideoPanel: display seat 1-3 goes to the plug-in: that seat's
//   frame-shown word cleared and its panel hidden; the caller then calls
//   rec_state(2, true, seat).
// - EndUserDetailsVideo: the end of the own details: the own camera started
//   once and the own video shown as the camera allows.
// - HideSeatVideo: a player left display seat `seat` (1-3): its panel, bar,
//   frame and open button hidden, its video words zeroed, its zoom window hidden.
void ResetPeerVideoPanels(Client& client);
void PairJoiningPlayerVideo(Client& client, int seat);
void LoginOwnVideo(Client& client);
void HandOverVideoPanel(Client& client, int seat);
void EndUserDetailsVideo(Client& client);
void HideSeatVideo(Client& client, int seat);
// The spectator's table from the four stored user-details messages.
// The hand-list board's name and portrait of display seat `seat`.
void SetHeroSeat(Client& client, int seat, const std::string& name, int portrait);

// The hand-list board Hero centred over the window and shown in front; the
// score board Score over the table, unless the window is minimised.
void ShowHeroBoard(Client& client);
void ShowScoreBoard(Client& client);

}  // namespace slvn
