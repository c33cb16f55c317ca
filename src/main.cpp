#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/end_signals.h"
#include "platform/renderer.h"
#include "platform/timer.h"
#include "platform/window_system.h"
#include "shell/client.h"
#include "shell/launch_line.h"
#include "shell/program_end.h"
#include "shell/startup.h"

namespace {

// For the demo and for people checking a headless run: SLVN_SCREENSHOT=FILE
// saves the main window, with the boards shown over it, as a PNG after SLVN_SCREENSHOT_AFTER
// seconds (3).
std::unique_ptr<slvn::Timer> ArmScreenshot(slvn::Client& client) {
  const char* path = std::getenv("SLVN_SCREENSHOT");
  if (!path || !*path) return nullptr;
  const char* after = std::getenv("SLVN_SCREENSHOT_AFTER");
  const double seconds = after ? std::atof(after) : 3.0;
  auto timer = std::make_unique<slvn::Timer>(client.loop);
  slvn::Timer* t = timer.get();
  timer->SetHandler([&client, t, file = std::string(path)] {
    t->SetEnabled(false);
    slvn::WindowSystem* windows = client.forms.Windows();
    if (!windows) return;
    windows->Present();
    if (slvn::SaveScreenPng(client.forms, client.main_form, file))
      std::printf("slvn: screenshot saved to %s\n", file.c_str());
    std::fflush(stdout);
  });
  timer->SetInterval(static_cast<int>(seconds * 1000));
  timer->SetEnabled(true);
  return timer;
}

}  // namespace

int main(int argc, char** argv) {
  // Before any thread starts, so that every thread leaves them to the loop.
  slvn::BlockEndSignals();
  slvn::Client client;
  try {
    // A logout, kill or Ctrl+C ends the program in order: plug-in shut
    // down, socket closed, windows unloaded.
    slvn::EndSignals end_signals(client.loop, [&client](int) { slvn::EndProgramInOrder(client); });
    client.forms.OpenWindows();
    slvn::Form_Load(client, slvn::JoinLaunchArguments(argc, argv));
    auto screenshot = ArmScreenshot(client);
    client.loop.Run();
  } catch (const slvn::ProgramEnded& ended) {
    return ended.exit_code;
  }
  return 0;
}
