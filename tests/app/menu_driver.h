// Drives the menu scenes headless, frame by frame, in a copy of the demo project: the stage
// harness's project, drawing layer and clock, the program's scene factory, and a main window that
// records sounds, music, close requests and answers the file and name requests as a test says.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/stage_harness.h"

namespace t4::test {

class MenuDriver {
 public:
  // Starts the run at scene `scene` (created and entered by the first frame).
  explicit MenuDriver(int scene = 0);
  // The same with the drawing layer in `mode` and the project's palette (see StageHarness).
  MenuDriver(int scene, const DDMode& mode);
  ~MenuDriver();
  MenuDriver(const MenuDriver&) = delete;
  MenuDriver& operator=(const MenuDriver&) = delete;

  // One frame with player 0's direction and button words.
  void Frame(int16_t dir = 0, int16_t buttons = 0);
  void Frames(int n) {
    for (int i = 0; i < n; ++i) Frame();
  }
  // A key pressed for one frame, then released for one.
  void Press(int16_t dir) {
    Frame(dir, 0);
    Frame();
  }
  void Button(int16_t buttons) {
    Frame(0, buttons);
    Frame();
  }
  // Frames until the current scene's state is `state` (at most `limit`); false when it never is.
  bool RunUntilState(int state, int limit = 60);
  // Frames until `scene` is current and in `state`.
  bool RunUntilScene(int scene, int state, int limit = 120);

  int Scene() const;
  int State() const;
  int Row() const;
  const std::vector<int>& Sounds() const { return m_Sounds; }
  void ClearSounds() { m_Sounds.clear(); }
  int CloseRequests() const { return m_nCloseRequests; }
  const std::vector<int>& MusicSlots() const { return m_MusicSlots; }
  platform::ScriptedMessageBoxBackend& Boxes() { return m_Harness->Boxes(); }
  const std::filesystem::path& ProjectDir() const { return m_Harness->ProjectDir(); }
  StageHarness& Harness() { return *m_Harness; }
  // Answers the stage and replay file requests (true: the file was loaded) and the name entry.
  void OnFileRequest(std::function<bool(unsigned msg)> answer) { m_FileAnswer = std::move(answer); }
  // A hash of the back buffer's pixels.
  uint64_t BackBufferHash();

 private:
  static LRESULT WindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void SetUp(int scene);

  std::unique_ptr<StageHarness> m_Harness;
  HWND m_hWnd = nullptr;
  std::vector<int> m_Sounds;
  std::vector<int> m_MusicSlots;
  int m_nCloseRequests = 0;
  std::function<bool(unsigned)> m_FileAnswer;
};

}  // namespace t4::test
