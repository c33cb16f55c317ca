// What the table shows, checked from the controls' rectangles and the
// pictures' real ink: the demo and the spectator's script play against the
// table server at both scales, and at every moment the loop presents or a
// watch timer ticks, no text is cut by its parent or the table's edge and no
// control covers another that the player must read. A screenshot of each
// stage lands in the test folder for a person to look at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <typeinfo>
#include <vector>

#include "chat/speak_box.h"
#include "platform/renderer.h"
#include "platform/text.h"
#include "settlement/record_boards.h"
#include "shell/client.h"
#include "shell/program_end.h"
#include "shell/resources/image_resource.h"
#include "shell/startup.h"
#include "support/drive.h"
#include "support/lobby_fixture.h"
#include "support/table_server.h"

namespace slvn {
namespace {

struct Rect {
  double left = 0, top = 0, right = 0, bottom = 0;
  Rect Intersect(const Rect& o) const {
    return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
            std::min(bottom, o.bottom)};
  }
  // How far this sticks out of `outer`, at most, in pixels.
  double Outside(const Rect& outer) const {
    return std::max(
        {outer.left - left, outer.top - top, right - outer.right, bottom - outer.bottom, 0.0});
  }
};

constexpr double kSlack = 1.0;  // rounding of fractional places to pixels

// The drawn pixels of a picture: its bounding box of non-transparent pixels.
Rect InkOf(const Image& image) {
  int l = image.width, t = image.height, r = -1, b = -1;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      if ((image.At(x, y) >> 24) != 0) {
        l = std::min(l, x), t = std::min(t, y), r = std::max(r, x), b = std::max(b, y);
      }
  if (r < 0) return {};
  return {double(l), double(t), r + 1.0, b + 1.0};
}

// One visible control: where it is drawn on the main window (pixels), where
// its ink lies, its place in the drawing order and whether a player reads it.
struct Shown {
  std::string name;
  const Control* control = nullptr;
  const Control* parent = nullptr;
  Rect box, ink;
  int order = 0;
  int layer = 0;  // 0 the main window, then each form over it
  bool readable = false;
  bool tile = false;
};

// What may lie over what: every control named in `front` over every one in
// `back`, names matching by prefix. "edge" as the back: a picture placed
// partly off the table.
struct Overlap {
  std::vector<std::string> front, back;
};

const Overlap kAllowed[] = {
    // A value, caption or picture on the picture it belongs to.
    {{"lblDifen"}, {"imgBeishu"}},
    {{"lbwealth"}, {"Imgwealth"}},
    {{"Number"}, {"Time_Img"}},
    {{"Words"}, {"Speak"}},
    {{"lbl_playerName", "lbl_piaoNum"}, {"img_piaoKuang"}},
    {{"CV_Image"}, {"Jokra"}},
    {{"Zhuang"}, {"Host"}},
    {{"Location", "imgword", "Bank"}, {"imgLocation"}},
    {{"PicLocal[0]", "vcap1"}, {"Tou[0]"}},
    // The table's layout puts these on each other. The left seat's float-bet bubble lies over the
    // badges and dice beside it; the turn clock of the left seat (small
    // table) over the badges and the left seat's claim bubble, the right
    // seat's over the float-bet frame; the small dice over the small dealer
    // badge; a side seat's tiles beside the own clock and the badges.
    {{"Speak[0]", "Words"}, {"Imgwealth", "lbwealth", "imgBeishu", "lblDifen", "imgsezi"}},
    {{"Time_Img", "Number"},
     {"Imgwealth", "lbwealth", "imgBeishu", "lblDifen", "img_piaoKuang", "Speak[0]"}},
    {{"imgsezi"}, {"Host", "imgBeishu"}},
    {{"MJ_Image"}, {"Time_Img", "Imgwealth", "imgBeishu"}},
    // The top seat's phrase label lies over its name, level and ready mark;
    // the right seat's over the float-bet frame and (small table) its clock.
    {{"speak box 2"}, {"Nid[2]", "Cash[2]", "Level[2]", "OK[2]"}},
    {{"speak box 3"}, {"img_piaoKuang", "lbl_", "Time_Img", "Number"}},
    {{"speak box"}, {"MJ_Image"}},
    {{"imgLocation"}, {"edge"}},
};

bool Allowed(const std::string& front, const std::string& back) {
  auto any = [](const std::vector<std::string>& names, const std::string& name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& n) { return name.rfind(n, 0) == 0; });
  };
  return std::any_of(std::begin(kAllowed), std::end(kAllowed),
                     [&](const Overlap& o) { return any(o.front, front) && any(o.back, back); });
}

