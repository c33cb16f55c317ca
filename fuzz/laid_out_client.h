#pragma once

#include <filesystem>
#include <memory>

#include "platform/clock.h"
#include "shell/client.h"
#include "ui/layout_table.h"
#include "ui/main_form.h"

// The table a fuzzer drives for its whole run: laid out once at full scale
// on the manual clock. A fuzzer whose inputs end hands names a folder of its
// own under the temporary directory for the hand history, so it stays out
// of the build folder.
inline slvn::Client& LaidOutClient(const char* history_folder = nullptr) {
  static slvn::Client client{std::make_unique<slvn::ManualClock>()};
  static bool laid_out = false;
  if (!laid_out) {
    client.data.ScaleX = client.data.ScaleY = 1.0f;
    slvn::InitImageTables(client);
    slvn::LoadMainFormDesign(client);
    slvn::PlaceTableArea(client, true, true);
    slvn::LayoutTable(client);
    slvn::LayoutTableWidgets(client);
    if (history_folder) {
      const auto folder = std::filesystem::temp_directory_path() / history_folder;
      std::filesystem::create_directories(folder);
      client.sound.program_folder = folder.string();
    }
    laid_out = true;
  }
  return client;
}
