#pragma once

namespace slvn {

struct Client;

// The three countdowns of the heartbeat: each counts whole seconds, shows
// them in `Number` and acts for the player at 0.
void PiaoCountdown(Client& client);
void TurnCountdown(Client& client);
void ReadyCountdown(Client& client);

// The seat-change screen of the ready path, and its removal.
void ShowSeatChangeScreen(Client& client);
void HideSeatChangeScreen(Client& client);

}  // namespace slvn
