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

// The hand-history board and the score board emptied and hidden.
void ClearRecordBoards(Client& client);
// Which handler's boss key hides the table's other windows (the player card,
// chat history, quick phrases, settings, hand list and score sheet), as each
// hides or unloads them differently.
enum class BossKeyVariant { kFromWindow, kFromTable, kFromStrip };
void ApplyBossKeyToWindows(Client& client, BossKeyVariant variant);
// A click on the table: the chat history, quick phrases, score sheet, hand
// list and settings windows are hidden.
void HideFloatingWindows(Client& client);
// The chat history window, shown topmost beside the table.
void ShowTalkWindow(Client& client);

// Arms of the command dispatcher; each reads the packet from client.net.
void HandleHandEndRow(Client& client);
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

// The main window's later layout steps and handlers.
void LayoutPlayerInfo(Client& client);
// The button bar's click handler (8 exit dialog, 4 hide).
void AnNiu_Click(Client& client, int index);
// Hides the chat-history window, creating it hidden first.
void HideTalkWindow(Client& client);
// The item plug-in forgets the player of display seat `seat`.
void ClearUser(Client& client, int16_t seat);

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
void Tou_MouseMove(Client& client, int seat, int button, int shift, int x, int y);
// The end-of-hand score sheet, or for a drawn hand the result panel.
void ShowScoreSheet(Client& client);
void ShowHandResult(Client& client);
// The score sheet's name label of display seat `seat` (`Score.ID`) takes a colour.
void SetScoreNameColor(Client& client, int seat, uint32_t color);
// A hand's course: the exit dialog closed, the item bar hidden, and the
// spectator's twins of the deal, the discard and the claim.
void ClearItemBar(Client& client);
void WatchDrawTiles(Client& client, uint8_t seatBit, uint8_t tileCount,
                    const std::array<int16_t, 4>& words);
void WatchShowDiscard(Client& client, uint8_t seatBit, TileCode tile);
void WatchApplyOperation(Client& client, int16_t operation, uint8_t seatBit,
                         const std::array<TileCode, 3>& tiles);

}  // namespace slvn
