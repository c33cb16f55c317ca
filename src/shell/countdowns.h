#pragma once

#include <cstdint>

namespace slvn {

struct Client;

// The three countdowns of the heartbeat: each counts whole seconds, shows
// them in `Number` and acts for the player at 0.
void PiaoCountdown(Client& client);
void TurnCountdown(Client& client);
void ReadyCountdown(Client& client);
// Starts the ready countdown at `seconds`: its slot on, its second counted
// from now, the digits shown green beside the clock picture, both in front.
void StartReadyCountdown(Client& client, int16_t seconds);

// The seat-change screen of the ready path, and its removal.
void ShowSeatChangeScreen(Client& client);
void HideSeatChangeScreen(Client& client);

}  // namespace slvn
