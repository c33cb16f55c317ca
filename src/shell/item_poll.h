#pragma once

namespace slvn {

struct Client;

// The heartbeat's step for the item plug-in, while its items are ready: its
// requests, the hand-over of the end-of-hand score and the treasure-box
// countdown. False when the tick ends here.
bool ItemPoll(Client& client);

}  // namespace slvn
