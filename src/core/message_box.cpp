#include "core/message_box.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "core/globals.h"
#include "platform/message_box.h"

namespace {

std::atomic<FullScreenMessageBoxHook> g_fullScreenHook{nullptr};

std::string CutToBox(const char* text) {
  std::string s = text ? text : "";
  if (s.size() > LOG_BOX_BUFFER_SIZE - 1) s.resize(LOG_BOX_BUFFER_SIZE - 1);
  return s;
}

std::string FormatToBox(const char* format, va_list args) {
  char buffer[LOG_BOX_BUFFER_SIZE];
  if (vsnprintf(buffer, sizeof buffer, format, args) < 0) return std::string();
  return buffer;
}

}  // namespace

void SetFullScreenMessageBoxHook(FullScreenMessageBoxHook hook) { g_fullScreenHook.store(hook); }

int ShowMessageBox(const char* text, const char* caption, UINT type) {
  if (!text) text = "";
  if (!caption) caption = "";
  if (FullScreenMessageBoxHook hook = g_fullScreenHook.load()) {
    int result = 0;
    if (hook(text, caption, type, &result)) return result;
  }
  return t4::platform::GetMessageBoxBackend().Show(text, caption, type);
}

int ErrorBox(const char* text) { return ShowMessageBox(text, "エラー", MB_OK); }

int ErrorBoxf(const char* text) { return ErrorBox(CutToBox(text).c_str()); }

int ErrorBoxfF(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatToBox(format, args);
  va_end(args);
  return ErrorBox(text.c_str());
}

int DebugErrorBoxf(const char* format, ...) {
  if (!IsDebugLogEnabled()) return 0;
  va_list args;
  va_start(args, format);
  std::string text = FormatToBox(format, args);
  va_end(args);
  return ErrorBox(text.c_str());
}

void OutOfMemoryClose() {
  ErrorBox("メモリが不足しています！");
  PostCloseToMainWindow();
}
