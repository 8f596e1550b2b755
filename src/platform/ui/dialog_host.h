// Who runs a dialog of the UI kit: the modal loop that feeds a dialog its input until its owner
// ends it. The SDL host draws it over the game's window and reads the keyboard, mouse, joysticks
// and the IME; the scripted host plays a prepared list of steps, for tests and unattended runs.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/scoped_backend.h"
#include "platform/ui/dialog_model.h"

namespace t4::platform::ui {

class DialogHost {
 public:
  virtual ~DialogHost() = default;
  // The frame the dialog is drawn in, as the screen sees it: 640 x 480.
  static constexpr int FRAME_W = 640;
  static constexpr int FRAME_H = 480;
  // Window thread: runs the dialog until `done()` holds or the host gives up on it, calling
  // `serve` between inputs so that the thread's messages are handled meanwhile.
  virtual void RunModal(DialogModel& model, const std::function<bool()>& done, const std::function<void()>& serve) = 0;
};

// What a dialog looked like when its first step ran: for tests to check what it opened with.
struct DialogSnapshot {
  int resourceId = 0;
  std::string caption;
  int focus = 0;
  Rect window;
  int cursorX = -1;  // where the pointer was put (frame coordinates)
  int cursorY = -1;
  int clientX = 0;  // frame coordinates of the client area
  int clientY = 0;
  std::vector<ControlState> controls;
  const ControlState* Find(int id) const;
};

// Plays steps in order, across the dialogs it runs. When the steps run out while a dialog is
// still open, it presses the default button once, as an unattended message box takes its default
// button; if that does not end the dialog, it closes it.
class ScriptedDialogHost final : public DialogHost {
 public:
  using Step = std::function<void(DialogModel&)>;

  void RunModal(DialogModel& model, const std::function<bool()>& done, const std::function<void()>& serve) override;

  void Queue(Step step) { m_steps.push_back(std::move(step)); }
  // The usual steps. A key is pressed and let go, with the key table showing it down meanwhile.
  void Key(int vk, bool shift = false);
  void Type(std::string textSjis);
  void Compose(std::string textSjis);
  void Click(int id);
  void Close();

  const std::vector<DialogSnapshot>& Seen() const { return m_seen; }
  size_t StepsLeft() const { return m_steps.size(); }

 private:
  std::deque<Step> m_steps;
  std::vector<DialogSnapshot> m_seen;
};

// The host of this run; without one installed, a scripted host with no steps.
void SetDialogHost(DialogHost* host);
DialogHost& GetDialogHost();
using ScopedDialogHost = ScopedBackend<DialogHost, SetDialogHost>;

}  // namespace t4::platform::ui