class TableLook {
 public:
  explicit TableLook(Client& client) : client_(client) { NameControls(); }

  // Every fault the window shows now, one line each.
  std::vector<std::string> Faults() {
    shown_.clear();
    order_ = 0;
    layer_whole_ = {nullptr};
    MainForm& f = client_.main_form;
    Collect(f, nullptr, 0, 0, "main window", "");
    for (auto& box : client_.speak_boxes)
      if (box->Visible() && box->labPhrase.Caption().size() > 2)
        CollectForm(*box, "speak box " + std::to_string(box->bubble_seat), true);
    NameBoards();
    if (client_.Score && client_.Score->Visible()) CollectForm(*client_.Score, "Score", false);
    if (client_.Hero && client_.Hero->Visible()) CollectForm(*client_.Hero, "Hero", false);
    std::vector<std::string> faults;
    const Rect table = BoxOf(f.Pic1);
    for (const Shown& s : shown_) {
      if (!s.readable) continue;
      const Rect within = s.parent == &f.Pic1 ? table : ParentBox(s);
      if (s.ink.Outside(within) > kSlack && !Allowed(s.name, "edge"))
        faults.push_back(s.name + " cut by its edge");
      if (auto text = TextFault(s)) faults.push_back(s.name + " " + *text);
    }
    for (const Shown& back : shown_) {
      if (!back.readable && !IsLiveDiscard(back)) continue;
      for (const Shown& front : shown_) {
        if (front.order <= back.order || front.control == back.parent ||
            front.parent == back.control)
          continue;
        if (!front.readable && !front.tile) continue;
        // A board is opened over the table to be read: only its own
        // controls count against each other. A bubble covers whatever
        // lies under it.
        if (front.layer != back.layer && front.control != layer_whole_[front.layer]) continue;
        if (Allowed(front.name, back.name)) continue;
        const Rect both = front.ink.Intersect(back.ink);
        if (both.right - both.left <= 2 * kSlack || both.bottom - both.top <= 2 * kSlack) continue;
        if (back.tile) {
          // A side seat's discards lie half on each other; more than
          // that of the live one must not be hidden.
          const double area = (both.right - both.left) * (both.bottom - both.top);
          const double own = (back.ink.right - back.ink.left) * (back.ink.bottom - back.ink.top);
          if (area <= 0.55 * own) continue;
        }
        faults.push_back(front.name + " covers " + back.name);
      }
    }
    return faults;
  }

 private:
  void NameControls() {
    MainForm& f = client_.main_form;
    auto one = [&](const Control& c, const char* name) { names_[&c] = name; };
    auto all = [&](const auto& array, const char* name) {
      for (int i = 0; i < array.Count(); ++i)
        if (array.Exists(i)) names_[&array[i]] = std::string(name) + "[" + std::to_string(i) + "]";
    };
    one(f.Jokra, "Jokra"), one(f.CV_Image, "CV_Image"), one(f.Bank, "Bank");
    one(f.img_piaoKuang, "img_piaoKuang"), one(f.ZhiNan, "ZhiNan"), one(f.Time_Img, "Time_Img");
    one(f.Number, "Number"), one(f.Host, "Host"), one(f.Zhuang, "Zhuang"), one(f.Words, "Words");
    one(f.LbProp, "LbProp"), one(f.Lbchat, "Lbchat"), one(f.Bird, "Bird");
    one(f.Proponeself, "Proponeself"), one(f.imgBeishu, "imgBeishu"), one(f.lblDifen, "lblDifen");
    one(f.Imgwealth, "Imgwealth"), one(f.lbwealth, "lbwealth"), one(f.imgLocation, "imgLocation");
    one(f.Location, "Location"), one(f.imgword1, "imgword1"), one(f.imgword2, "imgword2");
    one(f.ImgShuffle, "ImgShuffle"), one(f.LblShuffle, "LblShuffle"), one(f.Chat, "Chat");
    one(f.img_lianLaiBack, "img_lianLaiBack"), one(f.vcap1, "vcap1"), one(f.Tiplbl, "Tiplbl");
    one(f.uc_lianLai, "uc_lianLai"), one(f.Pic1, "Pic1");
    all(f.ImgKuang, "ImgKuang"), all(f.vshow, "vshow"), all(f.PicLocal, "PicLocal");
    all(f.ImgShow, "ImgShow");
    all(f.Tou, "Tou"), all(f.AnNiu, "AnNiu"), all(f.OK, "OK"), all(f.Nid, "Nid");
    all(f.Cash, "Cash"), all(f.Level, "Level"), all(f.img_piaoOpt, "img_piaoOpt");
    all(f.lbl_playerName, "lbl_playerName"), all(f.lbl_piaoNum, "lbl_piaoNum");
    all(f.Operation, "Operation"), all(f.MJ_Image, "MJ_Image"), all(f.Sai_Image, "Sai_Image");
    all(f.Speak, "Speak"), all(f.Chi, "Chi"), all(f.Gang, "Gang"), all(f.imgsezi, "imgsezi");
    all(f.lbfont, "lbfont"), all(f.Sysmsg, "Sysmsg"), all(f.ImgProp, "ImgProp");
  }

