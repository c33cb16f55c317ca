#include "shell/program_end.h"

#include "plugin/prop_bridge.h"
#include "shell/client.h"
#include "shell/startup.h"

namespace slvn {

void EndProgram(Client& client, int exit_code) {
  client.loop.Quit();
  throw ProgramEnded{exit_code};
}

void EndProgramInOrder(Client& client) {
  if (client.prop.Prop_GameDllState > 0) ShutdownPropPlugin(client, 1);
  client.Winsock1.Close();
  Form_Unload(client);
  EndProgram(client);  // Form_Unload ends it already; this keeps the promise visible
}

}  // namespace slvn
