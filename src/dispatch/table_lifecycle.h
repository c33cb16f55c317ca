#pragma once

#include <string>

namespace slvn {

struct Client;

// The table's lifecycle as the server drives it: command 16 by its sub-code
// (game start, a freed seat, players who quit or ran out of coins), the
// forced exit (22) and the ready marks (23). Each reads client.net.
void HandleGameStart(Client& client);
void HandleSeatFreed(Client& client);
void HandleQuit(Client& client);
void HandleOutOfCoins(Client& client);
void HandleForcedExit(Client& client);
void HandleReadyState(Client& client);

// The seat-change screen: the notice picture with its caption, and the
// shuffle page in the second web pane, all in front.
void ShowSeatChangeScreen(Client& client);

// What the table shows of display seat i (1-3) and its records, emptied.
void ClearVacatedSeat(Client& client, int i);

// Where the notice of ShowExitNotice is centred.
enum class NoticeArea { kMainWindow, kTable };
// frmOtherExit with `text`, topmost, shown without waiting: centred over the
// window, or over an area of the table's size at the window's corner.
void ShowExitNotice(Client& client, const std::string& text, NoticeArea area);

}  // namespace slvn
