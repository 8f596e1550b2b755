// Message boxes: an OK box or a Yes/No question with the game's caption and text (Shift-JIS).
//
// The backend is installed once at start-up: the SDL one for a run with a screen, the scripted
// one for headless runs and tests. Until one is installed, a scripted backend answers with the
// default button and also writes each box to stderr, so that nothing is ever lost silently.
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/scoped_backend.h"
#include "platform/win_types.h"

namespace t4::platform {

// The button a box gives when nobody can answer it: IDYES for a Yes/No question, else IDOK.
int DefaultMessageBoxAnswer(UINT type);

class MessageBoxBackend {
 public:
  virtual ~MessageBoxBackend() = default;
  // Shows the box modally and returns the button chosen (IDOK, IDYES, IDNO, IDCANCEL).
  virtual int Show(std::string_view textSjis, std::string_view captionSjis, UINT type) = 0;
};

// SDL_ShowMessageBox with the texts converted to UTF-8. Where SDL cannot show a box (no
// display), the box is written to stderr and the default button returned.
class SdlMessageBoxBackend final : public MessageBoxBackend {
 public:
  int Show(std::string_view textSjis, std::string_view captionSjis, UINT type) override;
};

// Records every box and answers from a queue; with the queue empty, the default button.
class ScriptedMessageBoxBackend final : public MessageBoxBackend {
 public:
  struct Box {
    std::string caption;  // Shift-JIS, as given
    std::string text;
    UINT type = 0;
  };

  explicit ScriptedMessageBoxBackend(bool echoToStderr = false) : m_bEchoToStderr(echoToStderr) {}

  int Show(std::string_view textSjis, std::string_view captionSjis, UINT type) override;

  void QueueAnswer(int answer);
  std::vector<Box> Boxes() const;
  void Clear();

 private:
  mutable std::mutex m_mutex;
  std::vector<Box> m_boxes;
  std::deque<int> m_answers;
  bool m_bEchoToStderr;
};

// Installs the backend for the whole process; null goes back to the default one. The caller
// keeps the backend alive while it is installed.
void SetMessageBoxBackend(MessageBoxBackend* backend);
using ScopedMessageBoxBackend = ScopedBackend<MessageBoxBackend, SetMessageBoxBackend>;
MessageBoxBackend& GetMessageBoxBackend();

// Writes a box to stderr as one UTF-8 line ("caption: text"); used where no box can be shown.
void WriteMessageBoxToStderr(std::string_view textSjis, std::string_view captionSjis);

}  // namespace t4::platform
