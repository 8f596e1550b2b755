#include "app/program.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <future>
#include <memory>
#include <sstream>

#include "stage/game.h"
#include "app/main_window.h"
#include "stage/private_messages.h"
#include "app/startup.h"
#include "audio/midi_output.h"
#include "core/globals.h"
#include "core/message_box.h"
#include "core/path_helpers.h"
#include "core/report_log.h"
#include "core/system_report.h"
#include "core/thread.h"
#include "data/data_file.h"
#include "data/data_refs.h"
#include "gfx/dd.h"
#include "platform/audio/audio_output.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/midi/fluid_midi_synth.h"
#include "platform/present/display.h"
#include "platform/present/sdl_display.h"
#include "platform/raster/device.h"
#include "platform/system_info.h"
#include "platform/text/rasterizer.h"
#include "platform/thread.h"
#include "platform/ui/sdl_dialog_host.h"
#include "platform/window/editor_link.h"
#include "platform/window/instance_lock.h"
#include "platform/window/window_host.h"
#include "platform/winapi.h"

namespace {

constexpr const char* INSTANCE_NAME = "ゲーム";
constexpr const char* DOUBLE_START_CAPTION = "二重起動";
// How long a second copy waits for the running one to close in order.
constexpr int TAKE_OVER_WAIT_MS = 5000;
// How long the end of the program waits for a worker that the close stopped waiting for (one
// still in a long frame, such as the title's loading right after start-up); well below the wait
// of a second copy that takes over.
constexpr int LEFT_THREAD_WAIT_MS = 3000;

// Hands every frame on, and keeps a copy of the last one when a screenshot is asked for.
class KeepingDisplay final : public t4::platform::Display {
 public:
  KeepingDisplay(t4::platform::Display& inner, bool bKeep) : m_inner(inner), m_bKeep(bKeep) {}
  void PresentFrame(t4::platform::Frame& frame) override {
    if (m_bKeep) {
      std::lock_guard lock(m_mutex);
      m_last = frame;
    }
    m_inner.PresentFrame(frame);
  }
  void SetFullScreen(bool b) override { m_inner.SetFullScreen(b); }
  void ShowCursor(bool b) override { m_inner.ShowCursor(b); }
  void Minimise() override { m_inner.Minimise(); }
  void RestoreWindow() override { m_inner.RestoreWindow(); }
  int DesktopBpp() const override { return m_inner.DesktopBpp(); }
  int RefreshRate() const override { return m_inner.RefreshRate(); }
  t4::platform::Frame Last() {
    std::lock_guard lock(m_mutex);
    return m_last;
  }

 private:
  t4::platform::Display& m_inner;
  bool m_bKeep;
  std::mutex m_mutex;
  t4::platform::Frame m_last;
};

// Every box is also written to stderr, so that errors reach a terminal and the logs of a test.
class EchoingBoxes final : public t4::platform::MessageBoxBackend {
 public:
  explicit EchoingBoxes(t4::platform::MessageBoxBackend& inner) : m_inner(inner) {}
  int Show(std::string_view text, std::string_view caption, UINT type) override {
    t4::platform::WriteMessageBoxToStderr(text, caption);
    return m_inner.Show(text, caption, type);
  }

