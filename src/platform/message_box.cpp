#include "platform/message_box.h"

#include <atomic>
#include <cstdio>

#include "platform/text_codec.h"

namespace t4::platform {

namespace {

bool IsYesNo(UINT type) { return (type & 0x0F) == MB_YESNO; }

ScriptedMessageBoxBackend g_defaultBackend(/*echoToStderr=*/true);
std::atomic<MessageBoxBackend*> g_backend{&g_defaultBackend};

}  // namespace

int DefaultMessageBoxAnswer(UINT type) { return IsYesNo(type) ? IDYES : IDOK; }

void WriteMessageBoxToStderr(std::string_view textSjis, std::string_view captionSjis) {
  std::string line = Cp932ToUtf8Lossy(captionSjis) + ": " + Cp932ToUtf8Lossy(textSjis) + "\n";
  std::fputs(line.c_str(), stderr);
}

int ScriptedMessageBoxBackend::Show(std::string_view textSjis, std::string_view captionSjis, UINT type) {
  if (m_bEchoToStderr) WriteMessageBoxToStderr(textSjis, captionSjis);
  std::lock_guard lock(m_mutex);
  m_boxes.push_back({std::string(captionSjis), std::string(textSjis), type});
  if (m_answers.empty()) return DefaultMessageBoxAnswer(type);
  int answer = m_answers.front();
  m_answers.pop_front();
  return answer;
}

void ScriptedMessageBoxBackend::QueueAnswer(int answer) {
  std::lock_guard lock(m_mutex);
  m_answers.push_back(answer);
}

std::vector<ScriptedMessageBoxBackend::Box> ScriptedMessageBoxBackend::Boxes() const {
  std::lock_guard lock(m_mutex);
  return m_boxes;
}

void ScriptedMessageBoxBackend::Clear() {
  std::lock_guard lock(m_mutex);
  m_boxes.clear();
  m_answers.clear();
}

void SetMessageBoxBackend(MessageBoxBackend* backend) { g_backend.store(backend ? backend : &g_defaultBackend); }

MessageBoxBackend& GetMessageBoxBackend() { return *g_backend.load(); }

}  // namespace t4::platform
