// The pause thread: while a blocking presentation (game wait, message, effect, picture, extra-life
// notice) runs, it alone waits for the frame time, reads its own copy of the input, draws the
// frozen stage and presents; the game thread waits for it to end.
#include "core/globals.h"
#include "core/sound_request.h"
#include "core/thread.h"
#include "platform/thread.h"
#include "platform/winapi.h"
#include "stage/input.h"
#include "stage/scene_play.h"

namespace {

// Time the pause thread keeps running after the close request before it ends itself.
constexpr DWORD CLOSE_GRACE_MS = 2000;

unsigned PauseThreadEntry(void* param) {
  return static_cast<unsigned>(PauseThreadProc(static_cast<cScenePlay*>(param)));
}

}  // namespace

int PauseThreadProc(cScenePlay* scene) {
  if (scene->m_bClosing.load()) return 0;
  cSafeVector<cInput> inputs(g_Input.begin(), g_Input.end());
  if (inputs.empty()) inputs.emplace_back();
  cInput& in = inputs.At(0);
  in.ClearHistory();
  in.ResetEventLists();
  in.ClearDir();
  in.ClearButton();
  bool bCloseSeen = false;
  DWORD closeTimer = 0;
  for (;;) {
    MSG msg;
    if (PeekMessage(&msg, PM_REMOVE)) {
      if (msg.message == WM_QUIT) break;
      continue;
    }
    if (!g_bAppActive) {
      Sleep(1);
      continue;
    }
    if (scene->m_bClosing.load()) {
      if (!bCloseSeen) {
        bCloseSeen = true;
        closeTimer = timeGetTime();
      } else if (timeGetTime() - closeTimer >= CLOSE_GRACE_MS) {
        PostThreadMessage(GetCurrentThreadId(), WM_QUIT, 0, 0);
      }
      Sleep(1);
      continue;
    }
    WaitFrame();
    if (!g_Game.RestoreLostSurfaces()) PostCloseToMainWindow();
    g_Game.ReadInput(in);
    in.UpdateHistory();
    in.LatchButton(0);
    if (scene->ReplayKeyHandled()) continue;
    cWait& wait = scene->m_Wait;
    if (wait.m_nLock > 0) {
      --wait.m_nLock;
    } else if (wait.m_bButton) {
      if ((in.m_sButton & 1) && !(in.GetHistory(1, 1) & 1)) {
        PlaySystemSound(wait.m_nMode == WAIT_MESSAGE ? 12 : 1);
        scene->m_bButtonLock = 1;
        break;
      }
    } else if (--wait.m_nFrames < 0) {
      break;
    }
    scene->DrawFrozen();
    g_Game.Present();
    CountFrameTowardLimit();
  }
  return 1;
}

void cScenePlay::RunPauseThread(int bPostStart) {
  if (!thPause.Start(&PauseThreadEntry, this)) return;
  if (bPostStart)
    // A thread that has already shown its frames and ended takes no message: stop posting then.
    while (!PostThreadMessage(thPause.m_dwThreadId, THREAD_START_MSG, 0, 0) &&
           !t4::platform::HasThreadEnded(thPause.m_hThread))
      Sleep(0);
  thPause.Wait();
}