  // The boards are made on first use.
  void NameBoards() {
    auto all = [&](const auto& array, const std::string& name) {
      for (int i = 0; i < array.Count(); ++i)
        if (array.Exists(i)) names_[&array[i]] = name + "[" + std::to_string(i) + "]";
    };
    if (ScoreForm* b = client_.Score.get())
      all(b->State, "State"), all(b->Tou, "Tou"), all(b->ID, "ID");
    if (HeroForm* b = client_.Hero.get()) {
      all(b->Grade, "Grade"), all(b->Tou, "Tou"), all(b->ID, "ID"), all(b->sumScore, "sumScore");
      names_[&b->Num] = "Num", names_[&b->Label1] = "Label1", names_[&b->Label2] = "Label2";
    }
  }

  std::string NameOf(const Control& c) const {
    auto it = names_.find(&c);
    if (it != names_.end()) return it->second;
    return std::string(typeid(c).name()) + " at (" + std::to_string(int(c.Left())) + ", " +
           std::to_string(int(c.Top())) + ")";
  }

  // A control's rectangle on the main window, in pixels.
  Rect BoxOf(const Control& c) const {
    double x = 0, y = 0;
    const Control* at = &c;
    for (const Container* p = c.Parent(); p; at = p, p = p->Parent()) {
      const double u = p->InnerUnitsPerPixel();
      x += at->Left() / u;
      y += at->Top() / u;
    }
    const double u = c.Parent() ? c.Parent()->InnerUnitsPerPixel() : 15.0;
    return {x, y, x + c.Width() / u, y + c.Height() / u};
  }
  Rect ParentBox(const Shown& s) const {
    for (const Shown& p : shown_)
      if (p.control == s.parent) return p.ink;
    return {-1e9, -1e9, 1e9, 1e9};
  }

  // A container and what it holds, back to front as the renderer draws
  // them; names inside a nested box (a video bar) carry the box's name.
  void Collect(const Container& box, const Container* parent, double dx, double dy,
               const std::string& name, const std::string& inside) {
    Add(box, parent, dx, dy, name);
    for (bool windowed : {false, true})
      for (const Control* c : box.Children()) {
        if (c->Windowed() != windowed || !c->Visible()) continue;
        const std::string child = inside + NameOf(*c);
        if (auto* inner = dynamic_cast<const Container*>(c))
          Collect(*inner, &box, dx, dy, child, c == &client_.main_form.Pic1 ? "" : child + ": ");
        else
          Add(*c, &box, dx, dy, child);
      }
  }

  // Another form over the main window: its place relative to the window.
  void CollectForm(const Form& form, const std::string& name, bool covers) {
    const MainForm& f = client_.main_form;
    const double dx = (form.Left() - f.Left()) / 15, dy = (form.Top() - f.Top()) / 15;
    const size_t first = shown_.size();
    layer_ = static_cast<int>(layer_whole_.size());
    layer_whole_.push_back(covers ? &form : nullptr);
    Collect(form, nullptr, dx, dy, name, name + ": ");
    layer_ = 0;
    Shown& whole = shown_[first];
    whole.readable = covers;  // a bubble must hide nothing; a board is opened to be read
    if (const Picture& p = form.Picture()) whole.ink = Offset(InkOf(*p), whole.box);
  }
  static Rect Offset(const Rect& r, const Rect& by) {
    return {r.left + by.left, r.top + by.top, r.right + by.left, r.bottom + by.top};
  }

