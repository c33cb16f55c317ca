#include "video/video_toolbar.h"

namespace slvn {

int ToolbarPicture(int index, bool hover) {
  if (index == 0) return hover ? 864 : 863;
  const int role = index % 4;
  if (index >= 4 && role == 3) return hover ? 859 : 858;  // a button that does nothing
  const int normal = index >= 4 && role == 0 ? 850 : 850 + role;
  return hover ? normal + 4 : normal;
}

}  // namespace slvn
