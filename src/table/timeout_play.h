#pragma once

namespace slvn {

struct Client;

// The computer plays a timed-out own turn: a pass when the offer is still
// unanswered and, when a discard is due, the tile in the last concealed slot.
// It never claims.
void TimeoutPlay(Client& client);

}  // namespace slvn
