#pragma once

#include <string>

namespace slvn {

struct Client;

// The program's start: sizes the window to the screen, starts the sound,
// lays out the table, reads the launch line and the video setting, builds
// the login packet, connects, and hooks the lobby's messages. May end the
// program (a second copy, no or a bad launch line, no lobby window).
void Form_Load(Client& client, const std::string& launch_line);
// Shown or restored: to the front, the turn time back to 8 s, the lobby minimised.
void Form_Resize(Client& client);
// The end: sound, video and the plug-in are shut down and every form unloaded.
void Form_Unload(Client& client);

// The folder the client's files lie in (vidiosetting.ini, chat.ini, info.cv).
std::string ProgramFolderOf(Client& client);

}  // namespace slvn
