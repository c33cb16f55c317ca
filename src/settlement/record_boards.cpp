#include "settlement/record_boards.h"

#include <charconv>

#include "settlement/hand_record.h"
#include "shell/client.h"
#include "shell/general.h"
#include "shell/resources/embedded.h"
#include "shell/resources/image_resource.h"

namespace slvn {

namespace {

constexpr int kTranslucent = 200;
constexpr uint32_t kListOrange = 0x80C0FF;  // red 255, green 192, blue 128
constexpr int kSeatColumns = 4;
constexpr int kLists = 8;
constexpr int kAvatarCount = 20;

void StyleList(ListBox& list, double points) {
  list.SetBackColor(kListOrange);
  list.SetFontName("宋体");
  list.SetFontBold(true);
  list.SetFontSize(points);
}

void StyleLabel(Label& label, double points) {
  label.SetFontName("宋体");
  label.SetFontSize(points);
  label.SetBackStyle(kBackTransparent);
}

// Element i of an array, made (and shown) when the array has only element 0.
template <typename T>
T& Element(ControlArray<T>& array, int i) {
  if (!array.Exists(i)) {
    array.Load(i);
    array[i].SetVisible(true);
  }
  return array[i];
}

void SetUpBoard(Form& form, ImageControl& background, const char* caption, const char* art,
                double width, double height) {
  form.SetCaption(caption);
  form.Move(0, 0, width, height);
  background.SetStretch(true);
  background.Move(0, 0, width, height);
  background.SetPicture(DecodePicture(NamedAssetBytes(art)));
}

void SetUpCloseButtons(ControlArray<ImageControl>& buttons, const double (&left)[2], double top,
                       double width, double height) {
  for (int i = 0; i < 2; ++i) {
    ImageControl& button = Element(buttons, i);
    button.SetStretch(true);
    button.Move(left[i], top, width, height);
    button.SetMousePointer(kPointerCustom);
  }
}

// Keeps the seat columns on the same line: the lists before `index`, then
// those after it up to the last seat column.
void KeepListsInStep(ScoreForm& score, int index) {
  if (!score.State.Exists(index)) return;
  const ListBox& from = score.State[index];
  auto follow = [&](int i) {
    if (!score.State.Exists(i)) return;
    score.State[i].SetListIndex(from.ListIndex());
    score.State[i].SetTopIndex(from.TopIndex());
  };
  for (int i = 0; i < index; ++i) follow(i);
  for (int i = index + 1; i <= score.State.Count() - 5; ++i) follow(i);
}

// Score centred over the table and shown in front.
void ShowScoreCentred(Client& client) {
  ScoreForm& score = LoadScoreForm(client);
  CentreOverTable(client, score);
  score.Show();
  score.ZOrder(0);
}

// The hand of Num's line `line`, 0 when the line holds none.
int16_t HandOfLine(const HeroForm& hero, int line) {
  if (line < 0 || line >= static_cast<int>(hero.HandNumbers.size())) return 0;
  return hero.HandNumbers[static_cast<size_t>(line)];
}

void OpenHandOfLine(Client& client, int line) {
  LoadHandRecord(client, HandOfLine(LoadHeroForm(client), line));
  LoadScoreForm(client).SetTopmost(true);
  ShowScoreCentred(client);
}

}  // namespace

ScoreForm::ScoreForm(Forms& forms) : Form(forms) {
  SetUpBoard(*this, Background, "战绩板", "score_board", 9585, 7200);
  const double left[] = {120, 2520, 4920, 7320};
  for (int i = 0; i < kLists; ++i) {
    ListBox& list = Element(State, i);
    StyleList(list, 9);
    if (i < kSeatColumns)
      list.Move(left[i], 1320, 2175, 4890);
    else
      list.Move(left[i - kSeatColumns], 6360, 2175, 750);
  }
  const double id_left[] = {840, 3240, 5640, 8040};
  for (int i = 0; i < kSeatColumns; ++i) {
    ImageControl& avatar = Element(Tou, i);
    avatar.SetStretch(true);
    avatar.Move(left[i], 480, 675, 615);
    Label& name = Element(ID, i);
    StyleLabel(name, 10.5);
    name.Move(id_left[i], 600, 570, 210);
    name.SetCaption("玩家" + std::to_string(i));
  }
  SetUpCloseButtons(Image1, {8880, 9240}, 120, 375, 375);
}

HeroForm::HeroForm(Forms& forms) : Form(forms) {
  SetUpBoard(*this, Background, "英雄榜", "hero_board", 9825, 6810);
  StyleList(Num, 10.5);
  Num.Move(120, 1080, 1815, 4650);
  const double left[] = {2040, 3960, 5880, 7920};
  const double width[] = {1815, 1815, 1935, 1815};
  const double id_left[] = {2640, 4560, 6480, 8520};
  const double sum_left[] = {2160, 4080, 6000, 8040};
  for (int i = 0; i < kSeatColumns; ++i) {
    ListBox& grade = Element(Grade, i);
    StyleList(grade, 10.5);
    grade.Move(left[i], 1080, width[i], 4650);
    ImageControl& avatar = Element(Tou, i);
    avatar.SetStretch(true);
    avatar.Move(left[i], 360, 615, 615);
    Label& name = Element(ID, i);
    StyleLabel(name, 10.5);
    name.Move(id_left[i], 480, 570, 210);
    name.SetCaption("玩家" + std::to_string(i));
    Label& total = Element(sumScore, i);
    StyleLabel(total, 12);
    total.Move(sum_left[i], 6120, 1695, 375);
  }
  StyleLabel(Label1, 10.5);
  Label1.Move(240, 480, 1350, 210);
  Label1.SetCaption("点击查看明细");
  StyleLabel(Label2, 12);
  Label2.Move(480, 6120, 1455, 375);
  Label2.SetCaption("输赢总分：");
  SetUpCloseButtons(Image1, {9000, 9360}, 120, 375, 255);
}

ScoreForm& LoadScoreForm(Client& client) {
  if (!client.Score) {
    client.Score = std::make_unique<ScoreForm>(client.forms);
    ScoreForm& f = *client.Score;
    f.OnLoad = [&client] { Score_Form_Load(client); };
    f.MouseDown = [&client](int, int, double, double) { Score_Form_MouseDown(client); };
    f.Background.MouseDown = f.MouseDown;
    f.Image1.Click = [&client](int i) { Score_Image1_Click(client, i); };
    f.State.Click = [&client](int i) { State_Click(client, i); };
    for (int i = 0; i < kLists; ++i) f.State[i].Scroll = [&client, i] { State_Scroll(client, i); };
  }
  client.Score->Load();
  return *client.Score;
}

HeroForm& LoadHeroForm(Client& client) {
  if (!client.Hero) {
    client.Hero = std::make_unique<HeroForm>(client.forms);
    HeroForm& f = *client.Hero;
    f.OnLoad = [&client] { Hero_Form_Load(client); };
    f.MouseDown = [&client](int, int, double, double) { Hero_Form_MouseDown(client); };
    f.Background.MouseDown = f.MouseDown;
    f.Image1.Click = [&client](int i) { Hero_Image1_Click(client, i); };
    f.Grade.Click = [&client](int i) { Grade_Click(client, i); };
    f.Num.Click = [&client] { Num_Click(client); };
    f.Num.DblClick = [&client] { Num_DblClick(client); };
  }
  client.Hero->Load();
  return *client.Hero;
}

void CentreOverTable(Client& client, Form& form) {
  const MainForm& main = client.main_form;
  const PictureBox& table = main.Pic1;
  form.SetTop(main.Top() + table.Top() + (table.Height() - form.Height()) / 2);
  form.SetLeft(main.Left() + table.Left() + (table.Width() - form.Width()) / 2);
}

void Score_Form_Load(Client& client) {
  client.Score->SetAlpha(kTranslucent);
  CentreOverTable(client, *client.Score);
}

void Score_Form_MouseDown(Client& client) {
  client.Score->SetMouseCapture(nullptr);
  client.Score->BeginSystemMove();
}

void Score_Image1_Click(Client& client, int) {
  LoadScoreForm(client).Hide();
}

void State_Click(Client& client, int index) {
  ScoreForm& score = LoadScoreForm(client);
  // Following a list sets the others' ListIndex, which raises their Click:
  // only the list the player used leads.
  if (score.FollowingList) return;
  score.FollowingList = true;
  KeepListsInStep(score, index);
  score.FollowingList = false;
}

void State_Scroll(Client& client, int index) {
  State_Click(client, index);
}

void Hero_Form_Load(Client& client) {
  HeroForm& hero = *client.Hero;
  hero.SetAlpha(kTranslucent);
  hero.SetWindowState(kNormal);
  CentreOverTable(client, hero);
  for (int i = 0; i < kSeatColumns; ++i)
    if (hero.Grade[i].ListCount() > 0) hero.Grade[i].SetTopIndex(hero.Grade[i].ListCount() - 1);
}

void Hero_Form_MouseDown(Client& client) {
  client.Hero->SetMouseCapture(nullptr);
  client.Hero->BeginSystemMove();
}

void Hero_Image1_Click(Client& client, int) {
  LoadHeroForm(client).Hide();
}

void Grade_Click(Client& client, int index) {
  HeroForm& hero = LoadHeroForm(client);
  if (!hero.Grade.Exists(index)) return;
  OpenHandOfLine(client, hero.Grade[index].ListIndex());
}

void Num_Click(Client& client) {
  ShowScoreCentred(client);
}

void Num_DblClick(Client& client) {
  OpenHandOfLine(client, LoadHeroForm(client).Num.ListIndex());
}

void SetScoreNameColor(Client& client, int seat, uint32_t color) {
  if (seat < 0 || seat >= kSeatColumns) return;
  LoadScoreForm(client).ID[seat].SetForeColor(color);
}

void ClearRecordBoards(Client& client) {
  if (client.Hero) {
    HeroForm& hero = *client.Hero;
    hero.Num.Clear();
    hero.HandNumbers.clear();
    for (int i = 0; i < kSeatColumns; ++i) {
      hero.Grade[i].Clear();
      hero.ID[i].SetCaption("");
      hero.Tou[i].SetPicture(nullptr);
    }
    hero.Hide();
  }
  if (client.Score) {
    ScoreForm& score = *client.Score;
    for (int i = 0; i < kLists; ++i) score.State[i].Clear();
    for (int i = 0; i < kSeatColumns; ++i) {
      score.ID[i].SetCaption("");
      score.Tou[i].SetPicture(nullptr);
    }
    score.Hide();
  }
}

void HideRecordBoards(Client& client) {
  if (client.Hero) client.Hero->Hide();
  if (client.Score) client.Score->Hide();
}

void ToggleRecordBoard(Client& client, int button) {
  if (button != 5 && button != 6) return;
  Form& board = button == 5 ? static_cast<Form&>(LoadScoreForm(client)) : LoadHeroForm(client);
  if (board.Visible()) {
    board.Hide();
    return;
  }
  // While a hand runs its sheet is not written yet: the one before it.
  const Data& d = client.data;
  if (button == 5)
    LoadHandRecord(client, static_cast<int16_t>(d.juNum - (d.HandRecordPending ? 1 : 0)));
  CentreOverTable(client, board);
  board.Show();
}

void SetHeroSeat(Client& client, int seat, const std::string& name, int avatar) {
  if (seat < 0 || seat >= kSeatColumns) return;
  HeroForm& hero = LoadHeroForm(client);
  hero.ID[seat].SetCaption(name);
  if (avatar >= 0 && avatar < kAvatarCount)
    LoadGifResource(client, client.images.AvatarPics[avatar], "GIF", hero.Tou[seat]);
}

void ShowHeroBoard(Client& client) {
  HeroForm& hero = LoadHeroForm(client);
  const MainForm& main = client.main_form;
  hero.SetLeft(main.Left() + (main.Width() - hero.Width()) / 2);
  hero.SetTop(main.Top() + (main.Height() - hero.Height()) / 2);
  hero.Show();
  hero.ZOrder(0);
}

void ShowScoreBoard(Client& client) {
  if (client.main_form.WindowState() == kMinimized) return;
  ShowScoreCentred(client);
}

void AddHeroHandLine(Client& client, int16_t hand) {
  HeroForm& hero = LoadHeroForm(client);
  hero.Num.AddItem(PadRight(std::to_string(hand), 12));
  hero.HandNumbers.push_back(hand);
}

void SetBoardAvatar(Client& client, ImageControl& target, const std::string& number) {
  const size_t begin = number.find_first_not_of(' ');
  const size_t end = number.find_last_not_of(' ');
  if (begin == std::string::npos) return;
  int avatar = -1;
  const char* first = number.data() + begin;
  const char* last = number.data() + end + 1;
  auto [ptr, error] = std::from_chars(first, last, avatar);
  if (error != std::errc() || ptr != last || avatar < 0 || avatar >= kAvatarCount) return;
  LoadGifResource(client, client.images.AvatarPics[avatar], "GIF", target);
}

}  // namespace slvn
