#pragma once

#include <cstdint>

#include "platform/picture.h"

namespace slvn::test {

// Makes SDL run without a display or sound device unless the environment
// already chose a driver.
void UseHeadlessSdl();

// A picture of one colour (0xAARRGGBB).
Picture SolidPicture(int width, int height, uint32_t argb);

}  // namespace slvn::test
