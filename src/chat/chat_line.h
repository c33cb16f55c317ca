#pragma once

#include <string>

namespace slvn {

struct Client;

// The chat line: Enter sends (at most one line per 800 ms; a spectator
// never), a click on another player's avatar makes the line private, a
// Backspace into the private prefix drops the whole prefix.
void Chat_KeyPress(Client& client, int& key_ascii);
void Chat_Change(Client& client);
void Tou_Click(Client& client, int seat);
void TimerChat_Timer(Client& client);
// The bar's send button: nothing for a spectator; every click sends, with no
// gate.
void SendChatButtonLine(Client& client);

// A private line's words: the own name, the prefix without its first
// character, then `text`. A public line: the own name, "说道: ", `text`.
std::string PrivateLine(const Client& client, const std::string& text);
std::string PublicLine(const Client& client, const std::string& text);
// `text` with the first occurrence of `prefix` cut out; false when there is
// none (or the prefix is empty).
bool CutPrefix(std::string& text, const std::string& prefix);

// Wires the chat line, the avatars and the gate timer.
void ConnectChatLine(Client& client);

}  // namespace slvn
