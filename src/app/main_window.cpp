#include "app/main_window.h"

#include <exception>
#include <string>

#include "stage/game.h"
#include "stage/private_messages.h"
#include "stage/scene_play.h"
#include "stage/stage_start.h"
#include "audio/bgm.h"
#include "audio/music_request.h"
#include "audio/sound_setup.h"
#include "core/globals.h"
#include "core/message_box.h"
#include "core/report_log.h"
#include "core/thread.h"
#include "data/data_refs.h"
#include "data/stage_file.h"
#include "gfx/dd.h"
#include "persist/project_layout.h"
#include "persist/replay.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "persist/system_ini.h"
#include "persist/user_records.h"
#include "platform/present/display.h"
#include "platform/window/editor_link.h"
#include "platform/window/input_devices.h"
#include "platform/window/window_host.h"
#include "platform/winapi.h"

cMainWnd g_MainWindow;

int32_t g_bGameThreadStarted = 0;
cSafeVector<BGMDEF> g_MusicList;

void SetMainWindowHost(t4::platform::WindowHost* host) { g_MainWindow.m_lpHost = host; }

namespace {

FileDialogFn g_lpfnFileDialog = nullptr;
NameDialogFn g_lpfnNameDialog = nullptr;

bool ShowFileDialog(int nMode, const std::string& defaultName, std::string& path) {
  if (!g_lpfnFileDialog) return false;
  DDSetDialogMode(TRUE);
  SuspendWorkerThreads();
  const bool ok = g_lpfnFileDialog(nMode, defaultName, path);
  DDSetDialogMode(FALSE);
  ResumeWorkerThreads();
  return ok;
}

}  // namespace

void SetRequestDialogs(FileDialogFn fileDialog, NameDialogFn nameDialog) {
  g_lpfnFileDialog = fileDialog;
  g_lpfnNameDialog = nameDialog;
}

void SuspendWorkerThreads() {
  for (cThread* t : {&thGame, &thPause, &thRanking, &thStageLoad}) t->Suspend();
}

void ResumeWorkerThreads() {
  for (cThread* t : {&thGame, &thPause, &thRanking, &thStageLoad}) t->Resume();
}

bool ConfirmQuit(HWND, bool bEnglish) {
  const int answer = bEnglish ? ShowMessageBox("Would you like to quit?\n", "End confirmation", MB_YESNO)
                              : ShowMessageBox("終了しますか？\n", "終了確認", MB_YESNO);
  return answer == IDYES;
}

void cMainWnd::NotifyEditorStart() { t4::platform::SendEditorNotification(1, 1); }

void cMainWnd::NotifyEditorEnd(int nValue) { t4::platform::SendEditorNotification(0, nValue); }

LRESULT cMainWnd::StaticWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // A standard-library error escaping a handler (above all the out-of-range error of an empty
  // checked vector) closes the program in order instead of ending the process on the spot.
  try {
    return g_MainWindow.WindowProc(hWnd, msg, wParam, lParam);
  } catch (const std::exception& e) {
    WriteReportLog("window procedure ended by an error: %s", e.what());
    if (msg == WM_CLOSE) {
      // The close itself failed: end without it, so that it is not retried forever.
      g_MainWindow.EndWorkersAndDestroy(hWnd);
    } else if (msg == WM_DESTROY) {
      PostQuitMessage(0);
    } else {
      PostCloseToMainWindow();
    }
    return 0;
  }
}

void cMainWnd::Zoom(int k) {
  if (!m_lpHost || k < 1 || k > 5) return;
  const int w = t4::platform::SCREEN_WIDTH * k;
  const int h = t4::platform::SCREEN_HEIGHT * k;
  const t4::platform::WindowPlacement p = m_lpHost->Placement();
  const RECT area = m_lpHost->WorkArea();
  int x = p.x + p.clientWidth / 2 - w / 2;
  int y = p.y;
  if (x < 0)
    x = 0;
  else if (x + w >= area.right)
    x = area.right - w;
  if (y < 0)
    y = 0;
  else if (y + h >= area.bottom)
    y = area.bottom - h;
  m_lpHost->MoveTo(x, y);
  m_lpHost->SetClientSize(w, h);
}

LRESULT cMainWnd::OnClose(HWND hWnd, WPARAM wParam) {
  // The question is asked once: after a Yes, and for closes that must not ask, it is skipped.
  const bool bAsk = wParam != CLOSE_WITHOUT_QUESTION && !m_bCloseConfirmed && !g_bFreeStageStart && !g_bTestPlay &&
                    g_SystemIni.m_nWindowMode != 0 && g_Game.m_nScene != SCENE_TITLE;
  if (bAsk) {
    SuspendWorkerThreads();
    const bool yes = ConfirmQuit(hWnd, g_SystemIni.m_nEnglish != 0);
    ResumeWorkerThreads();
    if (!yes) return 0;
  }
  // Decided: the close that the play scene sends back once its presentation has ended must not
  // ask again.
  m_bCloseConfirmed = 1;
  if (g_SystemIni.m_nWindowMode != 0 && g_bGameThreadStarted && m_lpHost) {
    const t4::platform::WindowPlacement p = m_lpHost->Placement();
    if (!p.minimised) {
      g_WindowData.Set(p.x, p.y, p.clientWidth, p.clientHeight, p.maximised ? 1 : 0);
      g_WindowData.SaveToFile(g_Paths[PATH_WINDOW]);
    }
  }
  if (thPause.m_hThread) {
    // A blocking presentation is running: it ends, and the play scene, seeing its closing flag,
    // sends the close again once the game thread is free.
    DebugLogf("WM_CLOSE thPause.m_hThread");
    if (g_lpScenePlay) g_lpScenePlay->m_bClosing = 1;
    PostThreadMessage(thPause.m_dwThreadId, WM_QUIT, 0, 0);
    return 0;
  }
  DebugLogf("WM_CLOSE 成功！");
  g_Bgm.Stop();
  EndWorkersAndDestroy(hWnd);
  return 0;
}

