#pragma once

#include <array>
#include <cstdint>

namespace slvn {

struct Client;

// Shows the face-down wall that ResetTableView laid out, stack by stack,
// tells the lobby a wall was built and clears the per-hand tables.
void BuildWall(Client& client);
// Rolls the two dice of a new hand and ends on dice[0] and dice[1]; faces
// outside 1..6 are clamped into the caller's array.
void RollTwoDice(Client& client, std::array<int16_t, 4>& dice);
// Rolls the kong die and ends on `face`, clamped to 1..6.
void RollOneDie(Client& client, int16_t face);

}  // namespace slvn
