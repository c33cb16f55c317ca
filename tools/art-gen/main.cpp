// Draws every picture of the game into an assets folder: numbered pictures as
// <id>.gif or <id>.jpg, the windows' own art as named/<name>.gif|jpg, and a
// contact sheet of all of them for a person to look at.
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "canvas.h"
#include "writers.h"

namespace artgen {
namespace {

constexpr const char* kFont = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";

// The palette of the table.
constexpr Color kFelt = Rgb(0x1F6B3F);
constexpr Color kIvoryTop = Rgb(0xFFFBF0);
constexpr Color kIvoryBottom = Rgb(0xF1E6CC);
constexpr Color kIvoryEdge = Rgb(0xD9C9A3);
constexpr Color kJade = Rgb(0x1E8A62);
constexpr Color kJadeDark = Rgb(0x11604A);
constexpr Color kInk = Rgb(0x1C2545);
constexpr Color kRed = Rgb(0xC62828);
constexpr Color kGreen = Rgb(0x1B7A3A);
constexpr Color kBlue = Rgb(0x1F56A8);
constexpr Color kGold = Rgb(0xF4C542);
constexpr Color kWood = Rgb(0x7A4A22);

struct Output {
  std::string folder;
  std::vector<Canvas> sheet;
};

void SaveGif(Output& out, const std::string& name, const Canvas& c, Color matte = kFelt) {
  WriteGif(out.folder + "/" + name + ".gif", {c}, matte);
  out.sheet.push_back(c);
}
void SaveJpeg(Output& out, const std::string& name, const Canvas& c) {
  WriteJpeg(out.folder + "/" + name + ".jpg", c);
  out.sheet.push_back(c);
}
std::string Id(int id) {
  return std::to_string(id);
}

// --- Tiles -------------------------------------------------------------

const char* const kNumerals[] = {"一", "二", "三", "四", "五", "六", "七", "八", "九"};
const char* const kHonours[] = {"东", "南", "西", "北", "中", "发"};

// A tile's face, upright. suit 0 honours (rank 1..7), 1 bamboo, 2 characters, 3 dots.
Canvas Face(Fonts& f, int w, int h, int suit, int rank) {
  Canvas c(w, h);
  TextStyle ink{.color = kInk, .bold = true};
  if (suit == 0) {
    if (rank == 7) {  // white dragon: a blue frame
      float m = std::max(3.0f, w * 0.2f);
      RoundRectLine(c, m, m * 1.1f, w - 2 * m, h - 2.2f * m, 2, std::max(1.5f, w * 0.07f), kBlue);
      return c;
    }
    ink.color = rank == 5 ? kRed : rank == 6 ? kGreen : kInk;
    Text(c, f, kHonours[rank - 1], w * 0.08f, h * 0.08f, w * 0.84f, h * 0.84f, ink);
    return c;
  }
  const Color suit_color[] = {0, kGreen, kRed, kBlue};
  const char* suit_char[] = {"", "条", "万", "筒"};
  Text(c, f, kNumerals[rank - 1], w * 0.1f, h * 0.05f, w * 0.8f, h * 0.44f, ink);
  TextStyle mark{.color = suit_color[suit], .bold = true};
  Text(c, f, suit_char[suit], w * 0.12f, h * 0.52f, w * 0.76f, h * 0.43f, mark);
  return c;
}

// A tile lying flat, seen from above and in front: the face (or the jade
// back) on top, the edge towards the viewer below it.
Canvas LyingTile(int w, int h, float edge, const Canvas* face, bool face_down) {
  Canvas c(w, h);
  float r = std::max(2.5f, w * 0.09f);
  SoftShadow(c, 1, 1.5f, w - 1.5f, h - 1.5f, r, 1.2f, Rgb(0x000000, 120));
  // The body: the back layer at the bottom, then the ivory layer.
  Color top = face_down ? kJade : kIvoryTop;
  Color bottom = face_down ? kJadeDark : kIvoryBottom;
  RoundRect(c, 0, 0, w - 1.5f, h - 1.5f, r, face_down ? kIvoryEdge : kJade,
            face_down ? kIvoryEdge : kJadeDark);
  RoundRect(c, 0, 0, w - 1.5f, h - 1.5f - edge * 0.45f, r, face_down ? kJadeDark : kIvoryEdge,
            face_down ? kJadeDark : kIvoryEdge);
  RoundRect(c, 0, 0, w - 1.5f, h - 1.5f - edge, r, top, bottom);
  RoundRectLine(c, 0.5f, 0.5f, w - 2.5f, h - 2.5f - edge, r, 1, Rgb(0xFFFFFF, 150));
  if (face) c.Draw(*face, 0, 0);
  return c;
}

// A tile standing upright, seen from in front: the top edge shows above it.
Canvas StandingTile(int w, int h, float edge, const Canvas* face, bool back) {
  Canvas c(w, h);
  float r = std::max(2.5f, w * 0.09f);
  SoftShadow(c, 1, 1.5f, w - 1.5f, h - 1.5f, r, 1.2f, Rgb(0x000000, 120));
  RoundRect(c, 0, 0, w - 1.5f, h - 1.5f, r, back ? kIvoryEdge : kJade, back ? kIvoryEdge : kJade);
  RoundRect(c, 0, edge * 0.5f, w - 1.5f, h - 1.5f - edge * 0.5f, r, kIvoryEdge, kIvoryEdge);
  RoundRect(c, 0, edge, w - 1.5f, h - 1.5f - edge, r, back ? kJade : kIvoryTop,
            back ? kJadeDark : kIvoryBottom);
  RoundRectLine(c, 0.5f, edge + 0.5f, w - 2.5f, h - 2.5f - edge, r, 1, Rgb(0xFFFFFF, 140));
  if (face) c.Draw(*face, 0, static_cast<int>(edge));
  return c;
}

struct View {
  int w, h;
  int turn;  // 0 upright, 1 clockwise (left seat), -1 counter-clockwise (right seat)
  bool standing;
};
// The own lying tiles, the left seat's, the opposite seat's, the right seat's, the own hand.
constexpr View kViews[] = {{50, 58, 0, false},
                           {59, 46, 1, false},
                           {34, 37, 0, false},
                           {59, 46, -1, false},
                           {50, 77, 0, true}};

Canvas TilePicture(Fonts& f, int view, int suit, int rank) {
  const View& v = kViews[view];
  float edge = v.standing ? 5 : std::round(v.h * 0.16f);
  int fw = static_cast<int>(v.w - 1.5f), fh = static_cast<int>(v.h - 1.5f - edge);
  if (suit == 0 && rank == 8) return StandingTile(v.w, v.h, edge, nullptr, true);
  if (suit == 0 && rank == 9) return LyingTile(v.w, v.h, edge, nullptr, true);
  Canvas face = v.turn == 0 ? Face(f, fw, fh, suit, rank)
                            : RotateQuarter(Face(f, fh, fw, suit, rank), v.turn > 0);
  return v.standing ? StandingTile(v.w, v.h, edge, &face, false)
                    : LyingTile(v.w, v.h, edge, &face, false);
}

void DrawTiles(Output& out, Fonts& f) {
  for (int view = 0; view < 5; ++view)
    for (int suit = 0; suit < 4; ++suit)
      for (int rank = 1; rank <= 9; ++rank) {
        int entry = 36 * view + 9 * suit + rank - 1;
        SaveGif(out, Id(201 + entry), TilePicture(f, view, suit, rank));
      }
}

// --- Buttons and plates ------------------------------------------------

struct ButtonLook {
  Color top, bottom, text, outline;
};
constexpr ButtonLook kAmber{Rgb(0xF6B24A), Rgb(0xB8601C), Rgb(0xFFFFFF), Rgb(0x6A3208)};
constexpr ButtonLook kAmberHover{Rgb(0xFFD77A), Rgb(0xE08A2A), Rgb(0xFFFFFF), Rgb(0x7A3A0A)};
constexpr ButtonLook kGrey{Rgb(0xC8C8C8), Rgb(0x8C8C8C), Rgb(0xEEEEEE), Rgb(0x555555)};
constexpr ButtonLook kJadeButton{Rgb(0x3FB57F), Rgb(0x13664A), Rgb(0xFFFFFF), Rgb(0x0B3D2C)};
constexpr ButtonLook kJadeHover{Rgb(0x6FD9A4), Rgb(0x1E8A62), Rgb(0xFFFFFF), Rgb(0x0B3D2C)};
constexpr ButtonLook kRedButton{Rgb(0xF05A4A), Rgb(0xA3161B), Rgb(0xFFF3C4), Rgb(0x5A0508)};

Canvas Button(Fonts& f, int w, int h, const std::string& text, const ButtonLook& look) {
  Canvas c(w, h);
  float r = std::min(h * 0.3f, 8.0f);
  SoftShadow(c, 1, 1.5f, w - 2, h - 2, r, 1, Rgb(0x000000, 110));
  RoundRect(c, 0, 0, w - 1.5f, h - 1.5f, r, look.top, look.bottom);
  RoundRect(c, 2, 1.5f, w - 5.5f, (h - 2) * 0.45f, r - 1, Rgb(0xFFFFFF, 90), Rgb(0xFFFFFF, 10));
  RoundRectLine(c, 0, 0, w - 1.5f, h - 1.5f, r, 1, look.outline);
  TextStyle style{.color = look.text, .bold = true, .outline = 1.2f, .outline_color = look.outline};
  Text(c, f, text, 3, 2, w - 7.5f, h - 5.5f, style, std::max(9, static_cast<int>(h * 0.58f)));
  return c;
}

void DrawBarButtons(Output& out, Fonts& f) {
  const char* words[] = {"发送", "聊天", "开始", "继续", "设置",
                         "隐藏", "战绩", "历史", "规则", "退出"};
  SaveGif(out, Id(101), Button(f, 48, 30, words[0], kAmber));
  SaveGif(out, Id(102), Button(f, 48, 30, words[0], kGrey));
  for (int pair = 1; pair < 10; ++pair) {
    SaveGif(out, Id(101 + 2 * pair), Button(f, 55, 31, words[pair], kAmber));
    SaveGif(out, Id(102 + 2 * pair), Button(f, 55, 31, words[pair], kAmberHover));
    SaveGif(out, Id(379 + 2 * pair), Button(f, 43, 24, words[pair], kAmber));
    SaveGif(out, Id(380 + 2 * pair), Button(f, 43, 24, words[pair], kAmberHover));
  }
  SaveGif(out, Id(450), Button(f, 55, 31, "仓库", kJadeButton));
  SaveGif(out, Id(451), Button(f, 55, 31, "仓库", kJadeHover));
}

void DrawDialogButtons(Output& out, Fonts& f) {
  SaveGif(out, Id(130), Button(f, 70, 29, "确定", kAmber));
  SaveGif(out, Id(131), Button(f, 70, 29, "确定", kAmberHover));
  SaveGif(out, Id(132), Button(f, 70, 29, "取消", kAmber));
  SaveGif(out, Id(133), Button(f, 70, 29, "取消", kAmberHover));
  SaveGif(out, Id(134), Button(f, 64, 26, "关闭", kGrey));
  SaveGif(out, Id(135), Button(f, 64, 26, "开启", kJadeButton));
  SaveGif(out, Id(136), Button(f, 64, 26, "普通话", kAmber));
  SaveGif(out, Id(137), Button(f, 64, 26, "地方话", kAmber));
}

// A tall claim button: a round seal with the claim's word.
Canvas ClaimButton(Fonts& f, int w, int h, const std::string& word, const ButtonLook& look) {
  Canvas c(w, h);
  SoftShadow(c, 1.5f, 2, w - 3, h - 3, 9, 1.5f, Rgb(0x000000, 120));
  RoundRect(c, 0, 0, w - 2, h - 2.5f, 9, look.top, look.bottom);
  RoundRectLine(c, 2.5f, 2.5f, w - 7, h - 7.5f, 7, 1.5f, Rgb(0xFFE9A8, 200));
  RoundRect(c, 4, 3.5f, w - 10, h * 0.35f, 6, Rgb(0xFFFFFF, 80), Rgb(0xFFFFFF, 0));
  TextStyle style{.color = look.text,
                  .bold = true,
                  .outline = 1.5f,
                  .outline_color = look.outline,
                  .shadow = 1};
  Text(c, f, word, 4, 6, w - 10, h - 14, style, 40);
  return c;
}

void DrawClaimButtons(Output& out, Fonts& f) {
  const char* words[] = {"吃", "碰", "杠", "胡", "过"};
  const ButtonLook normal{Rgb(0x3A6FB8), Rgb(0x1B3A6E), Rgb(0xFFFFFF), Rgb(0x0D1F40)};
  const ButtonLook coloured{Rgb(0xFFC94A), Rgb(0xD97A16), Rgb(0xFFFFFF), Rgb(0x6A3208)};
  for (int i = 0; i < 5; ++i) {
    SaveGif(out, Id(141 + 3 * i), ClaimButton(f, 50, 69, words[i], normal));
    SaveGif(out, Id(142 + 3 * i), ClaimButton(f, 50, 69, words[i], coloured));
    SaveGif(out, Id(143 + 3 * i), ClaimButton(f, 50, 71, words[i], kRedButton));
  }
  SaveGif(out, Id(156), Button(f, 70, 28, "报告错误", kGrey));
  SaveGif(out, Id(157), Button(f, 70, 28, "报告错误", kAmber));
  SaveGif(out, Id(158), Button(f, 70, 28, "报告错误", kRedButton));
}

// --- Dice --------------------------------------------------------------

void Pips(Canvas& c, float x, float y, float s, int value) {
  const float k[3] = {0.25f, 0.5f, 0.75f};
  std::vector<std::pair<int, int>> at;
  switch (value) {
    case 1:
      at = {{1, 1}};
      break;
    case 2:
      at = {{0, 0}, {2, 2}};
      break;
    case 3:
      at = {{0, 0}, {1, 1}, {2, 2}};
      break;
    case 4:
      at = {{0, 0}, {2, 0}, {0, 2}, {2, 2}};
      break;
    case 5:
      at = {{0, 0}, {2, 0}, {1, 1}, {0, 2}, {2, 2}};
      break;
    default:
      at = {{0, 0}, {2, 0}, {0, 1}, {2, 1}, {0, 2}, {2, 2}};
      break;
  }
  Color color = value == 1 || value == 4 ? kRed : Rgb(0x222222);
  float r = s * (value == 1 ? 0.13f : 0.085f);
  for (auto [i, j] : at) Circle(c, x + s * k[i], y + s * k[j], r, color);
}

// A die seen from the front and a little above: its top face shows as a band.
Canvas Die(int w, int h, int value) {
  Canvas c(w, h);
  float side = h - w;
  SoftShadow(c, 1.5f, 2, w - 3, h - 3, w * 0.2f, 1.5f, Rgb(0x000000, 130));
  RoundRect(c, 0, 0, w - 2, h - 2.5f, w * 0.2f, Rgb(0xFFFFFF), Rgb(0xD8D2C4));
  RoundRect(c, 1, side + 1, w - 4, w - 4, w * 0.18f, Rgb(0xFFFFFF), Rgb(0xEDE8DC));
  Pips(c, 1, side + 1, w - 4, value);
  return c;
}

Canvas FlatDie(int size, int value, float angle) {
  Canvas face(size, size);
  RoundRect(face, 0, 0, size, size, size * 0.2f, Rgb(0xFFFFFF), Rgb(0xE2DCCF));
  Pips(face, 0, 0, size, value);
  int box = static_cast<int>(std::ceil(size * 1.42f)) + 2;
  Canvas turned = Rotate(face, angle, box, box);
  Canvas c(box, box);
  Canvas shadow(box, box);
  for (size_t i = 0; i < turned.px.size(); ++i) shadow.px[i] = turned.px[i] & 0xFF000000;
  c.Draw(shadow, 2, 2, 0.35f);
  c.Draw(turned, 0, 0);
  return c;
}

void DrawDice(Output& out) {
  for (int v = 1; v <= 6; ++v) SaveGif(out, Id(160 + v), Die(50, 56, v));
  const int sizes[] = {45, 48, 52, 55, 58, 56, 53, 50, 47, 45};
  for (int i = 0; i < 10; ++i) {
    int s = sizes[i];
    Canvas die = FlatDie(static_cast<int>(s * 0.68f), 1 + (i * 5 + 2) % 6, i * 37.0f + 10);
    Canvas frame(s, s);
    frame.Draw(die, (s - die.w) / 2, (s - die.h) / 2);
    SaveGif(out, Id(167 + i), frame);
  }
  for (int v = 1; v <= 6; ++v) {
    Canvas c(24, 24);
    RoundRect(c, 0.5f, 0.5f, 22.5f, 22.5f, 4.5f, Rgb(0xFFFFFF), Rgb(0xDCD5C6));
    RoundRectLine(c, 0.5f, 0.5f, 22.5f, 22.5f, 4.5f, 1, Rgb(0x8A8170));
    Pips(c, 0.5f, 0.5f, 22.5f, v);
    SaveGif(out, Id(599 + v), c);
  }
}

// --- Compass, badges, captions -----------------------------------------

void DrawCompass(Output& out, Fonts& f) {
  // Winds in order bottom, left, top, right for each own wind (North, West, South, East at the
  // bottom).
  const char* order[4][4] = {{"北", "东", "南", "西"},
                             {"西", "北", "东", "南"},
                             {"南", "西", "北", "东"},
                             {"东", "南", "西", "北"}};
  for (int k = 0; k < 4; ++k) {
    Canvas c(77, 77);
    Circle(c, 39.5f, 39.5f, 36, Rgb(0x000000, 90));
    Circle(c, 38, 38, 36.5f, Rgb(0xB8862E));
    Circle(c, 38, 38, 33.5f, Rgb(0x4A2C14));
    Circle(c, 38, 38, 31, Rgb(0x6B4322));
    Ring(c, 38, 38, 22, 1, Rgb(0xD9B45A, 160));
    const float pos[4][2] = {{38, 63}, {13, 38}, {38, 13}, {63, 38}};
    for (int side = 0; side < 4; ++side) {
      TextStyle style{.color = side == 0 ? Rgb(0xFFD54F) : Rgb(0xF3E6C8),
                      .bold = true,
                      .outline = side == 0 ? 1.0f : 0.0f,
                      .outline_color = Rgb(0x5A1010)};
      Text(c, f, order[k][side], pos[side][0] - 10, pos[side][1] - 10, 20, 20, style, 18);
    }
    Line(c, 38, 30, 38, 48, 3, Rgb(0xE53935));
    Circle(c, 38, 38, 3, Rgb(0xFFD54F));
    SaveGif(out, Id(126 + k), c);
  }
}

Canvas Medal(Fonts& f, int w, int h, const std::string& text, Color ring, Color inner,
             Color text_color) {
  Canvas c(w, h);
  float cx = w / 2.0f, cy = h / 2.0f, r = std::min(w, h) / 2.0f - 2;
  Circle(c, cx + 1.5f, cy + 2, r, Rgb(0x000000, 90));
  Circle(c, cx, cy, r, ring);
  Circle(c, cx, cy, r - 4, inner);
  Ring(c, cx, cy, r - 6, 1, Rgb(0xFFFFFF, 120));
  TextStyle style{
      .color = text_color, .bold = true, .outline = 1.5f, .outline_color = Darker(inner, 0.5f)};
  Text(c, f, text, cx - r * 0.72f, cy - r * 0.55f, r * 1.44f, r * 1.1f, style);
  return c;
}

void DrawBadges(Output& out, Fonts& f) {
  SaveGif(out, Id(123), Medal(f, 82, 80, "雀友", kGold, Rgb(0xC62828), Rgb(0xFFF3C4)));
  Canvas down = Medal(f, 82, 80, "", Rgb(0x9EB6D6), Rgb(0x2F5E9E), Rgb(0xFFFFFF));
  Canvas up = Medal(f, 82, 80, "", kGold, Rgb(0xD84315), Rgb(0xFFFFFF));
  TextStyle white{
      .color = Rgb(0xFFFFFF), .bold = true, .outline = 1.2f, .outline_color = Rgb(0x10244A)};
  Line(down, 41, 18, 41, 38, 6, Rgb(0xFFFFFF));
  Line(down, 31, 30, 41, 40, 6, Rgb(0xFFFFFF));
  Line(down, 51, 30, 41, 40, 6, Rgb(0xFFFFFF));
  Text(down, f, "用户降级", 12, 44, 58, 18, white);
  white.outline_color = Rgb(0x6A1B05);
  Line(up, 41, 20, 41, 40, 6, Rgb(0xFFFFFF));
  Line(up, 31, 28, 41, 18, 6, Rgb(0xFFFFFF));
  Line(up, 51, 28, 41, 18, 6, Rgb(0xFFFFFF));
  Text(up, f, "用户升级", 12, 44, 58, 18, white);
  SaveGif(out, Id(124), down);
  SaveGif(out, Id(125), up);
}

Canvas Caption(Fonts& f, int w, int h, const std::string& text) {
  Canvas c(w, h);
  TextStyle style{.color = Rgb(0xFFE082),
                  .bold = true,
                  .outline = 2.0f,
                  .outline_color = Rgb(0xA31515),
                  .shadow = 1.5f};
  Text(c, f, text, 0, 0, w, h, style);
  return c;
}

void DrawClaimCaptions(Output& out, Fonts& f) {
  SaveGif(out, Id(183), Caption(f, 56, 56, "吃"), Rgb(0xFFFFFF));
  SaveGif(out, Id(184), Caption(f, 57, 57, "碰"), Rgb(0xFFFFFF));
  SaveGif(out, Id(185), Caption(f, 58, 58, "杠"), Rgb(0xFFFFFF));
  const char* words[] = {"暗杠", "红中杠", "百搭杠", "开杠", "胡"};
  for (int i = 0; i < 5; ++i)
    SaveGif(out, Id(186 + i), Caption(f, 43, 32, words[i]), Rgb(0xFFFFFF));
}

// --- Avatars -----------------------------------------------------------

Canvas Avatar(int index, bool woman) {
  const Color backs[] = {Rgb(0x8FBCE6), Rgb(0xF2B8A2), Rgb(0xB5D99C), Rgb(0xE8C872), Rgb(0xC3A6E0),
                         Rgb(0x9ED9D2), Rgb(0xF5A9C4), Rgb(0xD8D2C0), Rgb(0xA8C5F0), Rgb(0xF0C090)};
  const Color skins[] = {Rgb(0xF6D3B3), Rgb(0xEBC09A), Rgb(0xD9A77E), Rgb(0xF3DCC6), Rgb(0xC8926A)};
  const Color hairs[] = {Rgb(0x2B1D14), Rgb(0x4A3020), Rgb(0x1A1A1A), Rgb(0x7A4B2A), Rgb(0x3B2A4A)};
  const Color shirts[] = {Rgb(0x2F5E9E), Rgb(0xC62828), Rgb(0x1B7A3A), Rgb(0x6A3FA0),
                          Rgb(0xE08A2A)};
  Color skin = skins[index % 5], hair = hairs[(index * 3) % 5],
        shirt = shirts[(index * 2 + woman) % 5];
  Canvas c(85, 90);
  RoundRect(c, 0, 0, 85, 90, 6, Lighter(backs[index], 0.3f), backs[index]);
  if (woman) RoundRect(c, 18, 22, 49, 58, 18, hair, Darker(hair, 0.2f));  // long hair behind
  Ellipse(c, 42.5f, 92, 32, 24, shirt);
  RoundRect(c, 36, 56, 13, 14, 4, Darker(skin, 0.08f), Darker(skin, 0.12f));
  Ellipse(c, 42.5f, 42, 19, 22, skin);
  // Hair on top: short for the first set, a fringe for the second.
  Ellipse(c, 42.5f, 27, 20, woman ? 13 : 11, hair);
  if (!woman && index % 3 == 1) Ellipse(c, 30, 27, 7, 8, hair);
  if (woman) {
    Ellipse(c, 25, 40, 5, 14, hair);
    Ellipse(c, 60, 40, 5, 14, hair);
  }
  Circle(c, 35, 44, 2.3f, Rgb(0x2A1A10));
  Circle(c, 50, 44, 2.3f, Rgb(0x2A1A10));
  Circle(c, 35.8f, 43.2f, 0.8f, Rgb(0xFFFFFF));
  Circle(c, 50.8f, 43.2f, 0.8f, Rgb(0xFFFFFF));
  Ellipse(c, 30, 51, 3.5f, 2, Rgb(0xF28B82, 110));
  Ellipse(c, 55, 51, 3.5f, 2, Rgb(0xF28B82, 110));
  Line(c, 37, 54, 42.5f, 57, 1.6f, Rgb(0x9A3B2E));
  Line(c, 42.5f, 57, 48, 54, 1.6f, Rgb(0x9A3B2E));
  if (woman && index % 2) Circle(c, 58, 26, 4, Rgb(0xE53935));  // a hair flower
  RoundRectLine(c, 0, 0, 85, 90, 6, 2, Rgb(0xFFFFFF, 160));
  return c;
}

void DrawAvatars(Output& out) {
  for (int i = 0; i < 10; ++i) SaveGif(out, Id(191 + i), Avatar(i, false));
  for (int i = 0; i < 10; ++i) SaveGif(out, Id(401 + i), Avatar(i, true));
}

// --- Float bet, frames, video ------------------------------------------

Canvas Plate(Fonts& f, int w, int h, const std::string& text, Color top, Color bottom,
             Color text_color) {
  Canvas c(w, h);
  SoftShadow(c, 1, 1.5f, w - 2, h - 2, 7, 1, Rgb(0x000000, 110));
  RoundRect(c, 0, 0, w - 1.5f, h - 1.5f, 7, kGold, Rgb(0xB07A1E));
  RoundRect(c, 2.5f, 2.5f, w - 6.5f, h - 6.5f, 5, top, bottom);
  TextStyle style{
      .color = text_color, .bold = true, .outline = 1.2f, .outline_color = Rgb(0x000000, 200)};
  Text(c, f, text, 4, 3, w - 9.5f, h - 7.5f, style, 24);
  return c;
}

Canvas WoodFrame(int w, int h) {
  Canvas c(w, h, Rgb(0x3A2312));
  RoundRect(c, 0, 0, w, h, 0, Rgb(0x9A6434), Rgb(0x5C3517));
  RoundRect(c, 5, 5, w - 10, h - 10, 4, Rgb(0x5C3517), Rgb(0x9A6434));
  RoundRect(c, 8, 8, w - 16, h - 16, 3, Rgb(0x14261A), Rgb(0x0E1C13));
  return c;
}

void DrawFloatBet(Output& out, Fonts& f) {
  const char* words[] = {"不漂", "漂一", "漂三", "漂五"};
  const int bets[] = {0, 1, 3, 5};
  for (int i = 0; i < 4; ++i) {
    // Shown from 0.17 of a claim bubble's width: the words keep to the left
    // 56 pixels, so the right seat's stay on the table.
    Canvas caption(78, 38);
    caption.Draw(Caption(f, 56, 38, words[i]), 0, 0);
    SaveGif(out, Id(420 + bets[i]), caption, Rgb(0x14261A));
    SaveGif(out, Id(431 + 2 * i),
            Plate(f, 66, 38, words[i], Rgb(0x2E7D4F), Rgb(0x17502F), Rgb(0xFFFFFF)));
    SaveGif(out, Id(432 + 2 * i),
            Plate(f, 66, 38, words[i], Rgb(0x4CC27E), Rgb(0x238A4E), Rgb(0xFFF59D)));
  }
  SaveJpeg(out, Id(440), WoodFrame(173, 110));
  SaveJpeg(out, Id(441), WoodFrame(137, 88));
}

// A 16 x 14 (or 17 x 16) toolbar icon; `hover` brightens it.
Canvas Icon(int w, int h, int kind, bool hover) {
  Canvas c(w, h);
  Color fg = hover ? Rgb(0xFFE082) : Rgb(0xE8EEF5);
  RoundRect(c, 0, 0, w, h, 3, hover ? Rgb(0x3D6FB0) : Rgb(0x2B4A73),
            hover ? Rgb(0x24507F) : Rgb(0x1A2F4C));
  float cx = w / 2.0f, cy = h / 2.0f;
  switch (kind) {
    case 0:  // camera
      RoundRect(c, 2.5f, 4, 8, 6.5f, 1.5f, fg, fg);
      Line(c, 11, 7.2f, 14, 5, 2, fg);
      Line(c, 11, 7.2f, 14, 9.5f, 2, fg);
      break;
    case 1:  // microphone
      RoundRect(c, cx - 2, 2, 4, 7, 2, fg, fg);
      Line(c, cx - 4, 7, cx, 11, 1.2f, fg);
      Line(c, cx + 4, 7, cx, 11, 1.2f, fg);
      Line(c, cx, 11, cx, 13, 1.2f, fg);
      break;
    case 2:  // speaker
      RoundRect(c, 3, 5, 3, 4, 0.5f, fg, fg);
      Line(c, 6, 7, 9, 3, 2, fg);
      Line(c, 6, 7, 9, 11, 2, fg);
      Ring(c, 9, 7, 4, 1.1f, fg);
      break;
    case 3:  // record
      Circle(c, cx, cy, 4, Rgb(0xE53935));
      break;
    case 4:  // snapshot
      Ring(c, cx, cy, 3.5f, 1.5f, fg);
      RoundRectLine(c, 2, 3, w - 4, h - 5, 2, 1.2f, fg);
      break;
    case 5:  // close
      Line(c, 4.5f, 4.5f, w - 4.5f, h - 4.5f, 2, fg);
      Line(c, w - 4.5f, 4.5f, 4.5f, h - 4.5f, 2, fg);
      break;
    case 6:  // enlarge
      RoundRectLine(c, 3.5f, 3.5f, w - 7, h - 7, 1, 1.5f, fg);
      Line(c, cx, 5, cx, h - 5, 1.5f, fg);
      Line(c, 5, cy, w - 5, cy, 1.5f, fg);
      break;
    case 7:  // shrink
      RoundRectLine(c, 3.5f, 3.5f, w - 7, h - 7, 1, 1.5f, fg);
      Line(c, 5, cy, w - 5, cy, 1.5f, fg);
      break;
    case 9:  // camera off: the camera struck through
      RoundRect(c, 2.5f, 4, 8, 6.5f, 1.5f, fg, fg);
      Line(c, 11, 7.2f, 14, 5, 2, fg);
      Line(c, 11, 7.2f, 14, 9.5f, 2, fg);
      Line(c, 2, h - 2, w - 2, 2, 1.8f, Rgb(0xE53935));
      break;
    case 10:  // add a friend: a head and shoulders with a plus
      Circle(c, 6, 5, 2.5f, fg);
      RoundRect(c, 2, 8.5f, 8, 4, 2, fg, fg);
      Line(c, 12, 4, 12, 10, 1.5f, fg);
      Line(c, 9, 7, 15, 7, 1.5f, fg);
      break;
    default:  // monitor
      RoundRect(c, 2, 2, w - 4, h - 6, 1, fg, fg);
      RoundRect(c, 3.5f, 3.5f, w - 7, h - 9, 0.5f, Rgb(0x2B4A73), Rgb(0x1A2F4C));
      Line(c, cx, h - 4, cx, h - 2, 1.5f, fg);
      Line(c, cx - 3, h - 1.5f, cx + 3, h - 1.5f, 1.2f, fg);
      break;
  }
  return c;
}

void DrawVideo(Output& out, Fonts& f) {
  // The toolbar: 850-853 normal and 854-857 hover of video off, zoom,
  // snapshot and the own video switch; 858, 859 add a friend; then close,
  // enlarge, shrink (17 x 16); then the album's two pictures.
  const int kinds[] = {9, 6, 4, 0};
  for (int i = 0; i < 4; ++i) {
    SaveGif(out, Id(850 + i), Icon(16, 14, kinds[i], false));
    SaveGif(out, Id(854 + i), Icon(16, 14, kinds[i], true));
  }
  SaveGif(out, Id(858), Icon(16, 14, 10, false));
  SaveGif(out, Id(859), Icon(16, 14, 10, true));
  for (int i = 0; i < 3; ++i) SaveGif(out, Id(860 + i), Icon(17, 16, 5 + i, false));
  SaveGif(out, Id(863), Icon(16, 14, 8, false));
  SaveGif(out, Id(864), Icon(16, 14, 8, true));
  const int sizes[6][2] = {{175, 138}, {276, 215}, {434, 341}, {137, 108}, {216, 168}, {339, 266}};
  for (int i = 0; i < 6; ++i) {
    int w = sizes[i][0], h = sizes[i][1];
    Canvas c(w, h);
    RoundRect(c, 0, 0, w, h, 0, Rgb(0x2B4A73), Rgb(0x142236));
    RoundRect(c, 0, 0, w, 18, 0, Rgb(0x4F79B0), Rgb(0x2B4A73));
    Text(c, f, "视频", 6, 2, 40, 14, TextStyle{.color = Rgb(0xFFFFFF), .bold = true});
    RoundRect(c, 4, 20, w - 8, h - 24, 2, Rgb(0x05080C), Rgb(0x0B1118));
    SaveJpeg(out, Id(870 + i), c);
  }
}

// --- The wild-tile streak ----------------------------------------------

Canvas StreakFrame(Fonts& f, int frame, bool backdrop) {
  Canvas c(150, 143);
  float cx = 75, cy = 71.5f;
  if (backdrop) {
    Circle(c, cx, cy + 2, 66, Rgb(0x000000, 90));
    Circle(c, cx, cy, 66, kGold);
    Circle(c, cx, cy, 61, Rgb(0x7A1414));
    Ring(c, cx, cy, 52, 1.5f, Rgb(0xF4C542, 180));
    return c;
  }
  float phase = frame / 13.0f;
  for (int ray = 0; ray < 12; ++ray) {
    float a = (ray / 12.0f + phase / 6) * 6.2831853f;
    Line(c, cx + std::cos(a) * 30, cy + std::sin(a) * 30, cx + std::cos(a) * 66,
         cy + std::sin(a) * 66, 5, Rgb(0xFFD54F, 150));
  }
  float pulse = 1 + 0.08f * std::sin(phase * 6.2831853f);
  Circle(c, cx, cy, 40 * pulse, Rgb(0xC62828));
  Ring(c, cx, cy, 40 * pulse, 3, kGold);
  TextStyle style{
      .color = Rgb(0xFFF3C4), .bold = true, .outline = 2, .outline_color = Rgb(0x5A0508)};
  Text(c, f, "连庄", cx - 32, cy - 20, 64, 40, style);
  return c;
}

void DrawStreak(Output& out, Fonts& f) {
  std::vector<Canvas> frames;
  for (int i = 0; i < 13; ++i) frames.push_back(StreakFrame(f, i, false));
  WriteGif(out.folder + "/876.gif", frames, Rgb(0x7A1414), 8);
  out.sheet.push_back(frames[0]);
  SaveGif(out, Id(877), StreakFrame(f, 0, true));
}

// --- Unnumbered art of the windows --------------------------------------

Canvas Felt(int w, int h) {
  Canvas c(w, h);
  RadialGradient(c, w / 2.0f, h * 0.45f, std::hypot(w, h) * 0.6f, Rgb(0x2E8A52), Rgb(0x10452A));
  // A faint weave so the felt does not look like plastic.
  uint32_t seed = 12345;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      seed = seed * 1103515245u + 12345u;
      float n = ((seed >> 16) & 0xFF) / 255.0f;
      c.Blend(x, y, n > 0.5f ? Rgb(0xFFFFFF) : Rgb(0x000000), std::fabs(n - 0.5f) * 0.06f);
    }
  return c;
}

// tail: 0 left, 1 up, 2 right, 3 down; m: how far it reaches out of the body.
Canvas Bubble(int w, int h, int tail, float m = 12) {
  Canvas c(w, h);
  Color fill = Rgb(0xFFFDF4), line = Rgb(0x8A7A5A);
  float bx = tail == 0 ? m : 2, by = tail == 1 ? m : 2, bw = w - m - 4, bh = h - m - 4;
  if (tail == 1 || tail == 3) bw = w - 4;
  if (tail == 0 || tail == 2) bh = h - 4;
  SoftShadow(c, bx + 2, by + 2, bw, bh, 14, 1.5f, Rgb(0x000000, 90));
  RoundRect(c, bx, by, bw, bh, 14, fill, Rgb(0xF3EAD3));
  RoundRectLine(c, bx, by, bw, bh, 14, 1.5f, line);
  float tx[3], ty[3];
  switch (tail) {
    case 0:
      tx[0] = 1, ty[0] = h * 0.7f, tx[1] = bx + 1, ty[1] = h * 0.5f, tx[2] = bx + 1,
      ty[2] = h * 0.72f;
      break;
    case 1:
      tx[0] = w * 0.3f, ty[0] = 1, tx[1] = w * 0.25f, ty[1] = by + 1, tx[2] = w * 0.45f,
      ty[2] = by + 1;
      break;
    case 2:
      tx[0] = w - 1, ty[0] = h * 0.7f, tx[1] = bx + bw - 1, ty[1] = h * 0.5f, tx[2] = bx + bw - 1,
      ty[2] = h * 0.72f;
      break;
    default:
      tx[0] = w * 0.3f, ty[0] = h - 1, tx[1] = w * 0.25f, ty[1] = by + bh - 1, tx[2] = w * 0.45f,
      ty[2] = by + bh - 1;
      break;
  }
  for (int i = 0; i < 12; ++i) {  // fill the tail with a fan of lines
    float t = i / 11.0f;
    Line(c, tx[0], ty[0], tx[1] + (tx[2] - tx[1]) * t, ty[1] + (ty[2] - ty[1]) * t, 2, fill);
  }
  Line(c, tx[0], ty[0], tx[1], ty[1], 1.5f, line);
  Line(c, tx[0], ty[0], tx[2], ty[2], 1.5f, line);
  return c;
}

Canvas Dialog(Fonts& f, int w, int h) {
  Canvas c(w, h);
  // Dark wood, so the dialogs' light yellow text reads on it.
  RoundRect(c, 0, 0, w, h, 0, Rgb(0x6B4526), Rgb(0x3E2714));
  RoundRect(c, 0, 0, w, 26, 0, Rgb(0x2E8A52), Rgb(0x17502F));
  Text(c, f, "退出", 8, 4, 60, 18, TextStyle{.color = Rgb(0xFFFFFF), .bold = true}, 14);
  RoundRectLine(c, 0, 0, w, h, 0, 2, Rgb(0xC8963C));
  return c;
}

Canvas ReadyMark(Fonts& f) {
  // A cheerful standing tile with a face, raising a hand in a V.
  Canvas c(142, 158);
  Canvas face(90, 112);
  Text(face, f, "OK", 10, 62, 70, 40, TextStyle{.color = kRed, .bold = true}, 40);
  Canvas tile = StandingTile(96, 130, 8, &face, false);
  c.Draw(tile, 14, 22);
  Circle(c, 45, 62, 5, kInk);
  Circle(c, 80, 62, 5, kInk);
  Circle(c, 46.5f, 60.5f, 1.6f, Rgb(0xFFFFFF));
  Circle(c, 81.5f, 60.5f, 1.6f, Rgb(0xFFFFFF));
  Line(c, 52, 76, 62, 82, 3, kRed);
  Line(c, 62, 82, 72, 76, 3, kRed);
  // Arm and the two raised fingers.
  Line(c, 108, 86, 124, 52, 9, Rgb(0xF6D3B3));
  Line(c, 124, 52, 116, 14, 7, Rgb(0xF6D3B3));
  Line(c, 124, 52, 136, 16, 7, Rgb(0xF6D3B3));
  Circle(c, 124, 54, 9, Rgb(0xF6D3B3));
  return c;
}

Canvas Badge(Fonts& f, const std::string& text) {
  Canvas c(80, 29);
  RoundRect(c, 0, 0, 80, 29, 6, kGold, Rgb(0xA8741C));
  RoundRect(c, 2.5f, 2.5f, 75, 24, 4, Rgb(0x1A1A1A), Rgb(0x000000));
  // The value label stands 48 pixels into the badge at the earliest (a
  // three-digit wealth value); its digits follow the ×, never cover it.
  Text(c, f, text, 3, 4, 36, 21, TextStyle{.color = Rgb(0xFFE082), .bold = true}, 16);
  Text(c, f, "×", 39, 4, 8, 21, TextStyle{.color = Rgb(0x4CE27E), .bold = true}, 14);
  return c;
}

// The chat history, the quick phrases and the settings dialog: a caption
// band over a panel that the lists or switches cover.
Canvas ChatPanel(Fonts& f, int w, int h, const std::string& caption, Color band) {
  Canvas c(w, h);
  RoundRect(c, 0, 0, w, h, 0, Rgb(0x24303A), Rgb(0x121A20));
  RoundRect(c, 0, 0, w, 16, 0, Lighter(band, 0.2f), band);
  Text(c, f, caption, 8, 1, 90, 14, TextStyle{.color = Rgb(0xFFFFFF), .bold = true}, 11);
  Text(c, f, "×", w - 22, 1, 14, 14, TextStyle{.color = Rgb(0xFFE082), .bold = true}, 11);
  RoundRectLine(c, 0, 0, w, h, 0, 2, kGold);
  return c;
}

void DrawChatWindows(Output& out, Fonts& f) {
  SaveJpeg(out, "talk_back", ChatPanel(f, 320, 180, "聊天记录", Rgb(0x1F6A8A)));
  SaveJpeg(out, "huifu_back", ChatPanel(f, 319, 180, "快捷短语", Rgb(0x2E8A52)));
  Canvas settings(220, 365);
  RoundRect(settings, 0, 0, 220, 365, 0, Rgb(0xF7EBD0), Rgb(0xE6D2A8));
  RoundRect(settings, 0, 0, 220, 28, 0, Rgb(0x2E8A52), Rgb(0x17502F));
  Text(settings, f, "音效设置", 10, 4, 90, 20, TextStyle{.color = Rgb(0xFFFFFF), .bold = true}, 15);
  RoundRectLine(settings, 0, 0, 220, 365, 0, 2, kWood);
  SaveJpeg(out, "settings_back", settings);
  const char* titles[] = {"背景音乐", "系统声音", "功能声音", "方言选择", "视频功能"};
  for (int i = 0; i < 5; ++i) {
    Canvas title(91, 35);
    RoundRect(title, 0, 0, 91, 35, 6, Rgb(0x8E5A2E), Rgb(0x5E3A1C));
    Text(title, f, titles[i], 6, 5, 79, 25, TextStyle{.color = Rgb(0xFFF3D6), .bold = true}, 16);
    SaveGif(out, "settings_title_" + std::to_string(i), title);
  }
}

// A record board: a thin lacquered frame around parchment, the title banner
// at the top and two close marks at the top right (x0, x1 and their size,
// pixels). The board's lists reach to 6 pixels from its right and bottom
// edges, so the frame stays within 3; the banner ends above `banner_bottom`,
// where the first controls begin.
Canvas Board(Fonts& f, int w, int h, const std::string& title, int x0, int x1, int bw, int bh,
             int banner_bottom) {
  constexpr float kFrame = 3;
  Canvas c(w, h);
  RoundRect(c, 0, 0, w, h, 0, Rgb(0x8E2A1A), Rgb(0x5E160C));
  RoundRect(c, kFrame, kFrame, w - 2 * kFrame, h - 2 * kFrame, 4, Rgb(0xF7EBD0), Rgb(0xE6D2A8));
  RoundRectLine(c, kFrame, kFrame, w - 2 * kFrame, h - 2 * kFrame, 4, 1, Rgb(0xC8A874));
  const float banner = static_cast<float>(banner_bottom) - 2 - kFrame;
  RoundRect(c, w / 2.0f - 80, kFrame, 160, banner, 6, kGold, Rgb(0xA8741C));
  Text(c, f, title, w / 2.0f - 70, kFrame + 1, 140, banner - 2,
       TextStyle{.color = Rgb(0x7A1414), .bold = true}, 20);
  const char* marks[] = {"－", "×"};
  int xs[] = {x0, x1};
  for (int i = 0; i < 2; ++i) {
    RoundRect(c, xs[i], 8, bw, bh, 4, Rgb(0xB84A32), Rgb(0x7A2012));
    RoundRectLine(c, xs[i] + 0.5f, 8.5f, bw - 1.0f, bh - 1.0f, 4, 1, Rgb(0xFFC27A));
    Text(c, f, marks[i], xs[i] + 2.0f, 9, bw - 4.0f, bh - 2.0f,
         TextStyle{.color = Rgb(0xFFFFFF), .bold = true}, 16);
  }
  return c;
}

// A speech bubble per seat: its body holds the two lines of the phrase
// label (140 pixels wide, 10.5 points) where the window puts it at either
// scale, the tail points at the seat, and a body no larger than that keeps
// the bubble off the compass and the badges beside the left seat.
void DrawSpeechBubbles(Output& out) {
  struct Place {
    float left, top;  // the label in the bubble, twips at the full scale
    int tail;
  };
  const Place places[] = {{260, 180, 3}, {570, 350, 1}, {450, 620, 1}, {270, 470, 2}};
  constexpr float kSmall = 0.78125f, kTextWidth = 140, kTextHeight = 34;
  for (int seat = 0; seat < 4; ++seat) {
    const Place& p = places[seat];
    const float x0 = p.left * kSmall / 15 - 6, x1 = p.left / 15 + kTextWidth + 6;
    const float y0 = p.top * kSmall / 15 - 6, y1 = p.top / 15 + kTextHeight + 6;
    const float m = 12;
    const int w = static_cast<int>(std::ceil(x1 + (p.tail == 2 ? m + 2 : 2)));
    const int h = static_cast<int>(std::ceil(y1 + (p.tail == 3 ? m + 2 : 2)));
    Canvas c(w, h);
    Canvas body =
        Bubble(static_cast<int>(std::ceil(x1 - x0)) + (p.tail % 2 == 0 ? 14 : 4),
               static_cast<int>(std::ceil(y1 - y0)) + (p.tail % 2 == 1 ? 14 : 4), p.tail, m);
    c.Draw(body, static_cast<int>(x0) - (p.tail == 0 ? 12 : 2),
           static_cast<int>(y0) - (p.tail == 1 ? 12 : 2));
    SaveGif(out, "speak_box_" + std::to_string(seat), c);
  }
}

void DrawNamed(Output& out, Fonts& f) {
  std::string saved = out.folder;
  out.folder += "/named";
  std::filesystem::create_directories(out.folder);
  SaveJpeg(out, "table_1024", Felt(1024, 768));
  SaveJpeg(out, "table_800", Felt(800, 600));
  {
    // The frame is cut from this in nine pieces: 8-pixel edges, a 20-pixel
    // caption band, an orange outer line, a tan centre that is never used.
    Canvas skin(46, 220, Rgb(0xFF8C1A));
    RoundRect(skin, 1, 1, 44, 218, 0, Rgb(0x8E2A1A), Rgb(0x5E160C));
    RoundRect(skin, 1, 1, 44, 19, 0, Rgb(0xA8382A), Rgb(0x6E1A10));
    RoundRect(skin, 8, 20, 30, 192, 0, Rgb(0xD8BC8C), Rgb(0xC8A874));
    SaveGif(out, "window_skin", skin);
    // Caption buttons: normal, hover, pressed.
    const Color faces[3][2] = {{Rgb(0xB84A32), Rgb(0x7A2012)},
                               {Rgb(0xF0873A), Rgb(0xB8501C)},
                               {Rgb(0x6E1A10), Rgb(0x9A3222)}};
    for (int i = 0; i < 3; ++i) {
      Canvas min(17, 15, Rgb(0x6E1A10)), close(17, 15, Rgb(0x6E1A10));
      for (Canvas* c : {&min, &close}) {
        RoundRect(*c, 0, 0, 17, 15, 3, faces[i][0], faces[i][1]);
        RoundRectLine(*c, 0.5f, 0.5f, 16, 14, 3, 1, Rgb(0xFFC27A));
      }
      Line(min, 5, 10, 12, 10, 2, Rgb(0xFFFFFF));
      Line(close, 5, 4, 12, 11, 1.8f, Rgb(0xFFFFFF));
      Line(close, 12, 4, 5, 11, 1.8f, Rgb(0xFFFFFF));
      SaveGif(out, "caption_min_" + std::to_string(i), min);
      SaveGif(out, "caption_close_" + std::to_string(i), close);
    }
  }
  SaveJpeg(out, "dialog_exit", Dialog(f, 320, 180));
  SaveJpeg(out, "dialog_reconnect", Dialog(f, 277, 200));
  // The claim bubbles hold a 56-58 pixel caption from 0.17 of their width and
  // 0.24 of their height; the right seat's, at 936 of the table's 1024 (731 of
  // 800), must end inside the table.
  // The side seats' bodies start 19 lower, where the caption starts, so the
  // left one stays clear of the dice badge and the left seat's clock above
  // it on the small table.
  for (int i = 0; i < 3; ++i) {
    Canvas bubble(68, 80);
    if (i == 1)
      bubble = Bubble(68, 80, 1, 5);
    else
      bubble.Draw(Bubble(68, 61, i == 0 ? 0 : 2, 5), 0, 19);
    SaveGif(out, "claim_bubble_" + std::to_string(i), bubble);
  }
  DrawSpeechBubbles(out);
  {
    Canvas plate(81, 38);
    RoundRect(plate, 0, 0, 81, 38, 6, Rgb(0xA86B35), Rgb(0x6B3F1C));
    RoundRect(plate, 4, 4, 73, 30, 4, Rgb(0xFFF3D6), Rgb(0xEAD9B0));
    Text(plate, f, "时间", 6, 6, 32, 26, TextStyle{.color = kWood, .bold = true}, 18);
    SaveGif(out, "time_plate", plate);
  }
  SaveGif(out, "dealer_badge", Medal(f, 40, 40, "庄", kGold, kRed, Rgb(0xFFFFFF)));
  SaveGif(out, "ready_mark", ReadyMark(f));
  {
    Canvas box(74, 130);
    RoundRect(box, 0, 0, 74, 130, 8, kGold, Rgb(0xA8741C));
    RoundRect(box, 4, 26, 66, 100, 5, Rgb(0x000000), Rgb(0x000000));
    Text(box, f, "百搭", 6, 3, 62, 22, TextStyle{.color = Rgb(0x7A1414), .bold = true}, 18);
    SaveGif(out, "wild_box", box);
  }
  {
    Canvas bird(82, 80);
    Ellipse(bird, 30, 48, 22, 24, Rgb(0xFFB300));
    Circle(bird, 30, 26, 15, Rgb(0xFFC83D));
    Circle(bird, 35, 23, 3, kInk);
    Line(bird, 44, 27, 52, 29, 4, Rgb(0xE65100));
    Ellipse(bird, 22, 50, 10, 14, Rgb(0xF39C12));
    for (int i = 0; i < 3; ++i) {
      Circle(bird, 40 + i * 4.0f, 66 - i * 5.0f, 7, kGold);
      Ring(bird, 40 + i * 4.0f, 66 - i * 5.0f, 5, 1, Rgb(0xA8741C));
    }
    TextStyle brand{.color = kRed, .bold = true, .outline = 1.5f, .outline_color = Rgb(0xFFFFFF)};
    Text(bird, f, "雀", 56, 12, 25, 28, brand);
    Text(bird, f, "友", 56, 42, 25, 28, brand);
    SaveGif(out, "bird", bird);
  }
  // The banners end where the avatars begin (Score 32, Hero 24 pixels down).
  SaveGif(out, "score_board", Board(f, 640, 480, "战 绩 板", 592, 616, 25, 25, 32));
  SaveJpeg(out, "hero_board", Board(f, 655, 454, "英 雄 榜", 600, 624, 25, 17, 24));
  SaveGif(out, "dice_badge", Badge(f, "骰子加倍"));
  SaveGif(out, "wealth_badge", Badge(f, "财富加倍"));
  {
    Canvas strip(394, 39);
    RoundRect(strip, 0, 0, 394, 39, 0, Rgb(0x5C3517), Rgb(0x3A2312));
    // The two phrase buttons stacked at the left under their click areas
    // (57 x 13 at 8, 5 and 8, 21), the words, then the box of the room name.
    // Their words fill the button's height, without an outline, so they
    // still read when the small table shrinks the strip.
    for (int i = 0; i < 2; ++i) {
      const float y = 4 + 16.0f * i;
      RoundRect(strip, 8, y, 58, 15, 4, kAmber.top, kAmber.bottom);
      RoundRectLine(strip, 8, y, 58, 15, 4, 1, kAmber.outline);
      Text(strip, f, i == 0 ? "短语1" : "短语2", 10, y + 1, 54, 13,
           TextStyle{.color = Rgb(0x3A1A04), .bold = true});
    }
    Text(strip, f, "当前位置", 68, 8, 52, 22, TextStyle{.color = Rgb(0xFFE9A8), .bold = true}, 13);
    RoundRect(strip, 124, 6, 264, 27, 2, Rgb(0x000000), Rgb(0x000000));
    SaveGif(out, "phrase_strip", strip);
  }
  {
    Canvas frame(126, 105);
    RoundRect(frame, 0, 0, 126, 105, 0, Rgb(0x4F79B0), Rgb(0x1A2F4C));
    RoundRect(frame, 4, 4, 118, 97, 2, Rgb(0x05080C), Rgb(0x0B1118));
    SaveJpeg(out, "video_frame", frame);
    Canvas bar0(85, 16);
    RoundRect(bar0, 0, 0, 85, 16, 0, Rgb(0x4F79B0), Rgb(0x2B4A73));
    SaveJpeg(out, "video_bar_own", bar0);
    Canvas bar(145, 17);
    RoundRect(bar, 0, 0, 145, 17, 3, Rgb(0x4F79B0), Rgb(0x2B4A73));
    SaveGif(out, "video_bar", bar);
    SaveGif(out, "video_open", Icon(16, 14, 0, false));
    // The zoom windows' own buttons.
    SaveGif(out, "zoom_close", Icon(17, 16, 5, false));
    SaveGif(out, "zoom_enlarge", Icon(17, 16, 6, false));
    SaveGif(out, "zoom_shrink", Icon(17, 16, 7, false));
  }
  {
    // The player card: a title band and nine ruled rows, 32 pixels apart
    // from y = 40, a caption column at 24 and values from 128.
    Canvas card(220, 330);
    RoundRect(card, 0, 0, 220, 330, 0, Rgb(0x2A1A0E), Rgb(0x140C06));
    RoundRect(card, 0, 0, 220, 30, 0, Rgb(0xA8382A), Rgb(0x6E1A10));
    Text(card, f, "玩家信息", 8, 5, 90, 20, TextStyle{.color = Rgb(0xFFE9A8), .bold = true}, 15);
    for (int k = 0; k < 9; ++k) {
      const float y = 38 + 32.0f * k;
      RoundRect(card, 8, y, 204, 26, 4, Rgb(0x4A3020), Rgb(0x3A2414));
      Line(card, 118, y + 4, 118, y + 22, 1, Rgb(0x8E6A40));
    }
    RoundRectLine(card, 0.5f, 0.5f, 219, 329, 0, 2, kGold);
    SaveJpeg(out, "player_card", card);
    // The seat-change notice: a dark banner whose caption the client writes
    // on the left, two tiles changing places on the right.
    Canvas notice(420, 44);
    RoundRect(notice, 0, 0, 420, 44, 8, Rgb(0x3A2312), Rgb(0x1E120A));
    RoundRectLine(notice, 1, 1, 418, 42, 7, 2, kGold);
    for (int i = 0; i < 2; ++i) {
      const float x = 338.0f + i * 34;
      RoundRect(notice, x, 9, 20, 26, 3, Rgb(0xFFFDF3), Rgb(0xE8DDC0));
      RoundRectLine(notice, x, 9, 20, 26, 3, 1, Rgb(0x6B5A3A));
      Circle(notice, x + 10, 22, 4, i == 0 ? kRed : Rgb(0x1F7A3D));
    }
    Line(notice, 360, 8, 370, 4, 2, Rgb(0xFFE082));
    Line(notice, 370, 4, 368, 11, 2, Rgb(0xFFE082));
    Line(notice, 370, 36, 360, 40, 2, Rgb(0xFFE082));
    Line(notice, 360, 40, 362, 33, 2, Rgb(0xFFE082));
    SaveGif(out, "shuffle_notice", notice);
  }
  DrawChatWindows(out, f);
  out.folder = saved;
}

// All pictures side by side on felt, for a person to judge.
Canvas ContactSheet(const std::vector<Canvas>& pictures, int width) {
  int x = 4, y = 4, row = 0;
  std::vector<std::pair<int, int>> at;
  for (const Canvas& p : pictures) {
    if (x + p.w + 4 > width) x = 4, y += row + 4, row = 0;
    at.emplace_back(x, y);
    x += p.w + 4;
    row = std::max(row, p.h);
  }
  Canvas sheet(width, y + row + 4, kFelt);
  for (size_t i = 0; i < pictures.size(); ++i) sheet.Draw(pictures[i], at[i].first, at[i].second);
  return sheet;
}

// The table as a player sees it: felt, the own hand standing, discards lying
// face up in every view, the wall's backs, a few widgets.
Canvas TablePreview(Fonts& f) {
  Canvas t = Felt(1024, 768);
  auto tile = [&](int view, int suit, int rank) { return TilePicture(f, view, suit, rank); };
  for (int i = 0; i < 14; ++i) t.Draw(tile(4, 1 + i / 5 % 3, 1 + (i * 4) % 9), 150 + i * 50, 680);
  for (int i = 0; i < 15; ++i) t.Draw(tile(0, 0, 9), 305 + i * 34, 476);
  for (int i = 0; i < 12; ++i)
    t.Draw(tile(0, i % 4, 1 + i % 7), 300 + (i % 8) * 50, 380 + (i / 8) * 58);
  for (int i = 0; i < 10; ++i) t.Draw(tile(2, (i + 1) % 4, 1 + (i * 2) % 7), 380 + i * 34, 250);
  for (int i = 0; i < 13; ++i) t.Draw(tile(2, 0, 8), 290 + i * 34, 110);
  for (int i = 0; i < 8; ++i) t.Draw(tile(1, (i + 2) % 4, 1 + i), 180, 230 + i * 40);
  for (int i = 0; i < 8; ++i) t.Draw(tile(3, (i + 3) % 4, 9 - i), 780, 230 + i * 40);
  t.Draw(Die(50, 56, 5), 600, 560);
  t.Draw(Die(50, 56, 3), 655, 560);
  return t;
}

}  // namespace
}  // namespace artgen

