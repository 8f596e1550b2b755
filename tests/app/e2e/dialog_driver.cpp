// A small program that opens the game's window and shows one request dialog in it, for the
// end-to-end dialog test under a private X server (the scenes that ask for them in play are
// driven the same way through the main window's requests).
// Usage: t4_dialog_driver stage|save|name PROJECT_DIR
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "stage/game.h"
#include "app/main_window.h"
#include "stage/private_messages.h"
#include "app/wnd.h"
#include "core/globals.h"
#include "core/report_log.h"
#include "persist/project_layout.h"
#include "persist/system_ini.h"
#include "persist/user_records.h"
#include "platform/message_box.h"
#include "platform/messages.h"
#include "platform/present/sdl_display.h"
#include "platform/text/rasterizer.h"
#include "platform/text_codec.h"
#include "platform/ui/sdl_dialog_host.h"
#include "platform/window/window_host.h"

namespace tp = t4::platform;

namespace {

// A plain backdrop with a band, so a screenshot shows the dialog over a game frame.
tp::Frame Backdrop() {
  tp::Frame f;
  f.width = 640;
  f.height = 480;
  f.pixels.resize(640 * 480);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) f.pixels[static_cast<size_t>(y) * 640 + x] = y < 60 ? 0x204080 : 0x102030;
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || chdir(argv[2]) != 0) {
    std::fprintf(stderr, "usage: t4_dialog_driver stage|save|name PROJECT_DIR\n");
    return 2;
  }
  const std::string mode = argv[1];
  InitReportLog("Report_Game.txt");
  const std::unique_ptr<tp::text::Rasterizer> freeType = tp::text::MakeFreeTypeRasterizer();
  tp::text::ScopedRasterizer installedRasterizer(*freeType);
  tp::SdlDisplay display;
  if (!display.Open("tarnwick4 dialogs", 1, false, false, 0x2FFF0000, 0x2FFF0000)) {
    std::fprintf(stderr, "t4_dialog_driver: the window could not be opened\n");
    return 1;
  }
  tp::SdlWindowHost host(display);
  tp::SdlMessageBoxBackend boxes;
  tp::ScopedMessageBoxBackend installedBoxes(boxes);
  tp::ui::SdlDialogHost dialogs(display, [] { return Backdrop(); });
  tp::ui::ScopedDialogHost installedDialogs(dialogs);
  HWND hWnd = tp::CreateMessageWindow(&cMainWnd::StaticWindowProc, nullptr);
  g_MainWindow.m_hWnd = hWnd;
  ScopedMainWindowHost installedHost(host);
  g_hWnd = hWnd;
  g_SystemIni.m_nWindowMode = 1;
  const tp::WindowPlacement p = host.Placement();
  RecordMainWindowPosition(p.x, p.y);

  int status = 0;
  if (mode == "stage" || mode == "save") {
    std::string path;
    const bool ok = RunFileDialog(mode == "stage" ? 0 : 2, mode == "stage" ? "" : "stage_e2e", path);
    std::printf("%s %s\n", ok ? "chosen" : "cancelled", tp::Cp932ToUtf8Lossy(path).c_str());
    status = ok ? 0 : 1;
  } else if (mode == "name") {
    g_Game.m_nTitleChoice = 5;
    g_OptionData.m_strFixedRankingName = "ABCDE";
    RunNameDialog();
    std::printf("name");
    for (unsigned char c : g_OptionData.m_strFixedRankingName) std::printf(" %02X", c);
    std::printf("\n");
    status = g_OptionData.SaveToFile(g_Paths[PATH_OPTION]) ? 0 : 1;
  } else {
    status = 2;
  }
  std::fflush(stdout);
  display.Close();
  return status;
}
