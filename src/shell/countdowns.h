#pragma once

namespace slvn {

struct Client;

// The three countdowns of the heartbeat: each counts whole seconds, shows
// them in `Number` and acts for the player at 0.
void PiaoCountdown(Client& client);
void TurnCountdown(Client& client);
void ReadyCountdown(Client& client);

// The seat-change screen of a ready path (the countdown and the start
// button): the seats forgotten, the screen shown, its condition used up.
void ShowSeatChangeOnReady(Client& client);
// The seat-change screen's picture and caption hidden.
void HideSeatChangeScreen(Client& client);

}  // namespace slvn
