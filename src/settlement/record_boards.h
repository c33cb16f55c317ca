#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/forms.h"

namespace slvn {

struct Client;

// The score board "战绩板": one hand's sheet. State(0..3) are the seat
// columns by display seat, State(4..7) the final rows below them; ID and Tou
// the names and avatars above the columns.
class ScoreForm : public Form {
 public:
  explicit ScoreForm(Forms& forms);

  ImageControl Background{this};
  ControlArray<ListBox> State{this};
  ControlArray<ImageControl> Tou{this};
  ControlArray<Label> ID{this};
  ControlArray<ImageControl> Image1{this};  // the two close buttons

  // Set while the other lists follow the one the player clicked or scrolled.
  bool FollowingList = false;
};

// The hand list "英雄榜": one line per finished hand of the table with each
// seat's final amount, the seats' names and avatars and their totals.
class HeroForm : public Form {
 public:
  explicit HeroForm(Forms& forms);

  ImageControl Background{this};
  ListBox Num{this};
  ControlArray<ListBox> Grade{this};
  ControlArray<ImageControl> Tou{this};
  ControlArray<Label> ID{this};
  Label Label1{this};
  Label Label2{this};
  ControlArray<Label> sumScore{this};
  ControlArray<ImageControl> Image1{this};  // the two close buttons

  // The hand number of each Num line: a hand that ended without a sheet
  // has no line, so line k is not always hand k + 1.
  std::vector<int16_t> HandNumbers;
};

// The boards, made and loaded (hidden) on first use; the handlers are wired
// to the client.
ScoreForm& LoadScoreForm(Client& client);
HeroForm& LoadHeroForm(Client& client);

// A board centred over the table area Pic1 of the main window (twips).
void CentreOverTable(Client& client, Form& form);

// The handlers of Score.
void Score_Form_Load(Client& client);
void Score_Form_MouseDown(Client& client);
void Score_Image1_Click(Client& client, int index);
// Clicking or scrolling a list moves the seat columns to its line.
void State_Click(Client& client, int index);
void State_Scroll(Client& client, int index);

// The handlers of Hero.
void Hero_Form_Load(Client& client);
void Hero_Form_MouseDown(Client& client);
void Hero_Image1_Click(Client& client, int index);
// The hand of the selected line loaded into Score, which is shown on top.
void Grade_Click(Client& client, int index);
void Num_Click(Client& client);
void Num_DblClick(Client& client);

// Score's name label of display seat `seat` takes a colour (&HBBGGRR).
void SetScoreNameColor(Client& client, int seat, uint32_t color);
// Both boards emptied (lists, names, avatars, hand numbers) and hidden.
void ClearRecordBoards(Client& client);
// Both boards hidden, as a click on the table and the boss key do.
void HideRecordBoards(Client& client);
// The button bar's records (5) and history (6) buttons: the board hidden
// when shown; else the hand last recorded loaded (records) and the board
// centred over the table and shown.
void ToggleRecordBoard(Client& client, int button);
// Hero's name and avatar of display seat `seat`; an avatar outside 0-19
// leaves the picture as it is.
void SetHeroSeat(Client& client, int seat, const std::string& name, int avatar);
// Hero centred over the main window and shown in front.
void ShowHeroBoard(Client& client);
// Score centred over the table and shown in front, unless the main window
// is minimised.
void ShowScoreBoard(Client& client);

// One Hero line for a finished hand: its number in Num (kept in HandNumbers).
void AddHeroHandLine(Client& client, int16_t hand);
// A Score avatar from the avatar number as text ("0".."19"); anything else
// leaves the picture as it is.
void SetBoardAvatar(Client& client, ImageControl& target, const std::string& number);

}  // namespace slvn
