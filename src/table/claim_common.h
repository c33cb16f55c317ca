#pragma once

// Small helpers shared by the claim and meld code: tile pictures, working
// tile sizes, bounded access to tile images and seat slots.

#include <string>

#include "platform/controls.h"
#include "shell/client.h"
#include "shell/general.h"
#include "shell/sound/voice_path.h"
#include "state/types.h"
#include "table/hand_order.h"
#include "table/seat_records.h"
#include "table/tile_code.h"

namespace slvn::claims {

inline int Suit(TileCode code) {
  return (code >> 4) & 0xF;
}
inline int Rank(TileCode code) {
  return code & 0xF;
}
// The face of a tile in a view (0 own lying, 1-3 other seats, 4 own standing);
// -1, which shows nothing, for a code that names no tile.
inline int16_t TilePicture(int view, TileCode code) {
  return PictureIndex(view, code);
}
// The face-down picture of a view.
inline int16_t BackPicture(int view) {
  return static_cast<int16_t>(36 * view + 8);
}
inline void SetTileSize(Client& client, int view, double width, double height) {
  Data& d = client.data;
  d.TileWidth[view] = static_cast<int16_t>(RoundHalfEven(width * d.ScaleX));
  d.TileHeight[view] = static_cast<int16_t>(RoundHalfEven(height * d.ScaleY));
}
inline void SetStandingSize(Client& client) {
  SetTileSize(client, 0, 48, 78);
}
inline void SetMeldSize(Client& client) {
  SetTileSize(client, 0, 45, 60);
}
// A tile image, or null for an index the table does not have.
inline ImageControl* TileImage(Client& client, int index) {
  if (index < 0 || index >= kWallPositions || !client.main_form.MJ_Image.Exists(index))
    return nullptr;
  return &client.main_form.MJ_Image[index];
}
inline bool ValidSlot(int slot) {
  return slot >= 0 && slot < PlayerHand::kSlotCount;
}
// The image of a slot, or null.
inline ImageControl* SlotImage(Client& client, const PlayerHand& hand, int slot) {
  return ValidSlot(slot) ? TileImage(client, hand.Slots[slot].ImageIndex) : nullptr;
}
// Whether the concealed run F .. F + n - 1 lies inside the record.
inline bool ConcealedInRange(const PlayerHand& hand) {
  return hand.FirstConcealed >= 0 && hand.ConcealedCount >= 0 &&
         hand.FirstConcealed + hand.ConcealedCount <= PlayerHand::kSlotCount;
}
// The hand holds 3n+2 tiles: a discard is due.
inline bool HoldsDrawnTile(const PlayerHand& hand) {
  return hand.ConcealedCount >= 2 && (hand.ConcealedCount - 2) % 3 == 0;
}
// A player's claim voice ("01.wav" chow ... "09.wav" win); "" when the
// player's voice codes make no file name.
inline std::string VoiceFile(const Client& client, int seat, const char* code) {
  return VoicePath(client, seat, code);
}

// Moves the image of slot `slot` of another seat `rel` (1-3) to its meld
// place, in the seat's meld size, stacked as that side needs.
void PlaceOtherMeldTile(Client& client, int rel, int slot);
// Whether the next meld position of a seat (MeldEnd - 2 .. MeldEnd) and its
// hidden run lie inside the record, with at least `need` hidden tiles.
bool MeldFits(const PlayerHand& hand, int need);
// The first meld of the seat, from `start` in steps of 3 up to MeldEnd - 5,
// that is a pung of `tile`; -1 when none is.
int PungOf(const PlayerHand& hand, int start, TileCode tile);
// SetAsideImages entries 4..7 hold a seat's wild-tile kongs (the top seat's
// are not kept); the count goes on regardless.
constexpr int kWildEntries = 4;
void RecordWildKong(Client& client, int rel, int16_t image);

}  // namespace slvn::claims
