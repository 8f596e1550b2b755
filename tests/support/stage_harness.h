// Drives one stage headless, frame by frame: a copy of the demo project as the project folder,
// the headless drawing layer, a manual clock (whose time becomes the stage's seed), scripted
// message boxes and a main window that records what is posted or sent to it. Stages are built
// in code from rows of map characters, or loaded from a stage file.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/stage.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/present/display.h"
#include "platform/raster/device.h"
#include "support/dd_fixture.h"
#include "support/temp_dir.h"

class cScenePlay;
class cHero;
class cChara;

namespace t4::test {

// Map characters of StageFromRows: '#' solid block, '^' deadly block, 'H' the hero, 'w' a
// walking character, 'f' a flying character, 'c' an item, '.' nothing. Row 0 is the top.
cStage StageFromRows(const std::vector<std::string>& rows);
// The physics most play tests use: gravity 1, collision level `level` (11: one sub-step a frame),
// and hit boxes of 24 x 28 dots for the hero and the characters, aligned to their cells.
cStage WithPlainBodies(cStage stage, int level = 11);

class StageHarness {
 public:
  // `clockMs` is the millisecond timer at the stage's start, so the seed of a played stage. The
  // drawing layer runs in the render mode at 32 bits in a window, under a fully lit palette.
  explicit StageHarness(uint32_t clockMs = 1000);
  // The same in `mode` (render or blit mode, its depth, window or full screen; a window gets a
  // desktop of its depth), with the project's palette, transparent colour and, at 8 bits, the
  // mixing table and the hardware palette set as the program's start-up sets them.
  explicit StageHarness(const DDMode& mode, uint32_t clockMs = 1000);
  ~StageHarness();
  StageHarness(const StageHarness&) = delete;
  StageHarness& operator=(const StageHarness&) = delete;

  // Installs `stage` as the loaded stage (what the stage loader leaves) and creates the play
  // scene as a direct free-stage start, the way a test play starts.
  void Start(const cStage& stage);
  // Loads a stage file of the project folder through the program's loader, then starts it.
  bool StartFile(const std::string& path);
  // Starts the play scene as the title's replay item does once the replay file is loaded (the
  // stage record, its settings copy, the save data and the stored path are the file's): game mode
  // and title choice of replay playback, no test play.
  void StartPlayback();

  // One game frame with player 0's direction and button words: the play scene's update, drawing
  // included, then the posted messages are served.
  void Frame(int16_t dir = 0, int16_t buttons = 0);
  void Frames(int n, int16_t dir = 0, int16_t buttons = 0);
  // Keys read straight from the keyboard (the pause key, F1 / F2).
  void SetKey(int vk, bool down);
  // Runs frames with no input until the scene reaches `state` (at most `limit` frames); the number
  // of frames run, or -1.
  int RunUntilState(int state, int limit = 400);

  cScenePlay& Scene();
  cHero& Hero();
  std::vector<cChara*> Charas();
  int State();
  // Everything a frame can change, folded into one number.
  uint64_t Digest();

  int CloseRequests() const { return m_nCloseRequests; }
  // Frames presented to the display (the pause thread presents its own).
  int Presented() const { return m_Display.Inner().FrameCount(); }
  // The last frame presented, as the screen shows it (through the palette at 8 bits).
  const platform::Frame& LastFrame() const { return m_Display.Inner().LastFrame(); }
  // Runs after every presented frame, on the thread that presented it (the pause thread's frames
  // included), with the number of frames presented so far and the frame.
  void OnPresent(std::function<void(int, const platform::Frame&)> hook) { m_Display.SetHook(std::move(hook)); }
  const std::vector<long>& MusicRequests() const { return m_MusicRequests; }
  // Runs on the game thread inside every system-sound request, in the middle of the scene's frame.
  void OnSystemSound(std::function<void(int)> hook) { m_SoundHook = std::move(hook); }
  // Runs on the game thread in place of the name-entry dialog (which edits the play scene's
  // ranking name); the dialog then counts as closed.
  void OnNameEntry(std::function<void()> hook) { m_NameEntryHook = std::move(hook); }
  int NameEntries() const { return m_nNameEntries; }
  // Runs on the game thread in place of the main window's replay file requests (load and save,
  // with their wParam); the request then counts as done, with the flag the hook left in
  // g_bFileRequestOk. Without a hook every such request is refused.
  void OnFileRequest(std::function<void(UINT, WPARAM)> hook) { m_FileRequestHook = std::move(hook); }
  platform::ScriptedMessageBoxBackend& Boxes() { return m_Boxes; }
  platform::ManualClock& Clock() { return m_Clock; }
  const std::filesystem::path& ProjectDir() const { return m_Dir.Path(); }

 private:
  static LRESULT WindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void ServeMessages();
  void CreateScene();
  void SetUp(const DDMode& mode);

  // The headless display, with a hook on each present.
  class HookedDisplay final : public platform::Display {
   public:
    void PresentFrame(platform::Frame& frame) override {
      m_Inner.PresentFrame(frame);
      if (m_Hook) m_Hook(m_Inner.FrameCount(), m_Inner.LastFrame());
    }
    void SetFullScreen(bool fullScreen) override { m_Inner.SetFullScreen(fullScreen); }
    void ShowCursor(bool show) override { m_Inner.ShowCursor(show); }
    void Minimise() override { m_Inner.Minimise(); }
    void RestoreWindow() override { m_Inner.RestoreWindow(); }
    int DesktopBpp() const override { return m_Inner.DesktopBpp(); }
    void SetDesktop(int bpp, int refreshRate) { m_Inner.SetDesktop(bpp, refreshRate); }
    int RefreshRate() const override { return m_Inner.RefreshRate(); }
    const platform::HeadlessDisplay& Inner() const { return m_Inner; }
    void SetHook(std::function<void(int, const platform::Frame&)> hook) { m_Hook = std::move(hook); }

   private:
    platform::HeadlessDisplay m_Inner;
    std::function<void(int, const platform::Frame&)> m_Hook;
  };

  TempDir m_Dir;
  std::unique_ptr<ScopedCurrentDir> m_lpCwd;
  platform::ManualClock m_Clock;
  platform::ScriptedMessageBoxBackend m_Boxes;
  HookedDisplay m_Display;
  std::unique_ptr<platform::raster::GraphicsSystem> m_lpGraphics;
  platform::ScopedClock m_InstalledClock{m_Clock};
  platform::ScopedMessageBoxBackend m_InstalledBoxes{m_Boxes};
  std::optional<platform::raster::ScopedGraphicsSystem> m_InstalledGraphics;
  HWND m_hWnd = nullptr;
  int m_nCloseRequests = 0;
  std::vector<long> m_MusicRequests;
  std::function<void(int)> m_SoundHook;
  std::function<void()> m_NameEntryHook;
  int m_nNameEntries = 0;
  std::function<void(UINT, WPARAM)> m_FileRequestHook;
};

// The demo's palette and transparent colour as the program's start-up sets them in the drawing
// mode in use (at 8 bits also the mixing table and the hardware palette); false when a file of
// them cannot be read.
bool UseProjectPalette();

}  // namespace t4::test
