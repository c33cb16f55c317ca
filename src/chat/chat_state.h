#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace slvn {

struct Client;

// The chat history list and the two-line system message strip, held as
// plain lines until the window's controls show them.
struct ChatState {
  // The message strip: 0 upper, 1 lower line. Write it only through
  // PutSysmsgLine or SetSysmsgLine, which show what they wrote.
  std::array<std::string, 2> Sysmsg;
  std::vector<std::string> Text1;  // the chat history list
  int Text1TopIndex = 0;           // first line of the history the list shows
  // The quick-phrase buttons' hover pictures were tried once this run.
  bool imgword1Hovered = false;
  bool imgword2Hovered = false;
};

// Puts a line into the message strip and shows the strip: the first line
// fills the upper row, the next the lower one; after that each new line
// enters below and the lower line moves up.
void PutSysmsgLine(Client& client, std::string_view text);
// Clears one line of the strip (0 upper, 1 lower), writes the text into it
// and shows the strip.
void SetSysmsgLine(Client& client, int line, std::string_view text);

}  // namespace slvn
