#include "video/video_panels.h"

#include <gtest/gtest.h>

#include "shell/client.h"
#include "support/table_layout.h"

namespace slvn {
namespace {

struct Box {
  double left, top, width, height;
};

void ExpectBox(const Control& c, Box b, const std::string& what) {
  EXPECT_DOUBLE_EQ(c.Left(), b.left) << what;
  EXPECT_DOUBLE_EQ(c.Top(), b.top) << what;
  EXPECT_DOUBLE_EQ(c.Width(), b.width) << what;
  EXPECT_DOUBLE_EQ(c.Height(), b.height) << what;
  EXPECT_FALSE(c.Visible()) << what;
}

TEST(VideoPanelLayoutTest, FullScalePanelsAllHidden) {
  Client client{std::make_unique<ManualClock>()};
  test::LayOutTable(client, 1.0f);
  MainForm& f = client.main_form;
  struct Row {
    int seat;
    Box frame, display, bar, reopen;
  } rows[] = {
      {1, {0, 3, 126, 105}, {5, 8, 116, 95}, {126, 88, 145, 17}, {32, 80, 16, 14}},
      {2, {342, 3, 126, 105}, {347, 8, 116, 95}, {468, 88, 145, 17}, {380, 80, 16, 14}},
      {3, {685, 3, 126, 105}, {690, 8, 116, 95}, {811, 88, 145, 17}, {720, 80, 16, 14}},
  };
  for (const Row& r : rows) {
    const std::string s = std::to_string(r.seat);
    ExpectBox(f.ImgKuang[r.seat], r.frame, "frame " + s);
    ExpectBox(f.vshow[r.seat], r.display, "display " + s);
    ExpectBox(f.PicLocal[r.seat], r.bar, "bar " + s);
    ExpectBox(f.ImgShow[r.seat], r.reopen, "reopen " + s);
    EXPECT_TRUE(client.video.vshow[r.seat]->DisplayOption1);
  }
  ExpectBox(f.PicLocal[0], {9, 742, 87, 17}, "own bar");
  ExpectBox(f.ImgShow[0], {104, 688, 16, 14}, "own reopen");
  // Icons keep their design size and places inside the bars.
  const double own_lefts[] = {10.0 / 3, 24, 136.0 / 3, 64};
  for (int i = 0; i < 16; ++i) {
    const ImageControl& icon = *f.ImCmd[i];
    EXPECT_EQ(icon.Parent(), &f.PicLocal[i / 4]) << i;
    EXPECT_DOUBLE_EQ(icon.Left(), i < 4 ? own_lefts[i] : 8 + 32 * (i % 4)) << i;
    EXPECT_DOUBLE_EQ(icon.Width(), 16) << i;
    EXPECT_DOUBLE_EQ(icon.Height(), 14) << i;
    EXPECT_EQ(icon.MousePointer(), kPointerCustom) << i;
  }
  EXPECT_EQ(f.ImCmd[5]->ToolTipText(), "放大");
  EXPECT_EQ(f.ImCmd[1]->ToolTipText(), "");
}

TEST(VideoPanelLayoutTest, SmallScaleKeepsFractionsAndTheOwnReopenSize) {
  Client client{std::make_unique<ManualClock>()};
  test::LayOutTable(client, 0.78125f);
  MainForm& f = client.main_form;
  ExpectBox(f.ImgKuang[2], {267.1875, 3, 98.4375, 82.03125}, "frame 2");
  ExpectBox(f.vshow[2], {271.09375, 6.90625, 90.625, 74.21875}, "display 2");
  ExpectBox(f.PicLocal[2], {365.625, 68.75, 113.28125, 13.28125}, "bar 2");
  ExpectBox(f.ImgShow[2], {296.875, 62.5, 12.5, 10.9375}, "reopen 2");
  EXPECT_DOUBLE_EQ(f.PicLocal[1].Left(), 98.4375);
  EXPECT_DOUBLE_EQ(f.PicLocal[3].Left(), 633.59375);
  EXPECT_DOUBLE_EQ(f.ImgShow[0].Width(), 16);
  EXPECT_DOUBLE_EQ(f.ImgShow[0].Height(), 14);
  const double own_lefts[] = {10.0 / 3 * 0.78125, 18.75, 136.0 / 3 * 0.78125, 50};
  for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(f.ImCmd[i]->Left(), own_lefts[i]) << i;
  for (auto& icon : f.ImCmd) {
    EXPECT_TRUE(icon->Stretch());
    EXPECT_DOUBLE_EQ(icon->Width(), 12.5);
    EXPECT_DOUBLE_EQ(icon->Height(), 10.9375);
  }
}

}  // namespace
}  // namespace slvn
