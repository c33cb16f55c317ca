#pragma once

namespace slvn {

struct Client;

// Tells the server the player leaves (when connected), tears the video links
// down, stops the heartbeat and pauses so the packet leaves first.
void LeaveTableAndStopVideo(Client& client);
// Closes the socket and clears everything that belonged to the table: the
// client then waits, minimised, for the lobby's next connect request.
void ResetClientState(Client& client);

}  // namespace slvn
