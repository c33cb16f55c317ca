#pragma once

#include <cstdint>
#include <string>

namespace slvn {

struct Client;

// The hand history of the table, info.cv in the program folder: one section
// "juNum:<hand>" per finished hand with the score board's names, avatars,
// lists and column colours.
std::string HandRecordFile(Client& client);
// Writes the score board as it stands as the section of `hand`.
void SaveHandRecord(Client& client, int16_t hand);
// Fills the score board from the section of `hand` (0 does nothing); it does
// not show the board. A missing or bad line count ends the load there.
void LoadHandRecord(Client& client, int16_t hand);

}  // namespace slvn
