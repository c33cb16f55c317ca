#pragma once

#include <array>
#include <memory>

#include "anigif/ani_gif_box.h"
#include "platform/controls.h"
#include "platform/forms.h"
#include "platform/timer.h"
#include "platform/web_pane.h"

namespace slvn {

struct Client;

// The main window: the table and everything on it. Its controls are named as
// the game names them; the layout procedures place them. The table area
// `Pic1` counts in pixels of the 1024 x 768 design table.
class MainForm : public Form {
 public:
  explicit MainForm(Forms& forms);

  Timer TimerBong;       // the heartbeat, every 50 ms
  Timer TimerKeepAlive;  // the keep-alive, every 5000 ms
  Timer TimerChat;       // reopens the chat line's flood gate after 800 ms
  // The chat line before a Backspace into the private prefix, and whether
  // the next change of the line drops that prefix.
  std::string BackspaceSavedText;
  bool PrefixErasePending = false;
  Timer TimerShuffle;  // 300 ms; the seat-change screen switches it, nothing handles it
  Timer TimerProp;     // the item label's time limit and the box steps

  // --- On the window itself (twips) ---
  PictureBox Pic1{this};                      // the table area
  PictureBox Pic2{this};                      // hidden: holds the 800 x 600 table background
  ControlArray<ImageControl> SZ_Image{this};  // hidden store of the 16 dice pictures
  ImageControl Skin{this};                    // hidden: the frame's skin bitmap
  ImageControl ImgIcon{this};
  Label lcaption{this};
  Label LbMove{this};                         // the caption's drag strip
  ControlArray<ImageControl> ImgMin{this};    // 0 shown; 1..3 normal, hover, pressed
  ControlArray<ImageControl> ImgClose{this};  // the same for the close button
  // True while both caption buttons show their normal pictures.
  bool CaptionHoverReady = true;

  // --- In the table area (pixels of Pic1) ---
  ImageControl Jokra{&Pic1};                // the wild-tile box
  ImageControl CV_Image{&Pic1};             // the wild tile in it
  ControlArray<ImageControl> Tou{&Pic1};    // avatars by display seat
  ControlArray<ImageControl> AnNiu{&Pic1};  // the button bar
  ControlArray<ImageControl> OK{&Pic1};     // ready marks
  ImageControl Bank{&Pic1};                 // the item warehouse button
  ImageControl img_lianLaiBack{&Pic1};
  // Placeholder of the animated-picture control of the wild-tile streak: it
  // is cleared and hidden and never shown.
  AniGifBox uc_lianLai{&Pic1, Registry().Loop()};  // the wild-tile streak, kept cleared and hidden
  ControlArray<Label> Nid{&Pic1};
  ControlArray<Label> Cash{&Pic1};
  ControlArray<Label> Level{&Pic1};

