#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace slvn {

struct Client;
class GamePacket;

// Every procedure that the program already calls but whose behaviour comes
// with later work is defined in pending.cpp, and nowhere else. Each one
// reports itself here: it is written to stderr once per name and kept in
// Client::not_yet_built, so tests can see that the call was made and nothing
// pretends to have been done.
void NotYetBuilt(Client& client, std::string_view name);

// The window frame and the table layout.
void PaintWindowSkin(Client& client);
// The table area: inside the painted frame on a large screen, else the whole window.
void PlaceTableArea(Client& client, bool tall, bool wide);
// The small layout's table picture, dealer badge and message strip font.
void PrepareSmallLayout(Client& client);
void LayoutTable(Client& client);
void LayoutTableWidgets(Client& client);
// The room caption label, its font size following the caption's length.
void ShowRoomCaption(Client& client, const std::string& caption);
void FocusChatLine(Client& client);
void UnloadVideoZoomWindows(Client& client);

// Leaving the table and resetting the client.
void LeaveTableAndStopVideo(Client& client);
void ResetClientState(Client& client);
// The table view between hands.
void ResetTableView(Client& client);
// The start/continue button works again with its start picture; the
// countdown display is hidden.
void ResetStartButton(Client& client);

// Parts of the heartbeat's tick that show things on the table.
void BlinkSlot(Client& client);
void HideClaimBubble(Client& client);
// The countdowns, each run once per tick while its gate is on.
void PiaoCountdown(Client& client);
void TurnCountdown(Client& client);
void ReadyCountdown(Client& client);
// Shows the own camera picture in the own video panel.
void ShowOwnVideo(Client& client, bool capture_on, bool second);
// The notice dialog of another player's exit is unloaded.
void UnloadOtherExitForm(Client& client);
// The first web pane navigates to the page, comes to the front and shows.
void ShowFirstWebPane(Client& client, const std::string& address);

// Arms of the command dispatcher; each reads the packet from client.net.
void HandleDeal(Client& client);
void HandleDiscard(Client& client);
void HandleSeatName(Client& client);
void HandleNewHand(Client& client);
void HandleDraw(Client& client);
void HandleTurnPrompt(Client& client);
void HandleClaim(Client& client);
void HandlePiao(Client& client);
void HandleHandEndRow(Client& client);
void HandleFaceUpTile(Client& client);
void HandleShownHand(Client& client);
void HandleGameStart(Client& client);
void HandleSeatFreed(Client& client);
void HandleQuit(Client& client);
void HandleOutOfCoins(Client& client);
void HandleResultRow(Client& client);
void HandleUserDetails(Client& client);
void HandleUserLeft(Client& client);
void HandleForcedExit(Client& client);
void HandleReadyState(Client& client);
void HandleSeatTiles(Client& client);
void HandleTableSummary(Client& client);

// The speech bubble of a quick phrase: phrase `phrase_number` (1-based) of
// quick-phrase list `list` (1 or 2) beside display seat `seat`.
void ShowSpeakBubble(Client& client, int seat, int list, int phrase_number);

// The control's remote load: a background fetch of `path` through the web
// pane, reporting to the control by AsyncReadProgress and AsyncReadComplete.
// False while the fetch is not built (the read cannot start).
class ucAniGIF;
bool AsyncReadRemoteGIF(Client& client, ucAniGIF& control, std::string_view path);
void CancelAsyncReadRemoteGIF(Client& client, ucAniGIF& control);

// The main window's item controls: the warehouse button shown in front,
// key preview on and the coin settlement's names cleared; the box pictures
// ImgProp(1..count-1) made, hidden and disabled; at shutdown the effect timer
// and box animation stopped, the box pictures removed, ImgProp(0) hidden and
// disabled, the item label emptied and hidden.
void PrepareItemControls(Client& client);
void LoadBoxPictures(Client& client, int count);
void UnloadItemControls(Client& client);
// The caption of the item label LbProp.
void SetItemLabel(Client& client, const std::string& caption);
// What the item plug-in's requests do on the table.
void AddItemMessage(Client& client, const std::string& text);
void ShowItemEffect(Client& client, const std::string& text, const std::vector<int32_t>& layout1,
                    const std::vector<int32_t>& layout2);
void PlayTreasureBoxes(Client& client);
// Opens box `box` (0-3) as the local player's choice; -1: only the others' boxes.
void OpenTreasureBoxes(Client& client, int box);
void Tou_Click(Client& client, int seat);
void Pic1_KeyDown(Client& client, int key, int shift);
void Tou_MouseMove(Client& client, int seat, int button, int shift, int x, int y);
// The end-of-hand score sheet, or for a drawn hand the result panel.
void ShowScoreSheet(Client& client);
void ShowHandResult(Client& client);

}  // namespace slvn
