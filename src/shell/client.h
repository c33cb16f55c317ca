#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/event_loop.h"
#include "shell/ini/ini_file.h"
#include "shell/resources/image_resource.h"
#include "shell/sound/sound.h"
#include "state/data.h"

namespace slvn {

// One running client: the shared game state, every subsystem's own state and
// the platform services they use. Production makes one; each test makes a
// fresh one, so no state survives between them.
struct Client {
  // A null clock means the real monotonic clock.
  explicit Client(std::unique_ptr<Clock> clock = nullptr);
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  std::unique_ptr<Clock> clock;
  EventLoop loop;
  Data data;
  classIniFile IniFile;

  // Names of the procedures called that are not built yet, in call order.
  std::vector<std::string> not_yet_built;

  // Picture tables and the pictures decoded from the built-in resources.
  ImageResources images;
  // Sound files, switches and the one sound buffer.
  SoundState sound;
};

}  // namespace slvn
