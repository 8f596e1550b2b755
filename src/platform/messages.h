// Per-thread message queues, windows and the blocking send between threads.
//
// Semantics follow what the game's code expects of a Windows message loop:
// - A thread gets its queue with its first call to a message function (GetMessage, PeekMessage,
//   WaitMessage, CreateMessageWindow). Until then PostThreadMessage to it fails, which the thread
//   start hand-shake relies on.
// - A window belongs to the thread that created it; messages posted to it go into that thread's
//   queue and DispatchMessage hands them to the window's procedure.
// - SendMessage from another thread blocks until the owner thread has run the procedure. The owner
//   serves sent messages inside every message function it calls (so modal loops serve them too).
//   From the owner thread itself the procedure is called directly.
// - After BeginShutdown every SendMessage returns 0 at once, and sends already waiting are released
//   with 0, so a worker blocked in a send can still see its WM_QUIT.
#pragma once

#include <functional>

#include "platform/win_types.h"

namespace t4::platform {

using WindowProc = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

// Id of the calling thread (1, 2, ... in the order threads first ask; never 0).
DWORD GetCurrentThreadId();

// Makes sure the calling thread has its queue (what the first message call does).
void EnsureMessageQueue();

bool PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam);
// Posts to the window's owner thread; a null window posts a thread message to the calling thread.
// False when the window does not exist (or was destroyed) or its thread has no queue.
bool PostMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT SendMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);

// Blocks until a posted message arrives (serving sent messages meanwhile); false for WM_QUIT.
bool GetMessage(MSG* msg);
// Serves sent messages, then takes (PM_REMOVE) or looks at the next posted message.
bool PeekMessage(MSG* msg, UINT removeFlags);
// Blocks until a message is posted or sent to the calling thread, or until the timeout passes
// (timeoutMs = 0xFFFFFFFF waits without limit). Serves sent messages. True when one arrived.
bool WaitMessage(DWORD timeoutMs = 0xFFFFFFFF);
LRESULT DispatchMessage(const MSG* msg);

// Windows of the message layer: a procedure and a user pointer, owned by the creating thread.
HWND CreateMessageWindow(WindowProc proc, void* userData);
// Sends WM_DESTROY to the procedure (on the calling thread) and then refuses further messages.
void DestroyWindow(HWND hWnd);
bool IsWindow(HWND hWnd);
void* GetWindowUserData(HWND hWnd);

// Shutdown of the message layer: see the header comment.
void BeginShutdown();
bool IsShuttingDown();

// A function called, from whatever thread posts or sends, whenever a message is queued for
// `threadId`: the real window backend uses it to wake its event wait. Null removes it.
void SetQueueWakeHook(DWORD threadId, std::function<void()> hook);

// Test support: forgets every queue and window and leaves shutdown.
void ResetMessageLayerForTests();

}  // namespace t4::platform
