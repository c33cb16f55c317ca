#pragma once

#include <array>
#include <string>

#include "platform/controls.h"
#include "platform/forms.h"

namespace slvn {

struct Client;

// The settings dialog: background music, system sounds, function sounds,
// dialect and video, each a title and a switch; OK and cancel. It counts in
// pixels.
class VosSetForm : public Form {
 public:
  explicit VosSetForm(Forms& forms);

  ImageControl Background{this};
  ControlArray<ImageControl> Image1{this};    // the five titles
  ControlArray<ImageControl> Command2{this};  // the five switches
  ControlArray<ImageControl> Command1{this};  // 0 OK, 1 cancel

  // -1 while switch i was clicked an odd number of times since the dialog
  // was last closed.
  std::array<int16_t, 5> OptionChanged{};
  // The dialect switch: on while the male players speak Mandarin ("30"),
  // from the load on when the own details name no local dialect.
  bool DialectOn = false;
};

void ConnectSettingsDialog(Client& client);
void VosSet_Load(Client& client);
void Command2_Click(Client& client, int index);
void Command1_Click(Client& client, int index);

// Whether `folder` lists a file named exactly `file_name` (letter case counts).
bool Is_File_Exist(const std::string& folder, const std::string& file_name);

}  // namespace slvn
