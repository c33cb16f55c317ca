#include "shell/program_end.h"

#include "shell/client.h"

namespace slvn {

void EndProgram(Client& client, int exit_code) {
  client.loop.Quit();
  throw ProgramEnded{exit_code};
}

}  // namespace slvn