 private:
  t4::platform::MessageBoxBackend& m_inner;
};

// Answers given in TARNWICK4_ANSWERS ("yes,no,ok"): the boxes of a scripted run.
void QueueScriptedAnswers(t4::platform::ScriptedMessageBoxBackend& boxes, const char* list) {
  std::stringstream in(list ? list : "");
  std::string word;
  while (std::getline(in, word, ',')) {
    if (word == "yes") boxes.QueueAnswer(IDYES);
    if (word == "no") boxes.QueueAnswer(IDNO);
    if (word == "ok") boxes.QueueAnswer(IDOK);
    if (word == "cancel") boxes.QueueAnswer(IDCANCEL);
  }
}

void CloseOnSignal() {
  if (g_hWnd) PostMessage(g_hWnd, WM_CLOSE, CLOSE_WITHOUT_QUESTION, 0);
}

// A worker thread that did not end in time is still drawing and playing with the game's objects:
// the release waits for it to finish its frame, so that a close during loading still ends in
// order; one that runs on leaves them to the end of the process instead of having them released
// under it.
void ReleaseGameUnlessAbandoned() {
  if (t4::platform::WaitForAbandonedThreads(LEFT_THREAD_WAIT_MS))
    ExitGame();
  else
    WriteReportLog("a thread did not end; the game's objects are left to the end of the process");
}

bool ParseInt(const char* text, int lo, int hi, int& out) {
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (!text[0] || *end || v < lo || v > hi) return false;
  out = static_cast<int>(v);
  return true;
}

// Whether the single-instance check lets this copy start: -1 to go on, else the exit status.
int CheckSingleInstance(t4::platform::InstanceLock& lock) {
  if (lock.TryAcquire()) return -1;
  if (lock.Unavailable()) {
    WriteReportLogAndStderrF("cannot create the single-instance lock %s", lock.Path().c_str());
    return 1;
  }
  if (ShowMessageBox(
          "既に起動しています。\n実行中のプログラムを閉じて再起動しますか？\n\nWould you like to restart the game?",
          DOUBLE_START_CAPTION, MB_YESNO) != IDYES)
    return 0;
  const int pid = lock.RunningProcessId();
  // A running copy without its window yet cannot be asked: this copy simply starts too.
  if (pid == 0) return -1;
  if (!t4::platform::AskProcessToClose(pid)) {
    ShowMessageBox("プログラムの終了に失敗しました。", DOUBLE_START_CAPTION, MB_OK);
    return 0;
  }
  // A copy that does not close in time keeps running: a second one would share its files.
  if (lock.AcquireWithin(TAKE_OVER_WAIT_MS)) return -1;
  WriteReportLogAndStderrF("the running copy did not close within %d seconds; not starting a second one",
                           TAKE_OVER_WAIT_MS / 1000);
  return 1;
}

bool StartGameThread() {
  g_bGameThreadStarted = 1;
  if (!thGame.Start(GameLoop, nullptr)) return false;
  // The new thread's queue exists once it has made its first message call.
  while (!PostThreadMessage(thGame.m_dwThreadId, THREAD_START_MSG, 0, 0)) {
    if (t4::platform::HasThreadEnded(thGame.m_hThread)) return false;
    t4::platform::SleepReal(1);
  }
  return true;
}

// Start-up in which a standard-library error (an empty checked vector of a damaged project) counts
// as a failed start instead of ending the process on the spot.
bool InitGameGuarded(const char* szCmdLine, int nCmdShow) {
  try {
    return InitGame(szCmdLine, nCmdShow);
  } catch (const std::exception& e) {
    WriteReportLog("start-up ended by an error: %s", e.what());
    return false;
  }
}

int PumpMessages(t4::platform::WindowHost& host, HWND hWnd) {
  for (;;) {
    if (g_hWnd) host.Pump(hWnd);
    MSG msg;
    if (PeekMessage(&msg, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
      DispatchMessage(&msg);
      t4::platform::WaitMessage(1);
      continue;
    }
    // Real-time waits: the window thread never moves the game's clock.
    t4::platform::WaitMessage(g_bAppActive ? 1 : 10);
  }
}

}  // namespace

bool ParseRunOptions(int argc, char** argv, RUNOPTIONS& o, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](const char* name) -> const char* {
      if (i + 1 >= argc) {
        error = std::string(name) + " needs a value";
        return nullptr;
      }
      return argv[++i];
    };
    if (a == "--window") {
      o.nWindowMode = 1;
    } else if (a == "--fullscreen") {
      o.nWindowMode = 0;
    } else if (a == "--headless") {
      o.bHeadless = true;
    } else if (a == "--scale" || a == "--frames") {
      const char* v = value(a.c_str());
      if (!v) return false;
      int& target = a == "--scale" ? o.nScale : o.nFrames;
      if (!ParseInt(v, a == "--scale" ? 1 : 1, a == "--scale" ? 5 : 1000000000, target)) {
        error = "bad value for " + a + ": " + v;
        return false;
      }
    } else if (a == "--test-play" || a == "--screenshot" || a == "--soundfont" || a == "--editor-socket") {
      const char* v = value(a.c_str());
      if (!v) return false;
      if (a == "--test-play") {
        o.bTestPlay = true;
        o.strTestPlayStage = v;
      } else if (a == "--screenshot") {
        o.strScreenshot = v;
      } else if (a == "--soundfont") {
        o.strSoundFont = v;
      } else {
        o.strEditorSocket = v;
      }
    } else if (!a.empty() && a[0] == '-') {
      error = "unknown option " + a;
      return false;
    } else if (o.strProjectDir.empty()) {
      o.strProjectDir = a;
    } else {
      error = "more than one project folder";
      return false;
    }
  }
  return true;
}

