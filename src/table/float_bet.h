#pragma once

#include <cstdint>

namespace slvn {

struct Client;

// The float-bet value of each option: no float, 1, 3, 5.
constexpr int16_t kPiaoBets[] = {0, 1, 3, 5};

// Shows the four float-bet options with their idle pictures.
void ShowPiaoOptions(Client& client);
// The player chose option `index` (0..3), or the countdown chose 0: the
// options and the countdown go and the bet is sent.
void img_piaoOpt_Click(Client& client, int index);

}  // namespace slvn
