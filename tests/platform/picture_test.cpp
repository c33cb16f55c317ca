#include "platform/picture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace slvn {
namespace {

// A 2x1 GIF: a red pixel and a transparent one.
const uint8_t kTinyGif[] = {'G',  'I',  'F',  '8',  '9', 'a', 2, 0, 1, 0,
                            0x80, 0,    0,                                 // screen, 2-colour table
                            0xFF, 0,    0,    0,    0,   0,                // red, black
                            0x21, 0xF9, 4,    1,    0,   0,   1, 0,        // colour 1 transparent
                            0x2C, 0,    0,    0,    0,   2,   0, 1, 0, 0,  // image 2x1
                            2,    2,    0x44, 0x0A, 0,                     // LZW: clear, 0, 1, end
                            0x3B};

TEST(PictureTest, DecodesGifWithTransparencyAndRejectsGarbage) {
  Picture p = DecodePicture(kTinyGif);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->width, 2);
  EXPECT_EQ(p->height, 1);
  EXPECT_EQ(p->At(0, 0), 0xFFFF0000u);
  EXPECT_EQ(p->At(1, 0) >> 24, 0u);
  const uint8_t junk[] = {1, 2, 3, 4};
  EXPECT_FALSE(DecodePicture(junk));
  EXPECT_FALSE(DecodePicture({}));
}

// Only GIF, JPEG, PNG and BMP are read; other formats the image library knows
// stay out of reach (a broken vector picture used to leak inside it).
TEST(PictureTest, ReadsOnlyTheFormatsPicturesComeIn) {
  const std::string svg =
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"4\" height=\"4\">"
      "<rect width=\"4\" height=\"4\" fill=\"red\"/></svg>";
  const std::string broken_svg = "<svgA2F227\xff\xff";
  const std::string xpm = "/* XPM */\nstatic char *x[] = {\"1 1 1 1\", \"a c #FF0000\", \"a\"};";
  for (const std::string& text : {svg, broken_svg, xpm}) {
    std::vector<uint8_t> bytes(text.begin(), text.end());
    EXPECT_FALSE(DecodePicture(bytes)) << text;
  }
}

}  // namespace
}  // namespace slvn