int main(int argc, char** argv) {
  using namespace artgen;
  if (argc < 2) {
    std::fprintf(stderr, "usage: slvn-art-gen ASSETS_FOLDER [CONTACT_SHEET.png]\n");
    return 2;
  }
  if (SDL_Init(0) != 0 || TTF_Init() != 0 || IMG_Init(IMG_INIT_JPG | IMG_INIT_PNG) == 0) {
    std::fprintf(stderr, "slvn-art-gen: SDL start failed: %s\n", SDL_GetError());
    return 1;
  }
  int status = 0;
  try {
    Fonts fonts(kFont);
    Output out{argv[1], {}};
    std::filesystem::create_directories(out.folder);
    DrawTiles(out, fonts);
    DrawBarButtons(out, fonts);
    DrawDialogButtons(out, fonts);
    DrawClaimButtons(out, fonts);
    DrawDice(out);
    DrawCompass(out, fonts);
    DrawBadges(out, fonts);
    DrawClaimCaptions(out, fonts);
    DrawAvatars(out);
    DrawFloatBet(out, fonts);
    DrawVideo(out, fonts);
    DrawStreak(out, fonts);
    std::vector<Canvas> numbered = std::move(out.sheet);
    DrawNamed(out, fonts);
    if (argc > 2) {
      WritePng(argv[2], ContactSheet(numbered, 1000));
      WritePng(std::string(argv[2]) + ".named.png", ContactSheet(out.sheet, 1400));
      WritePng(std::string(argv[2]) + ".table.png", TablePreview(fonts));
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "slvn-art-gen: %s\n", e.what());
    status = 1;
  }
  IMG_Quit();
  TTF_Quit();
  SDL_Quit();
  return status;
}