  // What a player sees of the main window: the table and the windows over
  // it; the window's own pictures under the table area never show.
  bool Seen(const Control& c, const Container* parent) const {
    return parent != &client_.main_form || c.Windowed();
  }

  void Add(const Control& c, const Container* parent, double dx, double dy,
           const std::string& name) {
    Shown s;
    s.control = &c;
    s.parent = parent;
    s.name = name;
    Rect r = BoxOf(c);
    s.box = {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
    s.ink = s.box;
    s.order = order_++;
    s.layer = layer_;
    const MainForm& f = client_.main_form;
    if (auto* image = dynamic_cast<const ImageControl*>(&c)) {
      const Picture& p = image->Picture();
      if (!p || p->width == 0) return shown_.push_back(s);
      const Rect ink = InkOf(*p);
      const double kx = image->Stretch() ? (s.box.right - s.box.left) / p->width : 1;
      const double ky = image->Stretch() ? (s.box.bottom - s.box.top) / p->height : 1;
      s.ink = {s.box.left + ink.left * kx, s.box.top + ink.top * ky, s.box.left + ink.right * kx,
               s.box.top + ink.bottom * ky};
      s.tile = names_.count(&c) && names_.at(&c).rfind("MJ_Image", 0) == 0;
      const bool decoration = &c == &f.Bird || &c == &f.img_lianLaiBack;
      s.readable = !s.tile && !decoration && image->Parent() != nullptr &&
                   dynamic_cast<const Form*>(image->Parent()) == nullptr;
    } else if (auto* label = dynamic_cast<const Label*>(&c)) {
      s.readable = !label->Caption().empty();
      s.ink = TextInk(*label, s.box);
      if (label->AutoSize()) s.box = s.ink;  // sized to its text when drawn
    } else if (dynamic_cast<const ListBox*>(&c) || dynamic_cast<const TextBox*>(&c)) {
      s.readable = true;
    }
    s.readable = s.readable && Seen(c, parent);
    shown_.push_back(s);
  }

  bool IsLiveDiscard(const Shown& s) const {
    const int last = client_.data.LastTileImage;
    return s.tile && client_.main_form.MJ_Image.Exists(last) &&
           s.control == &client_.main_form.MJ_Image[last];
  }

  // A CJK line's ink is about one em high, a line of digits or letters
  // about three quarters of one.
  static double LineInk(const std::string& text, const Font& font) {
    const bool wide = std::any_of(text.begin(), text.end(), [](char ch) { return ch & 0x80; });
    return std::round(font.size * 96 / 72) * (wide ? 1.0 : 0.75) + 1;
  }
  // Where a label's words are drawn: its first line's width (or its wrapped
  // lines') from its alignment, and one ink height per line.
  Rect TextInk(const Label& label, const Rect& box) {
    auto [tw, th] = renderer_.TextSize(label.Caption(), label.Font());
    const double w = box.right - box.left;
    const int lines =
        label.AutoSize() || tw <= w + kSlack ? 1 : static_cast<int>(std::ceil(tw / w));
    const double used = label.AutoSize() ? tw : std::min<double>(tw, w);
    const double left = label.Alignment() == kAlignCenter  ? box.left + (w - used) / 2
                        : label.Alignment() == kAlignRight ? box.right - used
                                                           : box.left;
    const double high = label.AutoSize() ? th
                                         : (lines - 1) * th + TextTop(label.Font()) +
                                               LineInk(label.Caption(), label.Font());
    // A label lower than the font's line has its line raised, at most by
    // the blank above the ink, so the ink still starts within the label.
    const double raise =
        std::clamp(renderer_.TextSize("", label.Font()).second - (box.bottom - box.top), 0.0,
                   TextTop(label.Font()));
    return {left, box.top, left + used, box.top - raise + high};
  }

  // A text that does not fit its control.
  std::optional<std::string> TextFault(const Shown& s) {
    const double h = s.box.bottom - s.box.top;
    if (dynamic_cast<const Label*>(s.control)) {
      if (s.ink.bottom > s.box.bottom + kSlack)
        return "text cut (" + std::to_string(int(s.ink.bottom - s.ink.top)) + " high in " +
               std::to_string(int(h)) + ")";
    } else if (auto* list = dynamic_cast<const ListBox*>(s.control)) {
      // Rows start one pixel into the box and hold their whole ink.
      const int line = renderer_.ListRowFor(list->Font()).pitch;
      if (list->ListCount() > list->TopIndex() && line + 1 > h + kSlack)
        return "line cut (" + std::to_string(line) + " in " + std::to_string(int(h)) + ")";
    } else if (auto* text = dynamic_cast<const TextBox*>(s.control)) {
      const double line = LineInk("国", text->Font()) + TextTop(text->Font());
      if (line + 2 > h + kSlack)
        return "line cut (" + std::to_string(int(line)) + " in " + std::to_string(int(h)) + ")";
    }
    return std::nullopt;
  }
  // The blank above a line's ink: the font's line is taller than its em.
  double TextTop(const Font& font) {
    const double em = std::round(font.size * 96 / 72);
    return std::max(0.0, std::ceil((renderer_.TextSize("国", font).second - em) / 2));
  }

  Client& client_;
  Renderer renderer_;
  std::map<const Control*, std::string> names_;
  std::vector<Shown> shown_;
  int order_ = 0;
  int layer_ = 0;
  std::vector<const Control*> layer_whole_;  // per layer: the form when it covers what is under it
};

// One stage of a script: when it holds, its picture is saved; faults seen
// while it holds are asserted unless the stage is pending.
struct Stage {
  std::string name;
  std::function<bool(Client&)> holds;
  bool asserted = true;
};

class TableLookTest : public test::LobbyFixture, public ::testing::WithParamInterface<const char*> {
 protected:
  bool Small() const { return std::string(GetParam()) == "800x600"; }
  std::string Tag() const { return Small() ? "800" : "1024"; }

