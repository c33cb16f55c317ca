#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace slvn {

struct Client;

// The main window's item controls while the plug-in loads: the warehouse
// button shown in front, key preview on, the tally's seat names cleared.
void PrepareItemControls(Client& client);
// The box pictures ImgProp(1..count-1) made; every one hidden and disabled.
void LoadBoxPictures(Client& client, int count);
// At shutdown: the box pictures removed, ImgProp(0) hidden and disabled, the
// item label emptied and hidden.
void UnloadItemControls(Client& client);
// The caption of the item label LbProp.
void SetItemLabel(Client& client, const std::string& caption);

// The plug-in's requests. A text line for the chat history (whole, wrapped)
// and the message strip (its first 45 characters).
void AddItemMessage(Client& client, const std::string& text);
// The item label placed by layout (width, height, left, top: table units)
// and styled by params (timer interval in ms, ticks to show, font size,
// colour &HBBGGRR, alignment); a time limit only with all five params.
void ShowItemEffect(Client& client, const std::string& text, const std::vector<int32_t>& layout,
                    const std::vector<int32_t>& params);
// Once per hand, before the deal: the box pictures and the label hidden and
// the hand's item results forgotten.
void ClearItemBar(Client& client);

// Ticks of the label's time limit, or the treasure-box opening's steps.
void TimerProp_Timer(Client& client);
void Bank_Click(Client& client);
void Bank_MouseMove(Client& client);

// Connects the item controls' events to their handlers.
void WireItemControls(Client& client);

}  // namespace slvn
