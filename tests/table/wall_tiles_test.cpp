#include "table/wall_tiles.h"

#include <gtest/gtest.h>

#include <vector>

#include "shell/client.h"
#include "support/table_layout.h"
#include "ui/table_reset.h"

namespace slvn {
namespace {

TEST(WallTilesTest, SortTilesRunsFromDotsDownToNoSuitByRisingRank) {
  struct Case {
    std::vector<TileCode> codes, sorted;
  } cases[] = {
      {{0x11, 0x43, 0x82, 0x21, 0x41, 0x81}, {0x81, 0x82, 0x41, 0x43, 0x21, 0x11}},
      {{0x05, 0x11, 0x23, 0x23, 0x87, 0x23}, {0x87, 0x23, 0x23, 0x23, 0x11, 0x05}},
      {{0x42}, {0x42}},
      {{}, {}},
  };
  for (Case& c : cases) {
    SortTiles(c.codes);
    EXPECT_EQ(c.codes, c.sorted);
  }
  // Only the given entries are sorted.
  std::vector<TileCode> codes = {0x11, 0x81, 0x82, 0x41};
  SortTiles(std::span(codes).first(2));
  EXPECT_EQ(codes, (std::vector<TileCode>{0x81, 0x11, 0x82, 0x41}));
}

TEST(WallTilesTest, ShowWallTileLiesAboveTheTailInThatSidesView) {
  Client client{std::make_unique<ManualClock>()};
  test::LayOutTable(client);
  ResetTableView(client);
  auto& tiles = client.main_form.MJ_Image;
  struct Case {
    int16_t tail, position;
    TileCode face;
    int side, lift, width, height;
  } cases[] = {{31, 40, 0x43, 1, 20, 48, 35},
               {29, 5, 0x87, 0, 22, 36, 50},
               {60, 70, 0x11, 2, 16, 30, 36},
               {119, 0, 0x25, 3, 20, 48, 35}};
  for (const Case& c : cases) {
    client.data.WallTail = c.tail;
    client.data.FaceUpTile = c.face;
    ShowWallTile(client, c.position);
    const ImageControl& tile = tiles[c.position];
    EXPECT_DOUBLE_EQ(tile.Left(), tiles[c.tail].Left()) << c.tail;
    EXPECT_DOUBLE_EQ(tile.Top(), tiles[c.tail].Top() - c.lift) << c.tail;
    EXPECT_DOUBLE_EQ(tile.Width(), c.width);
    EXPECT_DOUBLE_EQ(tile.Height(), c.height);
    EXPECT_TRUE(tile.Visible());
    const int picture = 36 * c.side +
                        9 * (c.face >> 4 == 8   ? 3
                             : c.face >> 4 == 4 ? 2
                             : c.face >> 4 == 2 ? 1
                                                : 0) +
                        (c.face & 15) - 1;
    EXPECT_EQ(tile.Picture(), LoadResourcePicture(client, 201 + picture)) << c.tail;
  }
  // A face-up code that names no tile leaves the picture; a position off the wall does nothing.
  const Picture before = tiles[5].Picture();
  client.data.FaceUpTile = 0;
  ShowWallTile(client, 5);
  EXPECT_EQ(tiles[5].Picture(), before);
  ShowWallTile(client, 120);
  client.data.WallTail = -1;
  ShowWallTile(client, 5);
}

}  // namespace
}  // namespace slvn
