// The main window's procedure: closing, activation, the Escape key, the zoom sizes, and the
// requests of the game thread (dialogs, stage and replay files, sounds, music, device restore).
#pragma once

#include <cstdint>

#include "core/safe_containers.h"
#include "platform/scoped_backend.h"
#include "platform/win_types.h"

namespace t4::platform {
class WindowHost;
}
struct BGMDEF;

class cMainWnd {
 public:
  LRESULT WindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT StaticWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

  void NotifyEditorStart();
  void NotifyEditorEnd(int nValue);
  // Moves the window so that its client area is 640k x 480k, kept inside the work area.
  void Zoom(int k);

  HWND m_hWnd = nullptr;
  t4::platform::WindowHost* m_lpHost = nullptr;
  int32_t m_bZoomItems = 0;
  // A close was decided (confirmed, or not to be asked): a later close of the same run is not
  // asked again.
  int32_t m_bCloseConfirmed = 0;

 private:
  LRESULT OnClose(HWND hWnd, WPARAM wParam);
  // Ends the worker threads (stage load, pause, ranking, game) and destroys the window.
  void EndWorkersAndDestroy(HWND hWnd);
  void OnFileRequest(UINT msg, WPARAM wParam);
};

extern cMainWnd g_MainWindow;
// The host of g_MainWindow for the life of a scope; null: none.
void SetMainWindowHost(t4::platform::WindowHost* host);
using ScopedMainWindowHost = t4::platform::ScopedBackend<t4::platform::WindowHost, SetMainWindowHost>;
// Set just before thGame starts; the procedure saves the window placement only after it.
extern int32_t g_bGameThreadStarted;
// The music list of the music requests, made from Bgm.dat at start-up.
extern cSafeVector<BGMDEF> g_MusicList;

void SuspendWorkerThreads();
void ResumeWorkerThreads();
// The quit question; true for Yes.
bool ConfirmQuit(HWND hOwner, bool bEnglish);
