#include "shell/resources/image_resource.h"

#include <charconv>

#include "shell/client.h"
#include "shell/resources/embedded.h"

namespace slvn {

namespace {
template <size_t N, class Id>
void Fill(std::array<std::string, N>& table, Id id_of) {
  for (size_t i = 0; i < N; ++i) table[i] = std::to_string(id_of(static_cast<int>(i)));
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}
}  // namespace

void InitImageTables(Client& client) {
  ImageResources& r = client.images;
  // The small screen has its own, smaller bar pictures; the send button keeps its own.
  const bool full_size = client.data.ScaleX == 1.0f;
  Fill(r.ButtonPics, [full_size](int i) { return full_size || i < 2 ? 101 + i : 379 + i; });
  Fill(r.BadgePics, [](int i) { return 123 + i; });
  Fill(r.CompassPics, [](int i) { return 126 + i; });
  Fill(r.DialogButtonPics, [](int i) { return 130 + i; });
  Fill(r.ClaimButtonPics, [](int i) { return 141 + i; });
  Fill(r.DicePics, [](int i) { return 161 + i; });
  Fill(r.ClaimCaptionPics, [](int i) { return 183 + i; });
  Fill(r.AvatarPics, [](int i) { return i < 10 ? 191 + i : 391 + i; });
  Fill(r.TilePics, [](int i) { return 201 + i; });
  Fill(r.VideoFramePics, [](int i) { return 870 + i; });
  Fill(r.VideoIconPics, [](int i) { return 850 + i; });
  Fill(r.SmallDicePics, [](int i) { return 600 + i; });
}

std::optional<int16_t> ResourceNumber(std::string_view text) {
  text = TrimBlanks(text);
  int16_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

Picture LoadResourcePicture(Client& client, int id) {
  auto& decoded = client.images.decoded;
  if (auto found = decoded.find(id); found != decoded.end()) return found->second;
  Picture picture = DecodePicture(ResourceBytes(id));
  if (picture) decoded.emplace(id, picture);
  return picture;
}

}  // namespace slvn
