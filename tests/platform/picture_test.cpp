#include "platform/picture.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace slvn
