#include "shell/resources/embedded.h"

namespace slvn {

namespace {
template <class Match>
std::span<const uint8_t> FindAsset(Match match) {
  for (const EmbeddedAsset& asset : EmbeddedAssets()) {
    if (match(asset)) return {asset.begin, asset.end};
  }
  return {};
}
}  // namespace

std::span<const uint8_t> ResourceBytes(int id) {
  if (id <= 0) return {};
  return FindAsset([id](const EmbeddedAsset& a) { return a.id == id; });
}

std::span<const uint8_t> NamedAssetBytes(std::string_view name) {
  if (name.empty()) return {};
  return FindAsset([name](const EmbeddedAsset& a) { return a.id == 0 && a.name == name; });
}

}  // namespace slvn
