// Threads of the game: start, poll for the end, a bounded join, and cooperative suspension.
//
// Linux cannot suspend or kill another thread safely, so suspension is a gate: SuspendThread only
// raises a count, and the thread stops at its next safe point (ThreadSafePoint: the top of each
// frame, the present, every wait and every message call) until the count is back to 0. A thread
// that does not end when asked is never killed: AbandonThread detaches it, and the program must
// then leave without running static destructors (AbandonedThreadCount tells it so).
#pragma once

#include "platform/win_types.h"

namespace t4::platform {

using ThreadProc = unsigned (*)(void*);

// Starts `proc(param)` at once. The thread id is known before the thread runs (out parameter).
// Null when no thread could be created.
HANDLE StartThread(ThreadProc proc, void* param, DWORD* threadId);
// WaitForSingleObject(h, 0): true once the thread's procedure has returned.
bool HasThreadEnded(HANDLE h);
// Releases an ended thread (joins it). The handle is invalid afterwards.
void CloseThreadHandle(HANDLE h);
// Gives up on a running thread: detaches it and counts it as abandoned. The handle is invalid.
void AbandonThread(HANDLE h);
int AbandonedThreadCount();
// Waits in real time until every thread given up on has returned from its procedure (a thread
// that was only slow, e.g. in a long load); false when one still runs after `timeoutMs`.
bool WaitForAbandonedThreads(int timeoutMs);

// Returns the previous suspend count, or -1 for a null handle.
int SuspendThread(HANDLE h);
// Returns the previous suspend count (0 when it was not suspended), or -1 for a null handle.
int ResumeThread(HANDLE h);
// Blocks the calling thread while it is suspended. A no-op on threads not started here.
void ThreadSafePoint();
// True while the calling thread is stopped at a safe point (for tests and diagnostics).
bool IsThreadParked(HANDLE h);

}  // namespace t4::platform
