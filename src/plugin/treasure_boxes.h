#pragma once

#include <cstdint>

namespace slvn {

struct Client;
struct PropState;

// Whether display seat `seat` takes part in the treasure-box stage: item
// coins above 0, or a name line or tally lines. The one test for the stage
// and its countdown.
bool TakesPart(const PropState& prop, int seat);
// A box of a group of five, 0 to 4, the ends half as likely: a random number
// in [0, 1) times 4, to the nearest whole number.
int RandomInGroup(PropState& prop);
// To show the sheet: the drawn hand's result panel, else the score sheet.
void ShowHandEnd(Client& client);

// Starts the stage: the boxes, the picks of the other seats, the prompt and
// its countdown; with nobody taking part the sheet comes at once.
void PlayTreasureBoxes(Client& client);
// Box 0-14 opens the local player's pick; -1 the other seats' picks. Once a
// stage, and only while one runs.
void OpenTreasureBoxes(Client& client, int box);
// Opening: the box slides to the centre and disappears; else the opened box
// appears at the centre and slides to the seat. False when the stage ended
// meanwhile.
bool AnimateBoxOpen(Client& client, int box, bool opening, int seat);
// Moves box picture `box` in five steps of 37 ms, pumping events. False when
// the stage `stage` ended or the picture went meanwhile.
bool SlideControl(Client& client, double x0, double y0, double x1, double y1, int box,
                  uint32_t stage);
// Waits ms milliseconds, letting events run.
void WaitMs(Client& client, int ms);
void ImgProp_Click(Client& client, int index);
// One settlement step of the opening (a TimerProp tick).
void BoxOpeningStep(Client& client);
// A new hand or a shutdown ends the stage: timer off, flags off, label
// hidden. A shutdown owes the hand's sheet to the poll.
void EndTreasureBoxStage(Client& client, bool shutdown);

}  // namespace slvn
