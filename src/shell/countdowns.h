#pragma once

#include <cstdint>

namespace slvn {

struct Client;

// The three countdowns of the heartbeat: each counts whole seconds, shows
// them in `Number` and acts for the player at 0.
void PiaoCountdown(Client& client);
void TurnCountdown(Client& client);
void ReadyCountdown(Client& client);
// Starts the ready countdown at `seconds`: the turn and float-bet countdowns
// stopped, its slot on, the digits shown beside the clock picture, both in
// front. Its mark stays, so the first second may be counted at once. The
// digits turn green, or keep the colour the last countdown left (a leave
// winding a running game up).
enum class NumberColour { kGreen, kAsLeft };
void StartReadyCountdown(Client& client, int16_t seconds,
                         NumberColour colour = NumberColour::kGreen);

// The player is ready for the next hand: the ready goes to the server, and
// a reseat the player asked for shows its screen.
void SendReady(Client& client);
// The seat-change screen of a ready path (the countdown and the start
// button): the seats forgotten, the screen shown, its condition used up.
void ShowSeatChangeOnReady(Client& client);
// The seat-change screen's picture and caption hidden.
void HideSeatChangeScreen(Client& client);

}  // namespace slvn
