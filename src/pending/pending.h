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
// The score sheet and hand list hidden, by the boss key and a click on the table.
void HideRecordBoards(Client& client);
// The bar's records (5) and history (6) buttons: the board hidden when shown,
// else the last recorded hand loaded (5) and the board centred and shown.
void ToggleRecordBoard(Client& client, int button);

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
// The spectator's table from the four stored user-details messages.
// The hand-list board's name and portrait of display seat `seat`.
void SetHeroSeat(Client& client, int seat, const std::string& name, int portrait);

// The hand-list board Hero centred over the window and shown in front; the
// score board Score over the table, unless the window is minimised.
void ShowHeroBoard(Client& client);
void ShowScoreBoard(Client& client);

}  // namespace slvn
