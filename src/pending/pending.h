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
void HandleSeatFreed(Client& client);
void HandleQuit(Client& client);
void HandleOutOfCoins(Client& client);
void HandleResultRow(Client& client);
void HandleForcedExit(Client& client);

// The speech bubble of a quick phrase: phrase `phrase_number` (1-based) of
// quick-phrase list `list` (1 or 2) beside display seat `seat`.
void ShowSpeakBubble(Client& client, int seat, int list, int phrase_number);

// The main window's later layout steps and handlers.
// The button bar's click handler (8 exit dialog, 4 hide).
void AnNiu_Click(Client& client, int index);
// Hides the chat-history window, creating it hidden first.
void HideTalkWindow(Client& client);

// The coin tally's seat names cleared, as the plug-in loads.
void ClearCoinNames(Client& client);
// The coin tally of the treasure-box opening in the item label: -1
// prepares, then each step counts up, the last shows the whole tally.
void ShowCoinSettlement(Client& client, int16_t step);

void Tou_Click(Client& client, int seat);
// The end-of-hand score sheet, or for a drawn hand the result panel.
void ShowScoreSheet(Client& client);
void ShowHandResult(Client& client);
// The score sheet's name label of display seat `seat` (`Score.ID`) takes a colour.
void SetScoreNameColor(Client& client, int seat, uint32_t color);
// The spectator's table from the four stored user-details messages.
void SetupWatchTable(Client& client);
// The hand-list board's name and portrait of display seat `seat`.
void SetHeroSeat(Client& client, int seat, const std::string& name, int portrait);
// The clicks on the two quick-phrase buttons of the strip.
void imgword1_Click(Client& client);
void imgword2_Click(Client& client);

}  // namespace slvn
