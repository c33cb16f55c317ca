#include "platform/renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "platform/forms.h"
#include "shell/client.h"
#include "support/headless.h"

namespace slvn {
namespace {

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;
constexpr uint32_t kWhite = 0xFFFFFFFF, kGrey = 0xFF808080;

// A 2x2 picture with its right column transparent.
Picture HalfTransparent(uint32_t argb) {
  auto image = std::make_shared<Image>(*test::SolidPicture(2, 2, argb));
  image->pixels[1] = image->pixels[3] = 0;
  return image;
}

// A 100x60 pixel form with a grey back, drawn with pixel geometry.
class RendererTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseHeadlessSdl();
    form.Move(0, 0, 100 * 15, 60 * 15);
    form.SetScaleMode(ScaleMode::kPixels);
    form.SetBackColor(0x808080);
    ASSERT_TRUE(renderer.Ok());
  }
  uint32_t Draw(int x, int y) {
    renderer.Draw(form);
    return renderer.PixelAt(x, y);
  }

  Client client{std::make_unique<ManualClock>()};
  Form form{client.forms};
  Renderer renderer;
};

// A label's caption of two lines (CR LF between): each line takes the
// label's alignment, and the break is one line, not two.
TEST_F(RendererTest, ALabelAlignsEachLineAndBreaksOncePerCrLf) {
  Label label(&form);
  label.Move(0, 0, 100, 60);
  label.SetBackStyle(kBackTransparent);
  label.SetForeColor(0xFFFFFF);
  label.SetFontSize(12);
  // The ink's columns and rows within the label.
  auto ink = [&](int& left, int& right, int& bottom) {
    renderer.Draw(form);
    left = 100, right = -1, bottom = -1;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 100; ++x)
        if (renderer.PixelAt(x, y) != kGrey) {
          left = std::min(left, x);
          right = std::max(right, x);
          bottom = std::max(bottom, y);
        }
  };
  label.SetAlignment(kAlignCenter);
  label.SetCaption("1\r\n1");
  int left = 0, right = 0, bottom = 0;
  ink(left, right, bottom);
  EXPECT_GT(left, 35);  // centred, not at the label's left
  EXPECT_LT(right, 65);
  const int two_lines = bottom;
  label.SetCaption("1\n1");
  ink(left, right, bottom);
  EXPECT_EQ(bottom, two_lines);
}

// A label as high as its font's em is lower than the font's line: its text
// is raised into the blank above the ink, so none of the ink is cut, while
// a label tall enough draws its line from its top.
TEST_F(RendererTest, ALabelOneEmHighShowsItsWholeInk) {
  Label label(&form);
  label.SetBackStyle(kBackTransparent);
  label.SetForeColor(0xFFFFFF);
  label.SetFontBold(true);
  // The ink's pixel count and its top row.
  auto ink = [&](int& top) {
    renderer.Draw(form);
    int n = 0;
    top = 60;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 100; ++x)
        if (renderer.PixelAt(x, y) != kGrey) ++n, top = std::min(top, y);
    return n;
  };
  for (const char* caption : {"玩家0", "0123"})
    for (double size : {9.0, 10.5, 12.0}) {
      SCOPED_TRACE(std::string(caption) + " at " + std::to_string(size));
      label.SetCaption(caption);
      label.SetFontSize(size);
      label.Move(0, 20, 100, 40);
      int tall_top = 0, short_top = 0;
      const int whole = ink(tall_top);
      ASSERT_GT(whole, 20);
      label.Move(0, 20, 100, std::round(size * 96 / 72));
      EXPECT_EQ(ink(short_top), whole);
      EXPECT_GE(short_top, 20);
      EXPECT_LT(short_top, tall_top);  // raised, yet within the label
    }
}

