#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "anigif/ani_gif.h"
#include "platform/controls.h"

namespace slvn {

// The properties a form keeps for a control, by name.
using PropertyBag = std::map<std::string, StoredValue, std::less<>>;

// The animated GIF control on a form: a windowless picture control whose
// picture is the frame the control paints (and, in design mode, its dotted
// outline), at the control's size. It hands the form's notifications (shown,
// hidden, resized) and its click and mouse events to the control; the
// program uses Gif() for the control's properties, methods and events.
class AniGifBox : public ImageControl, public AniGifHost {
 public:
  // user_mode false puts the control in design mode.
  AniGifBox(Container* parent, EventLoop& loop, bool user_mode = true);

  ucAniGIF& Gif() { return gif_; }
  const ucAniGIF& Gif() const { return gif_; }

  void SetVisible(bool v) override;
  void ReadProperties(const PropertyBag& bag);
  void WriteProperties(PropertyBag& bag) const;

  // What the control asks of its host.
  bool UserMode() const override { return user_mode_; }
  int ScaleWidth() const override;
  int ScaleHeight() const override;
  void SizeTo(int width_px, int height_px) override;
  void Repaint() override;
  float ToContainerSize(float px, bool vertical) const override;
  float ToContainerPosition(float px, bool vertical) const override;
  bool Enabled() const override { return Control::Enabled(); }
  void SetEnabled(bool on) override { Control::SetEnabled(on); }
  slvn::Picture MouseIcon() const override { return mouse_icon_; }
  void SetMouseIcon(slvn::Picture icon) override { mouse_icon_ = std::move(icon); }
  int16_t MousePointer() const override { return static_cast<int16_t>(Control::MousePointer()); }
  bool SetMousePointer(int16_t pointer) override;
  // No designer watches the properties here.
  void PropertyChanged(std::string_view) override {}

 protected:
  void Resized() override;

 private:
  // The picture is the control's own drawing: the program sets the GIF
  // through Gif().
  using ImageControl::SetPicture;
  using ImageControl::SetStretch;
  float PixelsOf(double units) const;

  bool user_mode_;
  bool sizing_ = false;  // the control is setting its own size
  slvn::Picture mouse_icon_;
  ucAniGIF gif_;  // last: made after, and gone before, what it uses of its host
};

}  // namespace slvn
