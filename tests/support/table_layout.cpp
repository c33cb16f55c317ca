#include "support/table_layout.h"

#include "ui/layout_table.h"

namespace slvn::test {

void LayOutTable(Client& client, float scale) {
  client.data.ScaleX = scale;
  client.data.ScaleY = scale;
  InitImageTables(client);
  LoadMainFormDesign(client);
  MainForm& f = client.main_form;
  if (scale < 1) {
    // The small screen: the window fills it without a frame.
    f.Move(0, 0, 12000, 9000);
    f.Pic1.Move(0, 0, 12000, 9000);
    f.Pic1.SetPicture(f.Pic2.Picture());
  }
  LayoutTable(client);
  LayoutTableWidgets(client);
}

}  // namespace slvn::test