// A list row is one em high (12 pixels for 9 points); each row's text, descenders and brackets too,
// shows whole within its row, so two rows never overlap and the bottom frame cuts nothing.
TEST_F(RendererTest, AListRowIsOneEmHighAndHoldsItsWholeInk) {
  ListBox list(&form);
  list.SetBackColor(0);
  list.SetForeColor(0xFFFFFF);
  const std::string probe = "总分gjy|（）";
  // Rows inside the list's frame holding ink, and the ink's pixel count.
  auto ink = [&](std::vector<int>& rows) {
    renderer.Draw(form);
    rows.clear();
    int count = 0;
    for (int y = 1; y < list.Height() - 1; ++y) {
      int in_row = 0;
      for (int x = 1; x < 99; ++x) in_row += (renderer.PixelAt(x, y) & 0xFFFFFF) != 0;
      if (in_row) rows.push_back(y);
      count += in_row;
    }
    return count;
  };
  for (double size : {8.0, 9.0, 10.5, 12.0, 14.25})
    for (bool bold : {false, true}) {
      SCOPED_TRACE(std::to_string(size) + (bold ? " bold" : ""));
      list.SetFontSize(size);
      list.SetFontBold(bold);
      const int em = static_cast<int>(std::lround(size * 96 / 72));
      EXPECT_EQ(renderer.ListRowFor(list.Font()).pitch, em);
      list.Clear();
      list.AddItem(probe);
      list.Move(0, 0, 100, 60);
      std::vector<int> rows;
      const int whole = ink(rows);
      ASSERT_GT(whole, 0);
      EXPECT_GE(rows.front(), 1);
      EXPECT_LE(rows.back(), em);                         // within the first row
      EXPECT_GE(rows.back() - rows.front() + 1, em - 3);  // drawn near the row's size
      list.Move(0, 0, 100, em + 2);                       // one em inside the frame
      EXPECT_EQ(ink(rows), whole);
      list.Move(0, 0, 100, 60);
      list.AddItem(probe);
      EXPECT_EQ(ink(rows), 2 * whole);  // the second row's ink is the first's, one em on
      EXPECT_EQ(list.VisibleRows(), 58 / em);
    }
}

// A list row stays one line: its line breaks draw as spaces, not as
// missing-glyph boxes or a second line.
TEST_F(RendererTest, AListRowDrawsItsLineBreaksAsSpaces) {
  ListBox list(&form);
  list.Move(0, 0, 100, 60);
  list.SetForeColor(0xFFFFFF);
  auto frame = [&](const std::string& row) {
    list.Clear();
    list.AddItem(row);
    renderer.Draw(form);
    std::vector<uint32_t> pixels;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 100; ++x) pixels.push_back(renderer.PixelAt(x, y));
    return pixels;
  };
  const auto spaced = frame("1 2 3");
  EXPECT_EQ(frame("1\r\n2\n3"), spaced);
  EXPECT_NE(frame("1 2"), spaced);
}

TEST_F(RendererTest, WindowedControlsSitAboveWindowlessOnesAndZOrderOrdersSiblings) {
  PictureBox box(&form);
  box.Move(10, 10, 20, 20);
  box.SetBackColor(0x0000FF);               // red, as &HBBGGRR
  ImageControl later(&form), front(&form);  // added after the box, still under it
  later.SetPicture(test::SolidPicture(30, 30, kGreen));
  front.SetPicture(test::SolidPicture(30, 30, kBlue));
  later.Move(0, 0);
  front.Move(5, 5);
  EXPECT_EQ(Draw(15, 15), kRed);
  EXPECT_EQ(Draw(7, 7), kBlue);  // front was added last
  front.ZOrder(1);
  EXPECT_EQ(Draw(7, 7), kGreen);
  front.ZOrder(0);
  EXPECT_EQ(Draw(7, 7), kBlue);
  box.SetVisible(false);
  EXPECT_EQ(Draw(15, 15), kBlue);
  EXPECT_EQ(renderer.Width(), 100);
  EXPECT_EQ(renderer.Height(), 60);
}

TEST_F(RendererTest, StretchAndTransparency) {
  ImageControl stretched(&form), plain(&form);
  stretched.SetStretch(true);
  stretched.Move(0, 0, 20, 10);
  stretched.SetPicture(HalfTransparent(kBlue));
  plain.SetPicture(HalfTransparent(kGreen));
  plain.Move(50, 50);
  EXPECT_EQ(Draw(1, 1), kBlue);
  EXPECT_EQ(Draw(9, 9), kBlue);
  EXPECT_EQ(Draw(10, 1), kGrey);  // the transparent half shows the form
  EXPECT_EQ(Draw(19, 9), kGrey);
  EXPECT_EQ(Draw(20, 1), kGrey);
  EXPECT_EQ(Draw(50, 50), kGreen);  // not stretched: 2x2 as the picture is
  EXPECT_EQ(Draw(51, 51), kGrey);
  EXPECT_EQ(Draw(50, 52), kGrey);
}

