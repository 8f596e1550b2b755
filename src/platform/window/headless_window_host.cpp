#include "platform/messages.h"
#include "platform/window/window_host.h"

namespace t4::platform {

void HeadlessWindowHost::MoveTo(int x, int y) {
  m_placement.x = x;
  m_placement.y = y;
}

void HeadlessWindowHost::SetClientSize(int width, int height) {
  m_placement.clientWidth = width;
  m_placement.clientHeight = height;
}

void HeadlessWindowHost::Show(HWND hWnd, bool maximised) {
  m_placement.maximised = maximised;
  PostMessage(hWnd, WM_ACTIVATEAPP, 1, 0);
}

}  // namespace t4::platform
