// The main window as the window procedure sees it: placement, title, showing, and the window
// system's events turned into the window messages of the message layer. The SDL host drives a
// real window; the headless host stands still and only reports its first show as activation.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "platform/present/display.h"
#include "platform/win_types.h"

namespace t4::platform {

class SdlDisplay;

struct WindowPlacement {
  int x = 0;
  int y = 0;
  int clientWidth = SCREEN_WIDTH;
  int clientHeight = SCREEN_HEIGHT;
  bool minimised = false;
  bool maximised = false;
};

class WindowHost {
 public:
  virtual ~WindowHost() = default;
  virtual void SetTitle(std::string_view titleSjis) = 0;
  virtual WindowPlacement Placement() const = 0;
  virtual void MoveTo(int x, int y) = 0;
  virtual void SetClientSize(int width, int height) = 0;
  // A window the player may size with its frame; the picture is scaled to fit it.
  virtual void SetResizable(bool resizable) = 0;
  // The desktop area windows may use.
  virtual RECT WorkArea() const = 0;
  // Shows the window; the application counts as active from here on.
  virtual void Show(HWND hWnd, bool maximised) = 0;
  // Window thread: turns what happened since the last call into messages for `hWnd` and shows the
  // newest frame.
  virtual void Pump(HWND hWnd) = 0;
};

class HeadlessWindowHost final : public WindowHost {
 public:
  void SetTitle(std::string_view titleSjis) override { m_title = titleSjis; }
  WindowPlacement Placement() const override { return m_placement; }
  void MoveTo(int x, int y) override;
  void SetClientSize(int width, int height) override;
  void SetResizable(bool) override {}
  RECT WorkArea() const override { return RECT{0, 0, 3200, 2400}; }
  void Show(HWND hWnd, bool maximised) override;
  void Pump(HWND) override {}
  const std::string& Title() const { return m_title; }

 private:
  std::string m_title;
  WindowPlacement m_placement;
};

class SdlWindowHost final : public WindowHost {
 public:
  explicit SdlWindowHost(SdlDisplay& display);
  ~SdlWindowHost() override;
  void SetTitle(std::string_view titleSjis) override;
  WindowPlacement Placement() const override;
  void MoveTo(int x, int y) override;
  void SetClientSize(int width, int height) override;
  void SetResizable(bool resizable) override;
  RECT WorkArea() const override;
  void Show(HWND hWnd, bool maximised) override;
  void Pump(HWND hWnd) override;

 private:
  void OpenJoystick(int deviceIndex);
  void CloseJoystick(int32_t instanceId);

  SdlDisplay& m_display;
  // Joystick instance id -> slot of the joystick table; slots are reused after an unplug.
  std::map<int32_t, int> m_joySlots;
  std::map<int32_t, void*> m_joyHandles;
};

}  // namespace t4::platform
