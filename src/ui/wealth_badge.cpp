#include "ui/wealth_badge.h"

#include <string>

#include "shell/client.h"
#include "shell/general.h"

namespace slvn {

void RefreshWealthBadge(Client& client) {
  RefreshWealthBadge(client, MinPositiveOfFour(client.data));
}

void RefreshWealthBadge(Client& client, int32_t value) {
  MainForm& f = client.main_form;
  const double sx = client.data.ScaleX, sy = client.data.ScaleY;
  f.lbwealth.SetCaption(std::to_string(value));
  const bool wide = value >= 100;
  f.lbwealth.SetFontSize(wide ? 13 : 18);
  if (sx < 1.0)
    f.lbwealth.Move(wide ? 72 * sx : 74 * sx, wide ? 355 * sy : 351 * sy);
  else
    f.lbwealth.Move(wide ? 58 * sx : 62 * sx, wide ? 284 * sy : 282 * sy);
  f.Imgwealth.SetVisible(true);
  f.lbwealth.SetVisible(true);
}

}  // namespace slvn
