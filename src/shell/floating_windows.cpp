#include "shell/floating_windows.h"

#include "chat/talk.h"
#include "settlement/record_boards.h"
#include "shell/client.h"

namespace slvn {

namespace {

// Hiding a window never made does not make it.
void HideIfLoaded(Form& form) {
  if (form.Loaded()) form.Hide();
}

}  // namespace

void ApplyBossKeyToWindows(Client& client, BossKeyVariant variant) {
  const bool from_table = variant == BossKeyVariant::kFromTable;
  if (from_table)
    HideIfLoaded(client.Information);
  else
    client.Information.Unload();
  HideTalkWindow(client);
  if (!from_table) HideIfLoaded(client.huifu);
  if (variant != BossKeyVariant::kFromWindow) {
    HideIfLoaded(client.VosSet);
    HideRecordBoards(client);
  }
}

void HideFloatingWindows(Client& client) {
  HideTalkWindow(client);
  HideIfLoaded(client.huifu);
  HideRecordBoards(client);
  HideIfLoaded(client.VosSet);
}

}  // namespace slvn
