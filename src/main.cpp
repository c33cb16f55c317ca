#include <string>

#include "shell/client.h"
#include "shell/launch_line.h"
#include "shell/program_end.h"
#include "shell/startup.h"

int main(int argc, char** argv) {
  slvn::Client client;
  try {
    client.forms.OpenWindows();
    slvn::Form_Load(client, slvn::JoinLaunchArguments(argc, argv));
    client.loop.Run();
  } catch (const slvn::ProgramEnded& ended) {
    return ended.exit_code;
  }
  return 0;
}
