// Glyph caches: cells of pre-rendered characters on one colour-keyed surface.
#include "gfx/font.h"
#include "platform/text/rasterizer.h"

using t4::platform::text::CharCodeAt;
using t4::platform::text::CharLengthAt;

cFastFont::cFastFont(int nKind, int nCellW, int nCellH, int nColumns, int nRows)
    : m_nKind(nKind),
      m_nCellW(nCellW),
      m_nCellH(nCellH),
      m_nColumns(nColumns),
      m_nRows(nRows),
      m_nCapacity(nColumns * nRows) {
  if (nCellW > 0 && nCellH > 0 && nColumns > 0 && nRows > 0)
    DDCreateSurface(&m_CacheSD, nColumns * nCellW, nRows * nCellH, TRUE, 0, DTMEMORYTYPE_VIDEO_RT, nullptr);
}

cFastFont::~cFastFont() { DDReleaseSurface(&m_CacheSD); }

bool cFastFont::IsReady() const {
  return (m_CacheSD.lpDT && m_CacheSD.lpDT->lpSurface) || (m_CacheSD.lpDDPart && m_CacheSD.lpDDPart->lpDDS);
}

int cFastFont::AddChar(const char* ch) {
  if (!ch || m_nCount >= m_nCapacity) return 0;
  FASTGLYPH g;
  g.wCode = CharCodeAt(ch, CharLengthAt(ch));
  g.nIndex = m_nCount;
  g.x = m_nCount % m_nColumns * m_nCellW;
  g.y = m_nCount / m_nColumns * m_nCellH;
  m_Glyphs.push_back(g);
  ++m_nCount;
  return 1;
}

int cFastFont::DrawIndex(DDSURFACEDATA* lpDst, int x, int y, BYTE index, int nFlags) {
  if (m_nColumns <= 0) return 0;
  return DDBlt(lpDst, x, y, m_nCellW, m_nCellH, &m_CacheSD, index % m_nColumns * m_nCellW,
               index / m_nColumns * m_nCellH, nFlags);
}

const FASTGLYPH* cFastFont::Find(WORD wCode) const {
  for (const FASTGLYPH& g : m_Glyphs)
    if (g.wCode == wCode) return &g;
  return nullptr;
}

int cFastFont::DrawChar(DDSURFACEDATA* lpDst, int x, int y, const char* ch, int nFlags) {
  if (!ch) return 0;
  const FASTGLYPH* g = Find(CharCodeAt(ch, CharLengthAt(ch)));
  if (!g) return 0;
  DDBlt(lpDst, x, y, m_nCellW, m_nCellH, &m_CacheSD, g->x, g->y, nFlags);
  return 1;
}
