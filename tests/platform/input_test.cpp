#include "platform/input.h"

#include <gtest/gtest.h>

#include "platform/forms.h"
#include "shell/client.h"
#include "support/headless.h"

namespace slvn {
namespace {

// A form in twips with a windowless image and, partly over it, a picture box
// in pixels holding an array of images.
class InputTest : public ::testing::Test {
 protected:
  InputTest() {
    form.Move(0, 0, 200 * 15, 100 * 15);
    back.Move(0, 0, 100 * 15, 100 * 15);
    pic1.Move(50 * 15, 0, 100 * 15, 100 * 15);
    pic1.SetScaleMode(ScaleMode::kPixels);
    tiles[0].Move(10, 10, 20, 30);
    tiles.Load(1);
    tiles[1].Move(40, 10, 20, 30);
    tiles[1].SetVisible(true);
    back.MouseDown = [this](int b, int, double x, double y) { Log("back down", b, x, y); };
    back.MouseUp = [this](int b, int, double x, double y) { Log("back up", b, x, y); };
    back.Click = [this] { log.push_back("back click"); };
    pic1.MouseDown = [this](int b, int, double x, double y) { Log("pic1 down", b, x, y); };
    tiles.MouseDown = [this](int i, int b, int, double x, double y) {
      Log("tile" + std::to_string(i) + " down", b, x, y);
    };
    tiles.MouseUp = [this](int i, int b, int, double x, double y) {
      Log("tile" + std::to_string(i) + " up", b, x, y);
    };
    tiles.Click = [this](int i) { log.push_back("tile" + std::to_string(i) + " click"); };
    tiles.DblClick = [this](int i) { log.push_back("tile" + std::to_string(i) + " dblclick"); };
  }
  void Log(const std::string& what, int button, double x, double y) {
    log.push_back(what + " " + std::to_string(button) + " " + std::to_string(int(x)) + "," +
                  std::to_string(int(y)));
  }
  std::vector<std::string> Take() { return std::exchange(log, {}); }

