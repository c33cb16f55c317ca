#pragma once

#include <cstdint>
#include <string>

#include "state/types.h"

namespace slvn {

struct Client;

// A seat discarded `tile`: it is remembered as the last discard and spoken in
// the discarder's voice; another seat's discard leaves its hand and lies
// face up in the middle of the table until the next draw.
void ShowDiscard(Client& client, uint8_t seat, TileCode tile);

// The voice file that speaks `tile` for display seat `v`.
std::string DiscardVoiceFile(const Client& client, int v, TileCode tile);

}  // namespace slvn
