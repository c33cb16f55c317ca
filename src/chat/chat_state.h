#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace slvn {

struct Client;

// The chat history list and the two-line system message strip, held as
// plain lines until the window's controls show them.
struct ChatState {
  // The message strip: 0 upper, 1 lower line; an emptied line holds none,
  // while an empty text is a line like any other. Write it only through
  // PutSysmsgLine, SetSysmsgLine or ClearSysmsgLine, which show it.
  std::array<std::optional<std::string>, 2> Sysmsg;
  std::vector<std::string> Text1;  // the chat history list
  int Text1TopIndex = 0;           // first line of the history the list shows
  // The quick-phrase buttons' hover pictures were tried once this run.
  bool imgword1Hovered = false;
  bool imgword2Hovered = false;
};

// Puts a line into the message strip and shows the strip: while the lower
// row holds no line, the text fills the upper row, or the lower one when the
// upper holds a line; after that each new line enters below and the lower
// line moves up. An empty text is a line too.
void PutSysmsgLine(Client& client, std::string_view text);
// Clears one line of the strip (0 upper, 1 lower), writes the text into it
// and shows the strip.
void SetSysmsgLine(Client& client, int line, std::string_view text);
// Empties one line of the strip: it holds no line until the next write.
void ClearSysmsgLine(Client& client, int line);

}  // namespace slvn