  ControlArray<ImageControl> img_piaoOpt{&Pic1};  // float-bet options 0..3
  ImageControl img_piaoKuang{&Pic1};              // float-bet frame
  ControlArray<Label> lbl_playerName{&Pic1};
  ControlArray<Label> lbl_piaoNum{&Pic1};
  ImageControl ZhiNan{&Pic1};  // compass
  ImageControl Time_Img{&Pic1};
  Label Number{&Pic1};                          // countdown digits
  ControlArray<ImageControl> Operation{&Pic1};  // claim buttons 0..4
  ControlArray<ImageControl> MJ_Image{&Pic1};   // the 120 tile images
  ControlArray<ImageControl> Sai_Image{&Pic1};  // the two rolling dice
  ImageControl Host{&Pic1};                     // dealer badge
  Label Zhuang{&Pic1};                          // dealer caption
  ControlArray<ImageControl> Speak{&Pic1};      // claim bubbles of seats 1..3
  ImageControl Words{&Pic1};                    // the claim caption
  ControlArray<ImageControl> Chi{&Pic1};        // chow choices 0..5
  ControlArray<ImageControl> Gang{&Pic1};       // kong choices 0..4
  ControlArray<ImageControl> ImgProp{&Pic1};    // item icons of the plug-in
  Label LbProp{&Pic1};                          // item effect caption
  Label Lbchat{&Pic1};                          // hot spot of the chat history
  ImageControl Bird{&Pic1};                     // backdrop of the first web pane
  Label Proponeself{&Pic1};                     // frame of the own video spot
  ImageControl imgBeishu{&Pic1};                // dice multiplier badge
  Label lblDifen{&Pic1};
  ImageControl Imgwealth{&Pic1};  // wealth multiplier badge
  Label lbwealth{&Pic1};
  ImageControl imgLocation{&Pic1};  // the quick-phrase and place strip, under its label
  Label Location{&Pic1};            // the room caption
  ImageControl imgword1{&Pic1};     // click areas over the strip's two phrase buttons
  ImageControl imgword2{&Pic1};
  // The seat-change screen: a picture and its caption, hidden until shown.
  ImageControl ImgShuffle{&Pic1};
  Label LblShuffle{&Pic1};
  ControlArray<ImageControl> imgsezi{&Pic1};  // the two small dice
  ControlArray<Label> lbfont{&Pic1};          // rule legend
  // Windowed controls of the table area, drawn over every image and label.
  ControlArray<ListBox> Sysmsg{&Pic1};  // the message strip: 0 upper, 1 lower line
  TextBox Chat{&Pic1};                  // the chat line
  WebBrowser WebBrowser1;
  WebBrowser WebBrowser2;
  // Placeholder of the camera picture over the own avatar.
  PictureBox vcap1{&Pic1};

  // --- Video chat (elements that exist from the start) ---
  ControlArray<ImageControl> ImgKuang{&Pic1};           // frames around the peers' video, 1..3
  ControlArray<PictureBox> vshow{&Pic1};                // where the peers' video shows, 1..3
  ControlArray<PictureBox> PicLocal{&Pic1};             // title bars 0..3, each holding four ImCmd
  std::array<std::unique_ptr<ImageControl>, 16> ImCmd;  // toolbar buttons; i in bar i / 4
  ControlArray<ImageControl> ImgShow{&Pic1};            // reopen buttons 0..3
  TextBox Tiplbl{&Pic1};                                // the own toolbar's tooltip
  Timer Timer_Vshow1{Registry().Loop()};                // one-shot redraws of seats 1-3
  Timer Timer_Vshow2{Registry().Loop()};
  Timer Timer_Vshow3{Registry().Loop()};
  Timer Timer_Zoom{Registry().Loop()};  // one-shot redraw of a zoom window
};

// Puts the pictures that belong to the window's own design into its
// controls (table backgrounds, frame skin, badges, design tiles). Start-up
// calls it once, before the window's geometry and the layout.
void LoadMainFormDesign(Client& client);

// The table area inside the painted frame where the window has one (tall:
// a frame above and below; wide: at the sides), else the whole window.
void PlaceTableArea(Client& client, bool tall, bool wide);
// The small screen: the 800 x 600 table picture, the dealer badge and
// caption at their small places, 8-point message strip, the compass.
void PrepareSmallLayout(Client& client);
// The full table: the dealer badge, its caption and the compass.
void PrepareFullLayout(Client& client);
// Whether the layout has created the run-time controls (tile images, dice
// store, claim buttons): the table procedures do nothing visible before it.
bool TableLaidOut(const MainForm& f);

// Paints the window's frame from the skin and places the caption buttons
// and the drag strip; start-up calls it when the window has a frame.
void PaintWindowSkin(Client& client);
// The caption buttons' handlers (element 0 only) and the handlers that put
// their normal pictures back.
void ImgClose_Click(Client& client, int index);
void ImgMin_Click(Client& client, int index);
void CaptionButton_MouseMove(MainForm& f, ControlArray<ImageControl>& button, int index);
void CaptionButton_MouseDown(ControlArray<ImageControl>& button, int index);
void CaptionButton_MouseUp(ControlArray<ImageControl>& button, int index);
void LbMove_MouseMove(MainForm& f);
void Form_MouseMove(MainForm& f);

}  // namespace slvn
