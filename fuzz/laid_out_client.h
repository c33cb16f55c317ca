#pragma once

#include <filesystem>
#include <memory>

#include "platform/clock.h"
#include "shell/client.h"
#include "ui/layout_table.h"
#include "ui/main_form.h"

// The table a fuzzer drives for its whole run: laid out once, at full scale
// or at the small one, on the manual clock, so that the handlers' pauses
// cost no real time. A fuzzer whose inputs end hands names a folder of its
// own under the temporary directory for the hand history, so it stays out
// of the build folder.
inline slvn::Client& LaidOutClient(const char* history_folder = nullptr, bool small = false) {
  static std::unique_ptr<slvn::Client> clients[2];
  std::unique_ptr<slvn::Client>& client = clients[small ? 1 : 0];
  if (!client) {
    client = std::make_unique<slvn::Client>(std::make_unique<slvn::ManualClock>());
    client->data.ScaleX = client->data.ScaleY = small ? 0.78125f : 1.0f;
    slvn::InitImageTables(*client);
    slvn::LoadMainFormDesign(*client);
    slvn::PlaceTableArea(*client, !small, !small);
    slvn::LayoutTable(*client);
    slvn::LayoutTableWidgets(*client);
    if (history_folder) {
      const auto folder = std::filesystem::temp_directory_path() / history_folder;
      std::filesystem::create_directories(folder);
      client->sound.program_folder = folder.string();
    }
  }
  return *client;
}
