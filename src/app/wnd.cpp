#include "app/wnd.h"

#include "app/main_window.h"
#include "platform/window/window_host.h"

namespace {

POINT g_MainWindowPos{0, 0};

}  // namespace

void RecordMainWindowPosition(int x, int y) { g_MainWindowPos = POINT{x, y}; }

void RecordMainWindowPlacement() {
  if (!g_MainWindow.m_lpHost) return;
  const t4::platform::WindowPlacement p = g_MainWindow.m_lpHost->Placement();
  RecordMainWindowPosition(p.x, p.y);
}

POINT MainWindowPosition() { return g_MainWindowPos; }

RECT cWnd::WorkAreaRect() {
  if (g_MainWindow.m_lpHost) return g_MainWindow.m_lpHost->WorkArea();
  return RECT{0, 0, 640, 480};
}

RECT cWnd::DesktopRect() { return WorkAreaRect(); }

void cWnd::SetGeometry(int nWidth, int nHeight, int nMinWidth, int nMinHeight, int nMaxWidth, int nMaxHeight,
                       uint32_t dwStyle, int, int, int, int, int) {
  m_Client = INTRECT{0, 0, nWidth, nHeight};
  m_RequestedClient = INTRECT{0, 0, nWidth, nHeight};
  m_MinClient = INTRECT{0, 0, nMinWidth, nMinHeight};
  m_MaxClient = INTRECT{0, 0, nMaxWidth, nMaxHeight};
  m_dwStyle = dwStyle;
  if (!m_bTemplate) UpdateFrame();
}

void cWnd::UpdateFrame() {
  m_WindowSize = m_Client;
  for (int32_t& f : m_nFrame) f = 0;
  int32_t& left = m_nFrame[0];
  int32_t& right = m_nFrame[1];
  int32_t& top = m_nFrame[2];
  int32_t& bottom = m_nFrame[3];
  if (m_dwStyle & WS_CAPTION) top += SM_CYCAPTION;
  if (m_dwStyle & WS_THICKFRAME) {
    left += SM_CXFRAME;
    right += SM_CXFRAME;
    top += SM_CYFRAME;
    bottom += SM_CYFRAME;
  } else if (m_dwStyle & WS_DLGFRAME) {
    left += SM_CXDLGFRAME;
    right += SM_CXDLGFRAME;
    top += SM_CYDLGFRAME;
    bottom += SM_CYDLGFRAME;
  }
  if (m_dwStyle & WS_HSCROLL) bottom += SM_CYHSCROLL;
  if (m_dwStyle & WS_VSCROLL) right += SM_CXVSCROLL;
  m_nFrame[4] = left + right;
  m_nFrame[5] = top + bottom;
  m_WindowSize = INTRECT{0, 0, m_Client.w + m_nFrame[4], m_Client.h + m_nFrame[5]};
  m_Usable = INTRECT{0, 0, m_Client.w, m_Client.h};
}

void cWnd::RefreshStyle() {
  // The style and client size are this object's own: no other code changes a kit window.
  UpdateFrame();
}

void cWnd::AddStyle(uint32_t bits) {
  m_dwStyle |= bits;
  RefreshStyle();
}

void cWnd::RemoveStyle(uint32_t bits) {
  m_dwStyle &= ~bits;
  RefreshStyle();
}

void cWnd::MoveTo(int x, int y) {
  m_nX = x;
  m_nY = y;
  UpdateFrame();
}

void cWnd::CenterOnDesktop() {
  const RECT d = DesktopRect();
  MoveTo((0 + d.right - m_WindowSize.w) / 2, (0 + d.bottom - m_WindowSize.h) / 2);
}

void cWnd::SetClientSize(int x, int y, int nWidth, int nHeight) {
  m_Client = INTRECT{0, 0, nWidth + m_nFrame[6], nHeight + m_nFrame[7]};
  m_nX = x;
  m_nY = y;
  UpdateFrame();
}

void cWnd::ResizeClient(int nWidth, int nHeight) { SetClientSize(m_nX, m_nY, nWidth, nHeight); }

void cWnd::GetMinMaxInfo(MINMAXINFO* info) const {
  if (!info) return;
  info->ptMinTrackSize = POINT{m_MinClient.w + m_nFrame[4], m_MinClient.h + m_nFrame[5]};
  info->ptMaxTrackSize = POINT{m_MaxClient.w + m_nFrame[4], m_MaxClient.h + m_nFrame[5]};
}

void cWnd::GetPosition(int& x, int& y) const {
  x = m_nX;
  y = m_nY;
}

void cWnd::GetClientRect(INTRECT& r) const {
  if (m_hWnd) r = INTRECT{0, 0, m_Client.w, m_Client.h};
}

void cWnd::Place() {
  if (m_nPlaceX == NO_PLACEMENT || m_nPlaceY == NO_PLACEMENT) return;
  const RECT area = WorkAreaRect();
  int x = m_nPlaceX;
  int y = m_nPlaceY;
  if (x < 0)
    x = 0;
  else if (x + m_WindowSize.w >= area.right)
    x = area.right - m_WindowSize.w;
  if (y < 0)
    y = 0;
  else if (y + m_WindowSize.h >= area.bottom)
    y = area.bottom - m_WindowSize.h;
  MoveTo(x, y);
}

void cWnd::SetTemplate(int16_t sResourceId, HWND hParent, void*) {
  m_sResourceId = sResourceId;
  m_hParent = hParent;
}

int cWnd::OnMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  m_hWnd = hWnd;
  if (msg == WM_COMMAND) {
    // A command raised while one is being handled (a control changed by its own handler) is dropped.
    if (m_bInCommand) return 0;
    m_bInCommand = 1;
  }
  switch (msg) {
    case WM_DESTROY: m_hWnd = nullptr; return 1;
    case WM_MOVE: return 1;
    case WM_SIZE: RefreshStyle(); return 1;
    case WM_ACTIVATEAPP: return 1;
    case WM_PAINT: OnPaint(wParam, lParam); return 1;
    case WM_GETMINMAXINFO: GetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); return 1;
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      m_bInCommand = 0;
      return 1;
    case WM_MOUSEMOVE: return OnMouseMove(wParam, lParam), 1;
    case WM_LBUTTONDOWN: return OnLButtonDown(wParam, lParam), 1;
    case WM_RBUTTONDOWN: return OnRButtonDown(wParam, lParam), 1;
    case WM_LBUTTONDBLCLK: return OnLButtonDblClk(wParam, lParam), 1;
    case WM_RBUTTONDBLCLK: return OnRButtonDblClk(wParam, lParam), 1;
    case WM_LBUTTONUP: return OnLButtonUp(wParam, lParam), 1;
    case WM_RBUTTONUP: return OnRButtonUp(wParam, lParam), 1;
    default: return 0;
  }
}
