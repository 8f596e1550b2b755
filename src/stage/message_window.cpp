// Setting a message window up, its text surface, and the scene's list of windows.
#include "stage/message_window.h"

#include <algorithm>

#include "core/globals.h"
#include "core/system_report.h"
#include "gfx/dd.h"
#include "gfx/font.h"
#include "gfx/scene_surfaces.h"
#include "stage/graphic_source.h"

namespace {

constexpr int MESSAGE_FONT = 1;
// A text surface never grows past what a texture can hold, whatever the stage's text is.
constexpr int MAX_SURFACE_SIDE = 4096;
constexpr int PICTURE_SIDE = 16;

// Windows of one run are told apart by this number, never reused while the program runs.
uint32_t s_nNextSerial = 0;

cFont& MessageFont() { return g_Fonts[MESSAGE_FONT]; }

// Under the blit device a nearly full video memory sends the surface to system memory.
int SurfaceMemory() {
  if (g_bUseD3D) return 0;
  int freeMB = 0, totalMB = 0;
  GetVideoMemoryMB(&freeMB, &totalMB);
  return int64_t{freeMB} * 5 < int64_t{totalMB} ? 1 : 0;
}

}  // namespace

void cMessageWindow::Set(const MSGWINDOWPARAM& p, int bKeepSurface) {
  m_nKind = p.nKind;
  if (p.lpText) {
    m_strText = p.lpText;
    m_strTemplate = p.lpText;
  }
  m_nGraphicKind = p.nGraphicKind;
  m_nGraphicNo = p.nGraphicNo;
  m_nGraphicFrame = p.nGraphicFrame;
  m_nPlacement = p.nPlacement;
  m_nUnit = p.nUnit;
  m_nPosX = p.nX;
  m_nPosY = p.nY;
  m_nOffsetX = p.nOffsetX;
  m_nOffsetY = p.nOffsetY;
  m_bKeepInside = p.bKeepInside;
  m_bFixed = p.bFixed;
  m_nDuration = p.nDuration;
  m_bCountFrozen = p.bCountFrozen;
  m_nCharaId = p.nCharaId;
  m_bVariables = p.bVariables;
  m_bRefresh = p.bRefresh;
  m_nRefreshPeriod = p.nRefreshPeriod;
  m_bBox = p.bBox;
  m_bHasId = p.bHasId;
  m_nMsgId = p.nMsgId;
  m_bLatched = 0;
  if (m_bVariables) InsertVariables(m_strText);
  if (m_nKind == MSGWIN_TEXT) {
    MeasureText(m_nWidth, m_nHeight, m_strText);
  } else {
    m_nWidth = m_nHeight = PICTURE_SIDE;
  }
  m_nRemaining = p.nFrames;
  m_dAppear = 0.0;
  m_bAppear = p.nDuration == 0 && !p.bNoAnimation ? 1 : 0;
  if (m_nKind != MSGWIN_TEXT) return;
  if (!bKeepSurface || !m_lpSurface) {
    if (!LoadImage()) return;
  } else if (m_lpSurface->nWidth != m_nWidth || m_lpSurface->nHeight != m_nHeight) {
    // A kept surface must still fit the text.
    if (!RecreateSurface()) return;
  }
  RenderText();
}

void cMessageWindow::MeasureText(int& width, int& height, const std::string& text) {
  int ext[2] = {0, 0};
  const cFont& font = MessageFont();
  // Measured the way the font lays the text out: a font with a cell size puts every character in
  // a cell of its own, cached or not, so the face's own advances would cut the text short.
  if (font.m_nCellW != 0)
    font.GetMultiLineExtent(ext, text.c_str());
  else
    font.MeasureGdi(ext, text.c_str());
  width = std::clamp(ext[0] + 2, 1, MAX_SURFACE_SIDE);
  height = std::clamp(ext[1] + 2, 1, MAX_SURFACE_SIDE);
}

bool cMessageWindow::LoadImage() {
  ReleaseSurface();
  if (!DDAddSurfaceToList(Off_Msg, g_MsgSlots, m_nWidth, m_nHeight, TRUE, SurfaceMemory(), DTMEMORYTYPE_VIDEO_RT,
                          nullptr)) {
    DDRemoveSurfaceFromList(Off_Msg, g_MsgSlots, &Off_Msg.back());
    PostCloseToMainWindow();
    return false;
  }
  m_lpSurface = &Off_Msg.back();
  return true;
}

bool cMessageWindow::RecreateSurface() {
  if (!m_lpSurface) return false;
  DDReleaseSurface(m_lpSurface);
  if (DDCreateSurface(m_lpSurface, m_nWidth, m_nHeight, TRUE, SurfaceMemory(), DTMEMORYTYPE_VIDEO_RT, nullptr))
    return true;
  ReleaseSurface();
  PostCloseToMainWindow();
  return false;
}

void cMessageWindow::RenderText() {
  if (!m_lpSurface) return;
  // A paletted blit screen keeps its own clear colour.
  if (g_bUseD3D || g_nBpp != 8)
    DDFillRect(m_lpSurface, 0, 0, m_lpSurface->nWidth, m_lpSurface->nHeight, TransparentFillColor(m_lpSurface));
  if (m_bBox)
    MessageFont().DrawTextBox(m_lpSurface, 1, 1, 0, 0, m_strText.c_str(), 0);
  else
    MessageFont().Draw(m_lpSurface, 1, 1, m_strText.c_str());
  m_lpSurface->bLost = 0;
}

void cMessageWindow::ReleaseSurface() {
  if (!m_lpSurface) return;
  DDRemoveSurfaceFromList(Off_Msg, g_MsgSlots, m_lpSurface);
  m_lpSurface = nullptr;
}

cMessageWindow& AddMessageWindow(MSGWINDOWLIST& list, const MSGWINDOWPARAM& p) {
  return InsertMessageWindow(list, list.end(), p);
}

cMessageWindow& InsertMessageWindow(MSGWINDOWLIST& list, MSGWINDOWLIST::iterator at, const MSGWINDOWPARAM& p) {
  // Set up in place: the window's surface pointer belongs to this element.
  auto it = list.emplace(at);
  it->m_nSerial = ++s_nNextSerial;
  it->Set(p, 0);
  return *it;
}

MSGWINDOWLIST::iterator FindMessageWindow(MSGWINDOWLIST& list, uint32_t serial) {
  return std::find_if(list.begin(), list.end(), [serial](const cMessageWindow& w) { return w.m_nSerial == serial; });
}

bool RemoveMessageWindow(MSGWINDOWLIST& list, uint32_t serial) {
  auto it = FindMessageWindow(list, serial);
  if (it == list.end()) return false;
  it->ReleaseSurface();
  list.erase(it);
  return true;
}

void ClearMessageWindows(MSGWINDOWLIST& list) {
  list.clear();
  DDReleaseSurfacePair(Off_Msg, g_MsgSlots);
}

void DrawMessageWindows(MSGWINDOWLIST& list, DDSURFACEDATA* dst, int frozen) {
  for (auto it = list.begin(); it != list.end();) {
    if (it->Draw(dst, frozen))
      it = list.erase(it);
    else
      ++it;
  }
}
