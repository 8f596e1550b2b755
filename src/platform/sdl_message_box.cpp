#include <SDL.h>

#include <vector>

#include "platform/message_box.h"
#include "platform/text_codec.h"

namespace t4::platform {

namespace {

bool IsYesNo(UINT type) { return (type & 0x0F) == MB_YESNO; }
bool IsOkCancel(UINT type) { return (type & 0x0F) == MB_OKCANCEL; }

}  // namespace

int SdlMessageBoxBackend::Show(std::string_view textSjis, std::string_view captionSjis, UINT type) {
  std::string text = Cp932ToUtf8Lossy(textSjis);
  std::string caption = Cp932ToUtf8Lossy(captionSjis);

  std::vector<SDL_MessageBoxButtonData> buttons;
  if (IsYesNo(type)) {
    buttons.push_back({SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"});
    buttons.push_back({SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"});
  } else if (IsOkCancel(type)) {
    buttons.push_back({SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDOK, "OK"});
    buttons.push_back({SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDCANCEL, "Cancel"});
  } else {
    buttons.push_back({SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK, "OK"});
  }
  Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
  if ((type & 0xF0) == MB_ICONERROR) flags = SDL_MESSAGEBOX_ERROR;
  if ((type & 0xF0) == MB_ICONWARNING) flags = SDL_MESSAGEBOX_WARNING;

  SDL_MessageBoxData data{};
  data.flags = flags;
  data.window = nullptr;
  data.title = caption.c_str();
  data.message = text.c_str();
  data.numbuttons = static_cast<int>(buttons.size());
  data.buttons = buttons.data();
  data.colorScheme = nullptr;

  int chosen = -1;
  if (SDL_ShowMessageBox(&data, &chosen) != 0) {
    WriteMessageBoxToStderr(textSjis, captionSjis);
    return DefaultMessageBoxAnswer(type);
  }
  // Closing the box without a button counts as its escape button.
  if (chosen < 0) return IsYesNo(type) ? IDNO : (IsOkCancel(type) ? IDCANCEL : IDOK);
  return chosen;
}

}  // namespace t4::platform