TEST_F(RendererTest, LabelsDrawTheirTextOpaqueOrTransparent) {
  ImageControl under(&form);
  under.SetStretch(true);
  under.Move(0, 0, 100, 60);
  under.SetPicture(test::SolidPicture(1, 1, kBlue));
  Label label(&form);
  label.Move(5, 5, 90, 30);
  label.SetCaption("东南西北");
  label.SetFontSize(14);
  label.SetForeColor(0xFFFFFF);
  label.SetBackStyle(kBackTransparent);
  auto count = [&](uint32_t colour) {
    renderer.Draw(form);
    int n = 0;
    for (int y = 5; y < 35; ++y)
      for (int x = 5; x < 95; ++x) n += renderer.PixelAt(x, y) == colour;
    return n;
  };
  int white = count(kWhite);
  EXPECT_GT(white, 30);                  // the text was drawn
  EXPECT_GT(count(kBlue), 90 * 30 / 2);  // transparent back: the picture shows
  label.SetBackStyle(kBackOpaque);
  label.SetBackColor(0x00FF00);
  EXPECT_EQ(count(kBlue), 0);
  EXPECT_GT(count(kGreen), 90 * 30 / 2);
  label.SetCaption("");
  EXPECT_EQ(count(kWhite), 0);

  label.SetAutoSize(true);
  label.SetCaption("中");
  renderer.Draw(form);
  EXPECT_GT(label.Width(), 10);
  EXPECT_LT(label.Width(), 40);
}

TEST_F(RendererTest, PaintPictureAndRegion) {
  form.PaintPicture(test::SolidPicture(4, 4, kGreen), 10, 10, 8, 8, 0, 0, 4, 4);
  EXPECT_EQ(Draw(10, 10), kGreen);
  EXPECT_EQ(Draw(17, 17), kGreen);
  EXPECT_EQ(Draw(18, 18), kGrey);
  auto skin = std::make_shared<Image>(*test::SolidPicture(100, 60, kWhite));
  skin->pixels[0] = kRed;  // only pixel (0,0) has the corner colour
  form.SetRegionFromPicture(skin);
  EXPECT_EQ(Draw(0, 0), 0u);  // outside the window's shape
  EXPECT_EQ(Draw(1, 0), kGrey);
  form.Cls();
  EXPECT_EQ(Draw(10, 10), kGrey);

  // A picture whose pixels do not match its size is neither drawn nor read.
  auto broken = std::make_shared<Image>(*test::SolidPicture(4, 4, kGreen));
  broken->width = 400;
  form.PaintPicture(broken, 0, 0, 50, 50, 0, 0, 400, 4);
  ImageControl image(&form);
  image.SetPicture(broken);
  form.SetRegionFromPicture(broken);
  EXPECT_EQ(Draw(10, 10), kGrey);
  EXPECT_TRUE(form.InRegion(0, 0));
}

// A small table scene for a person to look at: build/.../forms_scene.png.
TEST_F(RendererTest, SavesASceneAsPng) {
  form.Move(0, 0, 320 * 15, 180 * 15);
  form.SetBackColor(0x2F6B1E);
  ControlArray<ImageControl> tiles(&form);
  auto tile = std::make_shared<Image>(*test::SolidPicture(24, 34, 0xFFF5F0E0));
  for (int x = 0; x < 24; ++x) tile->pixels[x] = tile->pixels[33 * 24 + x] = 0xFF406040;
  tile->pixels[0] = tile->pixels[23] = tile->pixels[33 * 24] = tile->pixels[33 * 24 + 23] = 0;
  tiles[0].SetPicture(tile);
  tiles[0].Move(20, 110);
  for (int i = 1; i < 11; ++i) {
    tiles.Load(i);
    tiles[i].Move(20 + 25 * i, i == 10 ? 100 : 110);  // the last one raised
    tiles[i].SetVisible(true);
  }
  Label caption(&form);
  caption.Move(0, 6, 320, 24);
  caption.SetCaption("牌桌 1 · 东风局");
  caption.SetFontSize(12);
  caption.SetForeColor(0x00FFFF);
  caption.SetBackStyle(kBackTransparent);
  caption.SetAlignment(kAlignCenter);
  caption.SetFontBold(true);
  ListBox players(&form);
  players.Move(10, 36, 110, 56);
  for (const char* name : {"东 玩家一", "南 玩家二", "西 玩家三", "北 玩家四"})
    players.AddItem(name);
  players.SetListIndex(1);
  TextBox chat(&form);
  chat.Move(10, 152, 300, 20);
  chat.SetText("大家好！");
  renderer.Draw(form);
  EXPECT_TRUE(renderer.SavePng("forms_scene.png"));
}

}  // namespace
}  // namespace slvn