  static std::string Script(const std::string& name) {
    const char* source = std::getenv("SLVN_SOURCE_DIR");
    return test::ReadFileBytes(std::string(source ? source : ".") + "/tools/table-server/scripts/" +
                               name);
  }

  // Plays `script` under `launch` until `done`, looking at every present and
  // every 100 ms of the client's time; `first` runs once the client is up.
  void Play(const std::string& script, const std::string& launch, const std::string& line_end,
            const std::vector<Stage>& stages, const std::function<bool()>& done,
            const std::function<void(const std::function<void()>&)>& then = {},
            const std::function<void()>& first = {}) {
    // The quick phrases the script's players say, as scripts/run gives them.
    std::ofstream(dir.path() / "chat.ini") << Utf8ToGb2312(
        "[Phrase1]\nnum=2\n1=大家好，很高兴见到各位！\n2=快点吧，我等得花儿都谢了。\n"
        "[Phrase2]\nnum=4\n1=和了！\n2=你是哪里人啊？\n3=别走，决战到天亮！\n4=快点出牌吧！\n");
    setenv("SLVN_SCREEN", GetParam(), 1);
    test::TempDir server_dir;
    test::TableServer server(server_dir, script);
    ASSERT_GT(server.port(), 0);
    Form_Load(client, launch + "$key$127.0.0.1$" + std::to_string(server.port()) + line_end);
    unsetenv("SLVN_SCREEN");
    TableLook look(client);
    std::set<std::string> saved;
    std::map<std::string, std::set<std::string>> faults;  // by stage
    auto observe = [&] {
      for (const Stage& stage : stages) {
        if (!stage.holds(client)) continue;
        const std::string shot = "table_look_" + stage.name + "_" + Tag() + ".png";
        if (saved.insert(stage.name).second) SaveScreenPng(client.forms, client.main_form, shot);
        for (const std::string& fault : look.Faults()) faults[stage.name].insert(fault);
        return;
      }
    };
    client.loop.SetPresentHook(observe);
    Timer watch(client.loop, observe);
    watch.SetInterval(100);
    watch.SetEnabled(true);
    try {
      if (first) first();
      EXPECT_TRUE(test::Drive(client, done, 150)) << server.Record();
    } catch (const ProgramEnded&) {
      ADD_FAILURE() << "the client ended before the script's last stage\n" << server.Record();
    }
    if (then) {
      then(observe);
      observe();
    }
    client.loop.SetPresentHook(nullptr);
    for (const Stage& stage : stages) {
      EXPECT_TRUE(saved.count(stage.name)) << stage.name << " never came";
      std::string all;
      for (const std::string& fault : faults[stage.name]) all += "\n  " + fault;
      if (stage.asserted)
        EXPECT_TRUE(all.empty()) << stage.name << " at " << GetParam() << ":" << all;
      else if (!all.empty())
        std::printf("pending %s at %s:%s\n", stage.name.c_str(), GetParam(), all.c_str());
    }
  }
};

bool SpeakBoxShown(Client& c) {
  for (auto& box : c.speak_boxes)
    if (box->Visible() && box->labPhrase.Caption().size() > 2) return true;
  return false;
}

TEST_P(TableLookTest, TheDemoShowsEveryStageWhole) {
  MainForm& f = client.main_form;
  auto drawing = [&f](Client& c) {
    return !c.data.HandRunning && f.MJ_Image.Exists(3) && f.MJ_Image[3].Visible();
  };
  const std::vector<Stage> stages = {
      {"seat_draw", drawing},
      {"seated", [&](Client& c) { return !c.data.HandRunning && !drawing(c) && SpeakBoxShown(c); }},
      {"float_bets",
       [&](Client& c) { return c.data.HandRunning && f.Speak.Exists(2) && f.Speak[2].Visible(); }},
      {"claim_left",
       [&](Client& c) { return c.data.HandRunning && f.Speak.Exists(0) && f.Speak[0].Visible(); }},
      {"turn_top",
       [&](Client& c) {
         return c.data.HandRunning && f.Time_Img.Visible() && f.Tou.Exists(2) &&
                std::abs(f.Time_Img.Left() - (f.Tou[2].Left() - 20 * c.data.ScaleX)) < 0.01;
       }},
      {"hero_board", [](Client& c) { return c.Hero && c.Hero->Visible(); }},
      {"score_board", [](Client& c) { return c.Score && c.Score->Visible(); }},
      {"hand", [&](Client& c) { return c.data.HandRunning && c.custom[0].ConcealedCount >= 13; }},
  };
  // At the own turn the two boards open over the table, one after the other.
  Play(
      Script("demo.txt"), "demo", "$一号桌$0$", stages,
      [&] { return client.custom[0].ConcealedCount >= 14 && f.Time_Img.Visible(); },
      [&](const std::function<void()>& observe_now) {
        ShowScoreBoard(client);
        observe_now();
        if (client.Score) client.Score->Hide();
        ShowHeroBoard(client);
      });
}

// A spectator joins a hand under way: the right seat's live discard shows
// over its earlier face-down ones.
TEST_P(TableLookTest, TheSpectatorSeesTheTableWhole) {
  int looks = 0;
  const std::vector<Stage> stages = {
      {"spectator",
       [&looks](Client& c) {
         const auto& tiles = c.main_form.MJ_Image;
         const int last = c.data.LastTileImage;
         // The right seat's live discard, face up among its earlier ones.
         const Picture back =
             LoadResourcePicture(c, ResourceNumber(c.images.TilePics[36 * 3 + 8]).value_or(0));
         const bool held = c.data.WatchMode && c.data.LastDiscardSeat == 3 && tiles.Exists(last) &&
                           tiles[last].Visible() && tiles[last].Picture() != back;
         looks += held;
         return held;
       }},
  };
  // The script pauses 300 ms of real time before the table and the four
  // players' details; the client's clock, moved on by the test, would run
  // past its first keep-alive meanwhile and ask with no seat. So its clock
  // stands still from the login reply until the four details have arrived,
  // and the keep-alive the script expects carries the watched seat.
  auto details_first = [&] {
    ASSERT_TRUE(test::Drive(client, [&] { return client.data.LoggedIn; }));
    constexpr int32_t kTableAndDetails = 5 * 272;
    ASSERT_TRUE(client.loop.WaitUntil(
        [&] { return client.net.RecvRing.Waiting() >= kTableAndDetails; }, 10));
  };
  Play(
      Script("watch.txt"), "watcher", "$一号桌$1002", stages, [&] { return looks > 5; }, {},
      details_first);
}

INSTANTIATE_TEST_SUITE_P(BothScales, TableLookTest, ::testing::Values("1280x1024", "800x600"),
                         [](const auto& info) {
                           return std::string(info.param) == "800x600" ? "Small" : "Full";
                         });

}  // namespace
}  // namespace slvn
