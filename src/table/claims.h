#pragma once

#include <array>
#include <cstdint>

#include "state/types.h"

namespace slvn {

struct Client;

// --- Claim offers and the claim packets (the own seat) ---
void OfferChi(Client& client, TileCode discard);
void SendChi(Client& client, int16_t first, int16_t second);
void SendPeng(Client& client, TileCode tile);
void OfferGang(Client& client);
void SendGangDiscard(Client& client, int16_t slot);
void SendGangHand(Client& client, int16_t slot);
void SendGangAdd(Client& client, int16_t slot);
void SendHu(Client& client);
// Queues the pass (command 7, word 0 = 1) and marks the offer answered.
void SendPass(Client& client);

// --- Local moves: the main window's table handlers ---
void MJ_Image_MouseMove(Client& client, int index, int button, int shift, double x, double y);
void MJ_Image_MouseDown(Client& client, int index, int button, int shift, double x, double y);
void Operation_Click(Client& client, int index);
void Chi_Click(Client& client, int index);
void Gang_Click(Client& client, int index);
void Pic1_MouseUp(Client& client, int button, int shift, double x, double y);
void Pic2_MouseUp(Client& client, int button, int shift, double x, double y);
// Puts back the first lifted own tile that the pointer has left.
void PutBackLiftedTile(Client& client, double x, double y);
// Connects the handlers above to the main window's controls.
void WireLocalMoves(Client& client);

// --- The own hand after a confirmed claim ---
// Each returns false, changing nothing, when the claimed tiles cannot be
// found among the concealed tiles; the caller then leaves the counts alone.
bool RearrangeAfterChi(Client& client, int16_t first, int16_t second,
                       const std::array<TileCode, 3>& tiles);
bool RearrangeAfterPeng(Client& client, const std::array<TileCode, 3>& tiles);
bool RearrangeAfterGang(Client& client, int16_t slot, const std::array<TileCode, 3>& tiles);
bool RearrangeAfterGang2(Client& client, int16_t slot, const std::array<TileCode, 3>& tiles);
bool RearrangeAfterAddGang(Client& client, int16_t slot, TileCode tile);

// --- Confirmed claims of every seat (command 7) ---
// `seat_bit` is the claimer's seat bit as the header carries it.
void ApplyOperation(Client& client, int16_t op, uint8_t seat_bit,
                    const std::array<TileCode, 3>& tiles);
// The meld steps, by display seat `rel`.
void ShowClaimedChowPung(Client& client, int16_t op, int rel, const std::array<TileCode, 3>& tiles);
void ShowClaimedKong(Client& client, int16_t op, int rel, const std::array<TileCode, 3>& tiles);
void ShowAddedKong(Client& client, int rel, const std::array<TileCode, 3>& tiles);
void RepairSetAsideStacking(Client& client, int rel);

// --- Revealed hands (command 15): words 0..3 of the packet ---
void ShowHandTiles(Client& client, uint8_t seat_bit, const std::array<TileCode, 4>& tiles);

}  // namespace slvn
