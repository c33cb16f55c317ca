#pragma once

namespace slvn {

struct Client;

// Places the seat labels (name, coins, level title) of the four seats, the
// room label and the quick-phrase strip with its two click areas, once per
// run for the screen scale. Only the labels' places change: their sizes stay.
void LayoutPlayerInfo(Client& client);

}  // namespace slvn
