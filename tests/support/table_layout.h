#pragma once

#include "shell/client.h"

namespace slvn::test {

// Lays the table out as start-up does, at `scale` (1.0 or 0.78125): the
// picture tables, the window's design pictures and both layout halves.
void LayOutTable(Client& client, float scale = 1.0f);

}  // namespace slvn::test
