#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "plugin/item_bar.h"
#include "plugin/test_prop_plugin.h"
#include "shell/client.h"
#include "support/table_layout.h"
#include "support/temp_dir.h"

namespace slvn::test {

// A laid-out table on the manual clock with the test plug-in active with
// treasure boxes (state 2), its layout read and the box pictures made. The
// sheets' hand history goes to a program folder of its own.
class ItemFixture : public ::testing::Test {
 protected:
  explicit ItemFixture(float scale = 1.0f) : plugin(InstallInProcessPlugin(client)) {
    LayOutTable(client, scale);
    client.sound.program_folder = program_folder.path().string();
    PropState& prop = client.prop;
    prop.Prop_GameDllState = 2;
    prop.PropItemsReady = true;
    plugin.size_mode = scale == 1.0f ? 1 : 2;
    plugin.GetBaoInfo(prop.Box);
    prop.BoxPicture = DecodePicture(prop.Box.BoxPicture);
    prop.OpenBoxPicture = DecodePicture(prop.Box.OpenBoxPicture);
    LoadBoxPictures(client, 15);
  }
  void RunFor(double seconds) { client.loop.RunFor(seconds); }
  int Count(const std::string& call) const {
    return static_cast<int>(std::count(plugin.calls.begin(), plugin.calls.end(), call));
  }

  TempDir program_folder;
  Client client{std::make_unique<ManualClock>()};
  TestPropPlugin& plugin;
};

}  // namespace slvn::test
