// The small window layer under the dialogs: one window object with its sizes, the frame
// arithmetic between client and outer size, its place on the screen and a first dispatch of
// window messages to virtual handlers.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

struct INTRECT {
  int32_t x = 0;
  int32_t y = 0;
  int32_t w = 0;
  int32_t h = 0;
};

struct MINMAXINFO {
  POINT ptMinTrackSize{};
  POINT ptMaxTrackSize{};
};

// Window styles.
constexpr uint32_t WS_POPUP = 0x80000000;
constexpr uint32_t WS_VISIBLE = 0x10000000;
constexpr uint32_t WS_BORDER = 0x00800000;
constexpr uint32_t WS_DLGFRAME = 0x00400000;
constexpr uint32_t WS_CAPTION = WS_BORDER | WS_DLGFRAME;
constexpr uint32_t WS_VSCROLL = 0x00200000;
constexpr uint32_t WS_HSCROLL = 0x00100000;
constexpr uint32_t WS_SYSMENU = 0x00080000;
constexpr uint32_t WS_THICKFRAME = 0x00040000;
constexpr uint32_t WS_MINIMIZEBOX = 0x00020000;
constexpr uint32_t WS_MAXIMIZEBOX = 0x00010000;
constexpr uint32_t DS_SETFONT = 0x40;
constexpr uint32_t DS_MODALFRAME = 0x80;

// The frame sizes of this window system's windows, in pixels.
constexpr int SM_CYCAPTION = 18;
constexpr int SM_CXDLGFRAME = 3;
constexpr int SM_CYDLGFRAME = 3;
constexpr int SM_CXFRAME = 4;
constexpr int SM_CYFRAME = 4;
constexpr int SM_CXVSCROLL = 16;
constexpr int SM_CYHSCROLL = 16;

// Messages of the dialogs.
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;

constexpr WORD LOWORD(WPARAM v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(WPARAM v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr WPARAM MAKEWPARAM(int lo, int hi) {
  return static_cast<WPARAM>((static_cast<uint32_t>(hi) & 0xFFFF) << 16 | (static_cast<uint32_t>(lo) & 0xFFFF));
}

// "No placement": the window stays where the window system puts it.
constexpr int32_t NO_PLACEMENT = -1000;

class cWnd {
 public:
  virtual ~cWnd() = default;
  virtual int Nop1(WPARAM, LPARAM) { return 0; }
  virtual int OnCommand(WPARAM, LPARAM) { return 0; }
  virtual int OnMouseMove(WPARAM, LPARAM) { return 0; }
  virtual int OnLButtonDown(WPARAM, LPARAM) { return 0; }
  virtual int OnRButtonDown(WPARAM, LPARAM) { return 0; }
  virtual int OnLButtonDblClk(WPARAM, LPARAM) { return 0; }
  virtual int OnRButtonDblClk(WPARAM, LPARAM) { return 0; }
  virtual int OnLButtonUp(WPARAM, LPARAM) { return 0; }
  virtual int OnRButtonUp(WPARAM, LPARAM) { return 0; }
  virtual LRESULT WindowProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
  virtual int OnMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
  virtual int Nop12(WPARAM, LPARAM) { return 0; }
  virtual int OnPaint(WPARAM, LPARAM) { return 0; }

  void SetGeometry(int nWidth, int nHeight, int nMinWidth, int nMinHeight, int nMaxWidth, int nMaxHeight,
                   uint32_t dwStyle, int bMenu, int bTopBar, int bBottomBar, int nSpare, int nScroll);
  void UpdateFrame();
  void RefreshStyle();
  void AddStyle(uint32_t bits);
  void RemoveStyle(uint32_t bits);
  void MoveTo(int x, int y);
  void CenterOnDesktop();
  void SetClientSize(int x, int y, int nWidth, int nHeight);
  void ResizeClient(int nWidth, int nHeight);
  void GetMinMaxInfo(MINMAXINFO* info) const;
  void GetPosition(int& x, int& y) const;
  void GetClientRect(INTRECT& r) const;
  void Place();
  void SetTemplate(int16_t sResourceId, HWND hParent, void* lpRelated);
  // Puts the mouse pointer at (x, y) on the screen once the window is open.
  void SetCursorPos(int x, int y) {
    m_nCursorX = x;
    m_nCursorY = y;
  }

  int32_t m_bTemplate = 0;
  HWND m_hWnd = nullptr;
  int16_t m_sResourceId = 0;
  HWND m_hParent = nullptr;
  int32_t m_nX = 0;
  int32_t m_nY = 0;
  INTRECT m_Usable;
  INTRECT m_RequestedClient;
  INTRECT m_Client;
  INTRECT m_MinClient;
  INTRECT m_MaxClient;
  INTRECT m_WindowSize;
  uint32_t m_dwStyle = 0;
  // Left, right, top, bottom, horizontal sum, vertical sum, then extras for bars (none here).
  int32_t m_nFrame[12] = {};
  int32_t m_bInCommand = 0;
  int32_t m_nPlaceX = NO_PLACEMENT;
  int32_t m_nPlaceY = NO_PLACEMENT;
  int32_t m_nResult = 0;
  // Where the mouse pointer goes when the window opens (screen coordinates; NO_PLACEMENT: stays).
  int32_t m_nCursorX = NO_PLACEMENT;
  int32_t m_nCursorY = NO_PLACEMENT;

 protected:
  // The screen the window lives on: the desktop and the work area (screen coordinates).
  static RECT DesktopRect();
  static RECT WorkAreaRect();
};

// Where the main window was put by the program itself (its centring at creation, then its stored
// placement at start-up); dialogs are placed relative to it.
void RecordMainWindowPosition(int x, int y);
// Records where the main window stands now (nothing without a window).
void RecordMainWindowPlacement();
POINT MainWindowPosition();
