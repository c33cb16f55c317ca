#include "support/table_layout.h"

#include "ui/layout_table.h"

namespace slvn::test {

void LayOutTable(Client& client, float scale) {
  client.data.ScaleX = scale;
  client.data.ScaleY = scale;
  InitImageTables(client);
  LoadMainFormDesign(client);
  if (scale < 1) {
    // An 800 x 600 screen: the window fills it without a frame.
    client.main_form.Move(0, 0, 12000, 9000);
    PlaceTableArea(client, false, false);
    PrepareSmallLayout(client);
  } else {
    PlaceTableArea(client, true, true);
    PrepareFullLayout(client);
  }
  LayoutTable(client);
  LayoutTableWidgets(client);
}

}  // namespace slvn::test