  Client client{std::make_unique<ManualClock>()};
  Form form{client.forms};
  ImageControl back{&form};
  PictureBox pic1{&form};
  ControlArray<ImageControl> tiles{&pic1};
  std::vector<std::string> log;
};

TEST_F(InputTest, MouseReachesTheTopmostControlUnderThePointer) {
  struct Case {
    int px, py;
    std::string want;
  } cases[] = {
      {10, 20, "back down 1 150,300"},  // the image, in the form's twips
      {55, 5, "pic1 down 1 5,5"},       // windowed box over the windowless image
      {61, 12, "tile0 down 1 1,2"},
      {92, 15, "tile1 down 1 2,5"},  // in pic1's pixels, relative to the tile
      {95, 45, "pic1 down 1 45,45"},
  };
  for (const auto& c : cases) {
    DeliverMouse(form, MouseAction::kDown, kLeftButton, 0, c.px, c.py);
    DeliverMouse(form, MouseAction::kUp, kLeftButton, 0, c.px, c.py);
    EXPECT_EQ(Take().at(0), c.want) << c.px << "," << c.py;
  }
  tiles[0].SetVisible(false);
  tiles[1].SetEnabled(false);
  DeliverMouse(form, MouseAction::kDown, kLeftButton, 0, 61, 12);
  DeliverMouse(form, MouseAction::kDown, kLeftButton, 0, 92, 15);
  EXPECT_EQ(Take(), (std::vector<std::string>{"pic1 down 1 11,12", "pic1 down 1 42,15"}));
}

TEST_F(InputTest, ThePressedControlGetsTheReleaseAndAClickOnlyOverItself) {
  DeliverMouse(form, MouseAction::kDown, kLeftButton, 0, 92, 15);
  DeliverMouse(form, MouseAction::kUp, kLeftButton, 0, 93, 16);
  DeliverMouse(form, MouseAction::kDown, kLeftButton, 0, 92, 15, 2);
  DeliverMouse(form, MouseAction::kUp, kLeftButton, 0, 5, 5, 2);
  DeliverMouse(form, MouseAction::kDown, kLeftButton, 0, 92, 15);
  DeliverMouse(form, MouseAction::kUp, kLeftButton, 0, 5, 5);  // released elsewhere
  EXPECT_EQ(Take(),
            (std::vector<std::string>{"tile1 down 1 2,5", "tile1 up 1 3,6", "tile1 click",
                                      "tile1 down 1 2,5", "tile1 dblclick", "tile1 up 1 -85,-5",
                                      "tile1 down 1 2,5", "tile1 up 1 -85,-5"}));
  // The pressed element is unloaded before the release: the release goes to
  // whatever is under the pointer.
  DeliverMouse(form, MouseAction::kDown, kRightButton, 0, 92, 15);
  tiles.Unload(1);
  DeliverMouse(form, MouseAction::kUp, kLeftButton, 0, 5, 5);
  EXPECT_EQ(Take(),
            (std::vector<std::string>{"tile1 down 2 2,5", "back up 1 75,75", "back click"}));
}

TEST_F(InputTest, KeysReachTheFormFirstWithKeyPreview) {
  TextBox chat(&form);
  form.SetFocus(&chat);
  std::vector<std::string> keys;
  form.KeyDown = [&](int code, int shift) {
    keys.push_back("form " + std::to_string(code) + "/" + std::to_string(shift));
  };
  chat.KeyDown = [&](int code, int) { keys.push_back("chat " + std::to_string(code)); };
  form.KeyPress = [&](int& ascii) {
    if (ascii == 'x') ascii = 0;  // swallowed
    if (ascii == 'a') ascii = 'b';
  };
  DeliverKeyDown(form, 112, kCtrlMask);
  EXPECT_EQ(keys, std::vector<std::string>{"chat 112"});
  form.SetKeyPreview(true);
  DeliverKeyDown(form, 113, 0);
  EXPECT_EQ(keys, (std::vector<std::string>{"chat 112", "form 113/0", "chat 113"}));
  for (const char* typed : {"a", "x", "你"}) DeliverText(form, typed);
  EXPECT_EQ(chat.Text(), "b你");
  DeliverKeyDown(form, 8, 0);
  EXPECT_EQ(chat.Text(), "b");
  form.SetFocus(nullptr);
  DeliverText(form, "c");  // no focused text box: nothing typed, nothing breaks
  EXPECT_EQ(chat.Text(), "b");
}

// The events of editing keys come in the order the chat line's handlers
// rely on: KeyDown, then KeyPress where the key has a character (Ctrl+V's
// is 22, and swallowing it cancels the paste), then Change.
TEST_F(InputTest, EditingKeysRaiseTheirEventsBeforeTheChange) {
  TextBox chat(&form);
  form.SetFocus(&chat);
  chat.SetText("a你b");
  chat.SetSelStart(1);
  chat.KeyDown = [&](int code, int shift) {
    log.push_back("down " + std::to_string(code) + "/" + std::to_string(shift));
  };
  bool swallow = false;
  chat.KeyPress = [&](int& ascii) {
    log.push_back("press " + std::to_string(ascii));
    if (swallow) ascii = 0;
  };
  chat.Change = [&] { log.push_back("change " + chat.Text()); };
  DeliverKeyDown(form, 46, 0);  // Delete
  DeliverKeyDown(form, 86, kCtrlMask);
  DeliverPaste(form, "x\r\ny");
  swallow = true;
  DeliverPaste(form, "z");
  DeliverComposition(form, "hao", 3);
  EXPECT_EQ(Take(), (std::vector<std::string>{"down 46/0", "change ab", "down 86/2", "press 22",
                                              "change ax yb", "press 22"}));
  EXPECT_EQ(chat.SelStart(), 4);
  EXPECT_EQ(chat.Composition(), "hao");
  form.SetFocus(nullptr);
  DeliverPaste(form, "z");  // no box has the focus: nothing pasted, nothing breaks
  DeliverComposition(form, "z", 1);
  EXPECT_EQ(chat.Text(), "ax yb");
}

// A press gives the focus to the control that can hold it, or to the box
// holding a windowless one, before the control's own handler runs; labels
// and the form's bare surface leave it where it was.
TEST_F(InputTest, APressMovesTheFocusBeforeTheHandlerRuns) {
  TextBox chat(&form);
  chat.Move(160 * 15, 0, 40 * 15, 20 * 15);
  Label caption(&form);
  caption.Move(160 * 15, 50 * 15, 40 * 15, 20 * 15);
  for (Control* c : std::initializer_list<Control*>{&chat, &pic1}) {
    Control* self = c;
    c->GotFocus = [this, self] { log.push_back(self == &pic1 ? "pic1 got" : "chat got"); };
    c->LostFocus = [this, self] { log.push_back(self == &pic1 ? "pic1 lost" : "chat lost"); };
  }
  chat.MouseDown = [&](int, int, double, double) {
    log.push_back(form.Focus() == &chat ? "chat down, focused" : "chat down");
  };
  DeliverMouse(form, MouseAction::kDown, kLeftButton, 0, 170, 5);
  EXPECT_EQ(Take(), (std::vector<std::string>{"chat got", "chat down, focused"}));
  DeliverMouse(form, MouseAction::kUp, kLeftButton, 0, 170, 5);
  DeliverMouse(form, MouseAction::kDown, kRightButton, 0, 61, 12);  // a tile on the table
  EXPECT_EQ(form.Focus(), &pic1);
  EXPECT_EQ(Take(), (std::vector<std::string>{"chat lost", "pic1 got", "tile0 down 2 1,2"}));
  DeliverMouse(form, MouseAction::kUp, kRightButton, 0, 61, 12);
  Take();
  for (auto [px, py] : {std::pair{170, 55}, {10, 20}, {199, 99}}) {  // label, image, bare form
    DeliverMouse(form, MouseAction::kDown, kLeftButton, 0, px, py);
    DeliverMouse(form, MouseAction::kUp, kLeftButton, 0, px, py);
    EXPECT_EQ(form.Focus(), &pic1) << px << "," << py;
  }
  form.SetFocus(&pic1);  // no change, no events
  EXPECT_EQ(Take(),
            (std::vector<std::string>{"back down 1 150,300", "back up 1 150,300", "back click"}));
}
}  // namespace
}  // namespace slvn
