#pragma once

namespace slvn {

struct Client;

// Ends the program at once, wherever it is, the way the game's "end"
// statement does: thrown through every handler to main, which returns the
// code. Tests catch it to see that the program would have ended.
struct ProgramEnded {
  int exit_code = 0;
};

[[noreturn]] void EndProgram(Client& client, int exit_code = 0);

// The end in order, where the table tells the client to go: the item plug-in
// shut down, the socket closed, then the window unloaded (Form_Unload), which
// ends the program.
[[noreturn]] void EndProgramInOrder(Client& client);

}  // namespace slvn
