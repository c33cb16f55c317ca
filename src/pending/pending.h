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

// The coin tally's seat names cleared, as the plug-in loads.
void ClearCoinNames(Client& client);
// The coin tally of the treasure-box opening in the item label: -1
// prepares, then each step counts up, the last shows the whole tally.
void ShowCoinSettlement(Client& client, int16_t step);

}  // namespace slvn
