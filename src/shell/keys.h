#pragma once

namespace slvn {

struct Client;

// Key codes of the shortcuts (the window system's virtual keys).
enum KeyCode : int { kKeyF1 = 112, kKeyF6 = 117, kKeyEsc = 27, kKeyAlt = 18, kKeyC = 67 };

// The boss key F1, F1-F6 to the item plug-in, Esc for the exit dialog, Alt
// then C for the chat history, by the control that has the focus.
void Form_KeyDown(Client& client, int key_code, int shift);
void Chat_KeyDown(Client& client, int key_code, int shift);
void Pic1_KeyDown(Client& client, int key_code, int shift);
void Pic2_KeyDown(Client& client, int key_code, int shift);
void Sysmsg_KeyDown(Client& client, int index, int key_code, int shift);
// The caption strip drags the window.
void LbMove_MouseDown(Client& client, int button, int shift, double x, double y);
// A click on the table closes the floating windows.
void Pic1_Click(Client& client);
void Pic2_Click(Client& client);

// Wires the main window's key and click handlers.
void ConnectKeys(Client& client);

}  // namespace slvn
