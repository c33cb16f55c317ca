#pragma once

#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/forms.h"

namespace slvn {

struct Client;

// The quick-phrase window: two lists of ready-made phrases from chat.ini,
// one shown at a time. Made (and the lists read) on first use.
class HuifuForm : public Form {
 public:
  explicit HuifuForm(Forms& forms);

  ImageControl Background{this};
  ListBox List1{this};
  ListBox List2{this};
};

// The phrases of one list of a chat.ini text: "num" of the section, then
// keys 1..num; a missing key is an empty phrase.
class IniSnapshot;
std::vector<std::string> ReadPhraseList(const IniSnapshot& ini, const char* section);
// The count as the file gives it: leading digits (a sign allowed), no
// digits 0, held to the 16-bit range.
int PhraseCount(const std::string& value);

void ConnectHuifu(Client& client);
// Loading: both lists from chat.ini beside the program, read once.
void Huifu_Load(Client& client);
// Opens the window with the button's list, switches lists, or closes it.
void imgword1_Click(Client& client);
void imgword2_Click(Client& client);
// The first pointer move over a button tries its hover picture (the
// program has none, so the button keeps its own).
void imgword1_MouseMove(Client& client, ImageControl& button);
void imgword2_MouseMove(Client& client, ImageControl& button);
// A double-click sends the selected phrase; list 2 also speaks it.
void List1_DblClick(Client& client);
void List2_DblClick(Client& client);
// Phrase `number` (1-based) of list `list` (1 or 2) from the own lists,
// making the window hidden first; "" when there is none.
std::string QuickPhrase(Client& client, int list, int number);

}  // namespace slvn
