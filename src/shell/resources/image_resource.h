#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/picture.h"

namespace slvn {

struct Client;

// The tables that map a picture's role to its resource number, held as the
// decimal text of the number, and the pictures decoded so far.
struct ImageResources {
  std::array<std::string, 20> ButtonPics;
  std::array<std::string, 3> BadgePics;
  std::array<std::string, 4> CompassPics;
  std::array<std::string, 8> DialogButtonPics;
  std::array<std::string, 18> ClaimButtonPics;
  std::array<std::string, 16> DicePics;
  std::array<std::string, 8> ClaimCaptionPics;
  std::array<std::string, 20> AvatarPics;
  std::array<std::string, 180> TilePics;
  std::array<std::string, 6> VideoFramePics;
  std::array<std::string, 16> VideoIconPics;
  std::array<std::string, 6> SmallDicePics;

  // Decoded pictures by resource number: each is decoded once per run.
  std::unordered_map<int, Picture> decoded;
};

// Fills the twelve tables; reads ScaleX, so it runs after the scale is set.
void InitImageTables(Client& client);

// A table entry (decimal text, blanks around allowed) as a resource number;
// nullopt when it is not a 16-bit number.
std::optional<int16_t> ResourceNumber(std::string_view text);

// The numbered picture, decoded; null when there is no such resource or its
// bytes are not a picture.
Picture LoadResourcePicture(Client& client, int id);

// Puts numbered picture `id` of `type` ("GIF" for every picture) into any
// control with SetPicture. 1 when loaded; 0 on any failure, and the control
// keeps the picture it had.
template <class Target>
int LoadGifResource(Client& client, int id, std::string_view type, Target& target) {
  if (type != "GIF") return 0;
  Picture picture = LoadResourcePicture(client, id);
  if (!picture) return 0;
  target.SetPicture(picture);
  return 1;
}

// The same with the id as a table holds it.
template <class Target>
int LoadGifResource(Client& client, std::string_view id, std::string_view type, Target& target) {
  std::optional<int16_t> number = ResourceNumber(id);
  return number ? LoadGifResource(client, *number, type, target) : 0;
}

}  // namespace slvn
