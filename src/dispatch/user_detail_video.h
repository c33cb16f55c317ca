#pragma once

namespace slvn {

struct Client;

// The video steps of a user-details message:
// - ResetPeerVideoPanels: the seated players are announced; the three peer
//   panels hidden and their zoom windows closed.
// - PairJoiningPlayerVideo: a joining player took display seat `seat`
//   (custom[seat].name is set): the video links paired again when the player
//   replaced a table mate, and the player bound to a video slot.
// - LoginOwnVideo: the own details: video log-in and the own camera.
// - HandOverVideoPanel: display seat 1-3 goes to the item plug-in: its
//   frame-shown word cleared and its panel hidden.
// - EndUserDetailsVideo: the end of the own details: the own camera started
//   once a hand and the own video shown as the camera allows.
void ResetPeerVideoPanels(Client& client);
void PairJoiningPlayerVideo(Client& client, int seat);
void LoginOwnVideo(Client& client);
void HandOverVideoPanel(Client& client, int seat);
void EndUserDetailsVideo(Client& client);

}  // namespace slvn