void cMainWnd::EndWorkersAndDestroy(HWND hWnd) {
  // A worker blocked in a send to this thread must be released before it can see its WM_QUIT.
  t4::platform::BeginShutdown();
  thStageLoad.Exit();
  thPause.Exit();
  thRanking.Exit();
  DebugLogf("thPause.Exit()");
  thGame.Exit();
  DebugLogf("thGame.Exit()");
  t4::platform::DestroyWindow(hWnd);
}

void cMainWnd::OnFileRequest(UINT msg, WPARAM wParam) {
  std::string path;
  int32_t ok = 0;
  if (msg == WM_USER_LOAD_STAGE) {
    // A stage that cannot be started is reported by its loader; the request then counts as not
    // confirmed and the game goes on.
    if (ShowFileDialog(0, {}, path)) ok = StartStageFile(path.c_str(), 0, 0) ? 1 : 0;
  } else if (msg == WM_USER_LOAD_REPLAY) {
    if (ShowFileDialog(1, {}, path)) {
      ok = g_Replay.LoadReplayFile(path.c_str(), g_Stage, g_StageSettings, g_SaveData) ? 1 : 0;
      if (ok) g_Stage.m_strPath = path;
    }
  } else {
    std::string name;
    MakeReplayName(name, g_SaveData.m_strStageName.c_str());
    if (ShowFileDialog(2, name, path)) {
      // A save that fails (full disk, bad name) loses nothing: the play goes on.
      if (wParam == 0)
        ok = g_Replay.SaveReplayFile(path.c_str(), g_Stage, g_StageSettings, g_SaveDataStart) ? 1 : 0;
      else
        ok = g_ReplayLast.SaveReplayFile(path.c_str(), g_Stage, g_StageSettings, g_SaveDataPrev) ? 1 : 0;
    }
  }
  g_bFileRequestOk = ok;
  g_bFileRequestDone = 1;
}

LRESULT cMainWnd::WindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  m_hWnd = hWnd;
  if (!m_bZoomItems && lpDTCon && g_nWindowMode == 1) m_bZoomItems = 1;
  switch (msg) {
    case WM_DESTROY:
      DebugLogf("WM_DESTROY");
      m_hWnd = nullptr;
      g_hWnd = nullptr;
      if (g_bTestPlay) NotifyEditorEnd(1);
      PostQuitMessage(0);
      return 0;
    case WM_CLOSE: return OnClose(hWnd, wParam);
    case WM_ACTIVATEAPP:
      if (!g_bAppActive && wParam && lpDTCon && g_nWindowMode == 0)
        t4::platform::SendMessage(hWnd, WM_USER_RESTORE_DEVICE, 0, 0);
      g_bAppActive = wParam ? 1 : 0;
      return 0;
    case WM_KEYDOWN:
      if (wParam == static_cast<WPARAM>(VK_ESCAPE)) PostMessage(hWnd, WM_CLOSE, 0, 0);
      return 0;
    case WM_SYSCOMMAND:
      // The 100% .. 500% sizes are offered in the windowed Direct3D mode, up to the work area.
      if (m_bZoomItems && wParam >= 1 && wParam <= 5 && m_lpHost) {
        const RECT area = m_lpHost->WorkArea();
        const int k = static_cast<int>(wParam);
        if (area.right - area.left >= t4::platform::SCREEN_WIDTH * k &&
            area.bottom - area.top >= t4::platform::SCREEN_HEIGHT * k)
          Zoom(k);
      }
      return 0;
    case WM_USER_NAME_ENTRY:
      if (g_lpfnNameDialog) {
        DDSetDialogMode(TRUE);
        SuspendWorkerThreads();
        g_lpfnNameDialog();
        DDSetDialogMode(FALSE);
        ResumeWorkerThreads();
      }
      g_bNameEntryDone = 1;
      return 0;
    case WM_USER_LOAD_STAGE:
    case WM_USER_LOAD_REPLAY:
    case WM_USER_SAVE_REPLAY: OnFileRequest(msg, wParam); return 0;
    case WM_USER_SOUND: PlaySoundListEntry(static_cast<int>(wParam)); return 0;
    case WM_USER_MUSIC: {
      const int slot = static_cast<int>(wParam);
      if (slot >= 0 && slot < SCENE_BGM_COUNT) {
        PlayMusicRequest(g_Bgm, g_MusicList, slot, g_SystemData.m_SceneBgm.At(slot),
                         g_SystemData.m_SceneBgmLoop.At(slot) != 0);
      } else if (slot == BGM_SLOT_STAGE) {
        g_SaveData.m_nBgm = static_cast<int32_t>(lParam);
        PlayMusicRequest(g_Bgm, g_MusicList, slot, static_cast<int>(lParam), g_SaveData.m_bBgmLoop != 0);
      }
      return 0;
    }
    case WM_USER_RESTORE_DEVICE:
      SuspendWorkerThreads();
      DDRestoreSurface();
      ResumeWorkerThreads();
      return 0;
    default: return 0;
  }
}
