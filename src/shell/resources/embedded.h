#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace slvn {

// One picture file built into the program: numbered pictures have an id and
// no name, the unnumbered art of the windows has a name and id 0.
struct EmbeddedAsset {
  int id;
  const char* name;
  const uint8_t* begin;
  const uint8_t* end;
};

// Every built-in picture file (generated at build time from assets/).
std::span<const EmbeddedAsset> EmbeddedAssets();

// The bytes of numbered picture `id` (GIF or JPEG); empty when there is none.
std::span<const uint8_t> ResourceBytes(int id);
// The bytes of the unnumbered picture `name` (assets/named/<name>.gif|jpg);
// empty when there is none.
std::span<const uint8_t> NamedAssetBytes(std::string_view name);

}  // namespace slvn
