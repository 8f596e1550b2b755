// The dialog host of a run with a screen: draws the dialog over the game's last frame in the SDL
// window and feeds it the keyboard (with the key table kept current), typed and composed text of
// the system's input method (UTF-8 turned into Shift-JIS), the clipboard on Ctrl+V, mouse clicks
// and the joysticks.
#pragma once

#include <functional>

#include "platform/present/display.h"
#include "platform/ui/dialog_host.h"

namespace t4::platform {
class SdlDisplay;
}

namespace t4::platform::ui {

class SdlDialogHost final : public DialogHost {
 public:
  // `background` gives the frame the dialog is drawn over (an empty frame: black).
  SdlDialogHost(SdlDisplay& display, std::function<Frame()> background)
      : m_display(display), m_background(std::move(background)) {}
  void RunModal(DialogModel& model, const std::function<bool()>& done, const std::function<void()>& serve) override;

 private:
  SdlDisplay& m_display;
  std::function<Frame()> m_background;
};

}  // namespace t4::platform::ui
