#include <gtest/gtest.h>

#include <algorithm>

#include "platform/input.h"
#include "shell/client.h"
#include "support/table_layout.h"

namespace slvn {
namespace {

class WindowFrameTest : public ::testing::Test {
 protected:
  WindowFrameTest() {
    test::LayOutTable(client);
    PaintWindowSkin(client);
  }
  Client client{std::make_unique<ManualClock>()};
  MainForm& f = client.main_form;
};

TEST_F(WindowFrameTest, PlacesTheCaptionButtonsAndTheDragStrip) {
  EXPECT_DOUBLE_EQ(f.ImgClose[0].Width(), 255);
  EXPECT_DOUBLE_EQ(f.ImgClose[0].Left(), 15600 - 255 - 70);
  EXPECT_DOUBLE_EQ(f.ImgMin[0].Left(), 15600 - 255 - 70 - 255 - 30);
  EXPECT_DOUBLE_EQ(f.ImgMin[0].Top(), 25);
  EXPECT_DOUBLE_EQ(f.LbMove.Left(), 290);
  EXPECT_DOUBLE_EQ(f.LbMove.Width(), f.ImgMin[0].Left() - 290);
  EXPECT_DOUBLE_EQ(f.LbMove.Height(), f.ImgClose[0].Height() + 50);
  EXPECT_EQ(f.lcaption.ForeColor(), 0xFFFFFFu);
  EXPECT_EQ(f.ImgClose[0].Picture(), f.ImgClose[1].Picture());
  ASSERT_NE(f.Canvas(), nullptr);
  // The frame is painted at the window's edges, the skin's orange outer line outermost.
  EXPECT_EQ(f.Canvas()->pixels[0] & 0xFFFFFF, 0xFF8C1Au);
}

TEST_F(WindowFrameTest, HoverIsShownOncePerVisitAndReArmedByTheStripOrTheFrame) {
  auto move = [](ControlArray<ImageControl>& button, int index) {
    button[index].MouseMove(0, 0, 1, 1);
  };
  move(f.ImgClose, 1);  // hidden elements do nothing
  EXPECT_EQ(f.ImgClose[0].Picture(), f.ImgClose[1].Picture());
  move(f.ImgClose, 0);
  EXPECT_EQ(f.ImgClose[0].Picture(), f.ImgClose[2].Picture());
  move(f.ImgMin, 0);  // straight across: no hover on the second button
  EXPECT_EQ(f.ImgMin[0].Picture(), f.ImgMin[1].Picture());
  f.ImgClose[0].MouseDown(kLeftButton, 0, 1, 1);
  EXPECT_EQ(f.ImgClose[0].Picture(), f.ImgClose[3].Picture());
  f.ImgClose[0].MouseUp(kLeftButton, 0, 1, 1);
  EXPECT_EQ(f.ImgClose[0].Picture(), f.ImgClose[2].Picture());
  f.LbMove.MouseMove(0, 0, 1, 1);
  EXPECT_EQ(f.LbMove.MousePointer(), 1);
  EXPECT_EQ(f.ImgClose[0].Picture(), f.ImgClose[1].Picture());
  move(f.ImgMin, 0);
  EXPECT_EQ(f.ImgMin[0].Picture(), f.ImgMin[2].Picture());
  f.MouseMove(0, 0, 1, 1);
  EXPECT_EQ(f.ImgMin[0].Picture(), f.ImgMin[1].Picture());
}

TEST_F(WindowFrameTest, CloseOpensTheExitDialogAndMinimiseHidesThenMinimises) {
  f.ImgClose[1].Click();
  EXPECT_FALSE(client.frmExit.Visible());
  f.ImgClose[0].Click();
  EXPECT_TRUE(client.frmExit.Visible());
  EXPECT_EQ(f.WindowState(), kNormal);
  client.Talk.Show();
  f.ImgMin[0].Click();
  EXPECT_EQ(f.WindowState(), kMinimized);
  EXPECT_FALSE(client.Talk.Visible());
  EXPECT_TRUE(client.data.BossKey);
}

}  // namespace
}  // namespace slvn
