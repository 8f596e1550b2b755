// Message boxes of the game: error boxes with the caption "エラー", the developer-only box, and
// the out-of-memory close.
#pragma once

#include "core/report_log.h"
#include "platform/win_types.h"

// The drawing layer shows boxes itself while it owns a full screen. It installs this hook once;
// the hook returns true when it handled the box (storing the button in *pnResult) and false when
// a normal box should be shown.
using FullScreenMessageBoxHook = bool (*)(const char* text, const char* caption, UINT type, int* pnResult);
void SetFullScreenMessageBoxHook(FullScreenMessageBoxHook hook);

int ShowMessageBox(const char* text, const char* caption, UINT type);
int ErrorBox(const char* text);
// Formatted texts are cut at 1023 bytes. A single argument is a finished text, shown unchanged;
// with further arguments the first is a printf format.
int ErrorBoxf(const char* text);
int ErrorBoxfF(const char* format, ...) T4_PRINTF(1, 2);
template <class A, class... R>
int ErrorBoxf(const char* format, A a, R... rest) {
  return ErrorBoxfF(format, a, rest...);
}
// Shown only while the debug log is enabled (never in a normal run); returns 0 otherwise.
int DebugErrorBoxf(const char* format, ...) T4_PRINTF(1, 2);
// Tells the user that memory ran out, then asks the main window to close.
void OutOfMemoryClose();
