#pragma once

namespace slvn {

struct Client;

// The nine buttons of the bar: 0 send, 1 chat history, 2 start/continue,
// 3 settings, 4 hide, 5 records, 6 history, 7 rules, 8 exit. An index
// outside 0..8 does nothing.
void AnNiu_Click(Client& client, int index);
// The pointer over a button shows its hover picture, loaded once a visit.
void AnNiu_MouseMove(Client& client, int index);
// The ButtonPics entries of a button's normal picture after a hover (the
// start button comes back as "continue") and of its hover picture.
int AnNiuNormalEntry(int index);
int AnNiuHoverEntry(int index);

void ConnectButtonBar(Client& client);

}  // namespace slvn
