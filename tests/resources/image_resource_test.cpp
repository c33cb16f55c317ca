#include "shell/resources/image_resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/client.h"
#include "shell/resources/embedded.h"

namespace slvn {
namespace {

// Any control with a Picture property will do.
struct FakeImage {
  Picture picture;
  int sets = 0;
  void SetPicture(Picture p) {
    picture = std::move(p);
    ++sets;
  }
};

bool Present(int id) {
  const int ranges[][2] = {{101, 120}, {123, 137}, {141, 158}, {161, 176}, {183, 398},
                           {401, 410}, {420, 421}, {423, 423}, {425, 425}, {431, 438},
                           {440, 441}, {450, 451}, {600, 605}, {850, 864}, {870, 877}};
  for (auto [lo, hi] : ranges)
    if (id >= lo && id <= hi) return true;
  return false;
}

TEST(ImageResourceTest, ExactlyTheNumberedPicturesExistAndDecode) {
  Client client;
  for (int id = 0; id <= 900; ++id) {
    FakeImage target;
    int result = LoadGifResource(client, id, "GIF", target);
    ASSERT_EQ(result, Present(id) ? 1 : 0) << "id " << id;
    if (result) {
      ASSERT_TRUE(target.picture) << "id " << id;
      EXPECT_GT(target.picture->width, 0);
    }
  }
}

TEST(ImageResourceTest, FailedLoadKeepsThePictureItHad) {
  Client client;
  FakeImage target;
  ASSERT_EQ(LoadGifResource(client, 201, "GIF", target), 1);
  Picture before = target.picture;
  for (int id : {865, 501, 503, -1, 0, 99999})
    EXPECT_EQ(LoadGifResource(client, id, "GIF", target), 0);
  EXPECT_EQ(LoadGifResource(client, 201, "JPG", target), 0);
  EXPECT_EQ(LoadGifResource(client, "12x", "GIF", target), 0);
  EXPECT_EQ(LoadGifResource(client, "70000", "GIF", target), 0);
  EXPECT_EQ(target.picture, before);
  EXPECT_EQ(target.sets, 1);
  // A table entry loads by its text; a picture is decoded once and shared.
  EXPECT_EQ(LoadGifResource(client, " 201 ", "GIF", target), 1);
  EXPECT_EQ(target.picture, before);
}

TEST(ImageResourceTest, PicturesHaveTheirSizes) {
  Client client;
  struct Case {
    int id, w, h;
  } cases[] = {{101, 48, 30},   {103, 55, 31},   {381, 43, 24},   {126, 77, 77},  {130, 70, 29},
               {136, 64, 26},   {141, 50, 69},   {143, 50, 71},   {156, 70, 28},  {161, 50, 56},
               {191, 85, 90},   {410, 85, 90},   {201, 50, 58},   {237, 59, 46},  {273, 34, 37},
               {309, 59, 46},   {345, 50, 77},   {380, 50, 77},   {420, 78, 38},  {431, 66, 38},
               {440, 173, 110}, {441, 137, 88},  {450, 55, 31},   {600, 24, 24},  {850, 16, 14},
               {860, 17, 16},   {870, 175, 138}, {875, 339, 266}, {877, 150, 143}};
  for (const Case& c : cases) {
    Picture p = LoadResourcePicture(client, c.id);
    ASSERT_TRUE(p) << c.id;
    EXPECT_EQ(p->width, c.w) << c.id;
    EXPECT_EQ(p->height, c.h) << c.id;
  }
  // Tiles have transparent rounded corners; the video frames are JPEG.
  EXPECT_EQ(LoadResourcePicture(client, 201)->At(0, 0) >> 24, 0u);
  EXPECT_EQ(ResourceBytes(870)[0], 0xFF);
}

TEST(ImageResourceTest, NamedArtIsBuiltIn) {
  for (const char* name : {"table_1024", "table_800", "window_skin", "ready_mark", "time_plate",
                           "dealer_badge", "claim_bubble_0", "speak_box_3", "dialog_exit"}) {
    EXPECT_TRUE(DecodePicture(NamedAssetBytes(name))) << name;
  }
  EXPECT_TRUE(NamedAssetBytes("no_such_picture").empty());
  EXPECT_TRUE(NamedAssetBytes("").empty());
}

TEST(ImageResourceTest, TablesFollowTheScale) {
  struct Case {
    float scale;
    std::vector<std::pair<int, int>> buttons;  // entry, id
  } cases[] = {
      {1.0f, {{0, 101}, {1, 102}, {2, 103}, {19, 120}}},
      {0.78125f, {{0, 101}, {1, 102}, {2, 381}, {7, 386}, {19, 398}}},
  };
  for (const Case& c : cases) {
    Client client;
    client.data.ScaleX = c.scale;
    InitImageTables(client);
    const ImageResources& r = client.images;
    for (auto [entry, id] : c.buttons)
      EXPECT_EQ(r.ButtonPics[entry], std::to_string(id)) << c.scale;
    EXPECT_EQ(r.TilePics[0], "201");
    EXPECT_EQ(r.TilePics[148], "349");
    EXPECT_EQ(r.TilePics[179], "380");
    EXPECT_EQ(r.AvatarPics[9], "200");
    EXPECT_EQ(r.AvatarPics[10], "401");
    EXPECT_EQ(r.AvatarPics[19], "410");
    EXPECT_EQ(r.BadgePics[2], "125");
    EXPECT_EQ(r.CompassPics[3], "129");
    EXPECT_EQ(r.DialogButtonPics[7], "137");
    EXPECT_EQ(r.ClaimButtonPics[17], "158");
    EXPECT_EQ(r.DicePics[15], "176");
    EXPECT_EQ(r.ClaimCaptionPics[7], "190");
    EXPECT_EQ(r.VideoFramePics[5], "875");
    EXPECT_EQ(r.VideoIconPics[15], "865");
    EXPECT_EQ(r.SmallDicePics[5], "605");
  }
}

}  // namespace
}  // namespace slvn