int RunProgram(const RUNOPTIONS& o) {
  InitDebugLog(false, "RU_Dovo.txt");
  char logPath[MAX_PATH] = "Report_Game.txt";
  if (!MakeAbsolutePath(logPath) || !InitReportLog(logPath)) {
    std::fprintf(stderr, "tarnwick4: cannot create the report log Report_Game.txt\n");
    return 1;
  }
  WriteReportLog("App : ver %d", DATA_VERSION);
  // The soundfont of the first song and the font configuration of the text load while the system
  // report measures the processor clock; neither writes to the report log.
  if (!o.strSoundFont.empty()) g_MidiOutput.SetSoundFont(o.strSoundFont.c_str());
  g_MidiOutput.SetSynthMaker(
      [](const std::string& soundFont) { return t4::platform::FluidMidiSynth::Create(soundFont); });
  g_MidiOutput.PreloadSynth();
  std::future<std::unique_ptr<t4::platform::text::Rasterizer>> fontsLoading =
      std::async(std::launch::async, &t4::platform::text::MakeFreeTypeRasterizer);
  WriteSystemReport();
  g_bTestPlay = o.bTestPlay ? 1 : 0;
  std::string editorSocket = o.strEditorSocket;
  if (editorSocket.empty() && std::getenv("TARNWICK4_EDITOR_SOCKET"))
    editorSocket = std::getenv("TARNWICK4_EDITOR_SOCKET");
  t4::platform::SetEditorSocketPath(editorSocket);

  // The back ends of this run, chosen once. Each is installed for this scope only, so that no
  // early return leaves the process pointing at a destroyed one.
  t4::platform::SdlDeviceFacts deviceFacts;
  t4::platform::ScopedDeviceFacts installedFacts(deviceFacts);
  const std::unique_ptr<t4::platform::text::Rasterizer> freeType = fontsLoading.get();
  t4::platform::text::ScopedRasterizer installedRasterizer(*freeType);
  t4::platform::ManualClock manualClock;
  t4::platform::SteadyClock steadyClock;
  t4::platform::HeadlessDisplay headlessDisplay;
  t4::platform::SdlDisplay sdlDisplay;
  t4::platform::HeadlessAudioOutput headlessAudio;
  t4::platform::SdlAudioOutput sdlAudio;
  t4::platform::ScriptedMessageBoxBackend scriptedBoxes;
  t4::platform::SdlMessageBoxBackend sdlBoxes;
  const char* answers = std::getenv("TARNWICK4_ANSWERS");
  QueueScriptedAnswers(scriptedBoxes, answers);
  EchoingBoxes boxes(o.bHeadless || answers ? static_cast<t4::platform::MessageBoxBackend&>(scriptedBoxes)
                                            : static_cast<t4::platform::MessageBoxBackend&>(sdlBoxes));
  t4::platform::ScopedMessageBoxBackend installedBoxes(boxes);
  t4::platform::ScopedClock installedClock(o.bHeadless ? static_cast<t4::platform::Clock&>(manualClock)
                                                       : static_cast<t4::platform::Clock&>(steadyClock));
  t4::platform::ScopedAudioOutput installedAudio(o.bHeadless ? static_cast<t4::platform::AudioOutput&>(headlessAudio)
                                                             : static_cast<t4::platform::AudioOutput&>(sdlAudio));

  const char* lockDir = std::getenv("TARNWICK4_LOCK_DIR");
  t4::platform::InstanceLock lock(INSTANCE_NAME, lockDir ? lockDir : "");
  const int refused = CheckSingleInstance(lock);
  if (refused >= 0) return refused;

  t4::platform::HeadlessWindowHost headlessHost;
  std::unique_ptr<t4::platform::SdlWindowHost> sdlHost;
  t4::platform::Display* screen = &headlessDisplay;
  t4::platform::WindowHost* host = &headlessHost;
  if (!o.bHeadless) {
    const int scale = o.nScale > 0 ? o.nScale : 1;
    if (!sdlDisplay.Open("", scale, false, false, 0x2FFF0000 /* centred */, 0x2FFF0000)) {
      if (sdlDisplay.NoDisplay()) {
        // No box either: it would need the display that is missing.
        WriteReportLog("no display: set DISPLAY or use --headless");
        std::fprintf(stderr, "tarnwick4: no display: set DISPLAY or use --headless\n");
      } else {
        ErrorBox("ウインドウが生成出来ません！");
      }
      return 1;
    }
    sdlHost = std::make_unique<t4::platform::SdlWindowHost>(sdlDisplay);
    screen = &sdlDisplay;
    host = sdlHost.get();
  }
  // The last frame is kept for a screenshot and, in a window, as the backdrop of the dialogs.
  KeepingDisplay display(*screen, !o.strScreenshot.empty() || !o.bHeadless);
  // Dialogs are drawn over the game's last frame in the window; a headless run answers them
  // unattended with their default buttons.
  t4::platform::ui::ScriptedDialogHost unattendedDialogs;
  t4::platform::ui::SdlDialogHost sdlDialogs(sdlDisplay, [&display] { return display.Last(); });
  t4::platform::ui::ScopedDialogHost installedDialogs(
      o.bHeadless ? static_cast<t4::platform::ui::DialogHost&>(unattendedDialogs)
                  : static_cast<t4::platform::ui::DialogHost&>(sdlDialogs));
  SetRequestDialogs(&RunFileDialog, &RunNameDialog);
  t4::platform::raster::GraphicsSystem graphics(display);
  t4::platform::raster::ScopedGraphicsSystem installedGraphics(graphics);
  g_StartOverrides.nWindowMode = o.nWindowMode;
  g_StartOverrides.nScale = o.nScale;
  g_StartOverrides.nDesktopBpp = display.DesktopBpp();
  g_nFrameLimit = o.nFrames;

  HWND hWnd = t4::platform::CreateMessageWindow(&cMainWnd::StaticWindowProc, nullptr);
  g_MainWindow.m_hWnd = hWnd;
  ScopedMainWindowHost installedHost(*host);
  // The process id tells a second copy whom to signal: only once the signal closes in order.
  t4::platform::InstallCloseSignalHandler(&CloseOnSignal);
  lock.PublishProcessId();
  if (g_bTestPlay) g_MainWindow.NotifyEditorStart();

  int status = 0;
  if (!InitGameGuarded(o.strTestPlayStage.c_str(), o.bTestPlay ? 5 : 1) || !StartGameThread()) {
    // A game thread that could not start is a failed start-up too.
    t4::platform::BeginShutdown();
    thGame.Exit();
    ReleaseGameUnlessAbandoned();
    if (g_bTestPlay) g_MainWindow.NotifyEditorEnd(0);
    status = 1;
  } else {
    status = PumpMessages(*host, hWnd);
    ReleaseGameUnlessAbandoned();
  }
  lock.Release();
  if (!o.strScreenshot.empty()) {
    const t4::platform::Frame last = display.Last();
    if (last.pixels.empty() || !t4::platform::WritePng(last, o.strScreenshot)) {
      std::fprintf(stderr, "tarnwick4: no screenshot written to %s\n", o.strScreenshot.c_str());
      if (status == 0) status = 1;
    }
  }
  if (!o.bHeadless) sdlDisplay.Close();
  std::fflush(nullptr);
  // A thread that never ended holds objects the static destructors would pull away from it.
  if (t4::platform::AbandonedThreadCount() > 0) {
    g_MidiOutput.FinishPreload();
    _exit(status);
  }
  return status;
}
