// The game's fonts: a face, a size, a text colour from the palette, a character cell that lays
// text out on a grid, a box picture for message boxes and a symbol picture whose cells replace
// lowercase letters. A font can keep two glyph caches (every single-byte character in a 16 x 16
// grid, full-width characters added on first use) from which text is drawn as sprite copies.
#pragma once

#include <list>
#include <memory>
#include <vector>

#include "gfx/dd.h"
#include "platform/text/rasterizer.h"

struct FONTDESC {
  char szFace[256] = {};
  int32_t nWidth = 0;
  int32_t nHeight = 0;
  int32_t nCellW = 0;
  int32_t nCellH = 0;
  int32_t nPalColor = 0;
  int32_t nBoxPicture = 0;
  int32_t nFrameThick = 0;
  int32_t nFramePal = 0;
  int32_t nSymbolPicture = 0;
  int32_t nCacheMode = 0;  // 0 off, 1 on, 2 from System.ini (replaced before the fonts are made)
};

struct FASTGLYPH {
  WORD wCode = 0;  // the character's two bytes, lead byte high
  int32_t nIndex = 0;
  int32_t x = 0, y = 0;
};

// A glyph cache: a colour-keyed surface of columns x rows cells.
class cFastFont {
 public:
  cFastFont(int nKind, int nCellW, int nCellH, int nColumns, int nRows);
  ~cFastFont();
  cFastFont(const cFastFont&) = delete;
  cFastFont& operator=(const cFastFont&) = delete;

  // False when the cache surface could not be made.
  bool IsReady() const;
  // Takes the next free cell for a double-byte character; 0 when the cache is full.
  int AddChar(const char* ch);
  int DrawIndex(DDSURFACEDATA* lpDst, int x, int y, BYTE index, int nFlags);
  // Copies the cell of a listed character; 0 when it is not listed.
  int DrawChar(DDSURFACEDATA* lpDst, int x, int y, const char* ch, int nFlags);
  const FASTGLYPH* Find(WORD wCode) const;

  int32_t m_nKind = 0;
  int32_t m_nCellW = 0, m_nCellH = 0;
  int32_t m_nColumns = 0, m_nRows = 0;
  int32_t m_nCapacity = 0;
  DDSURFACEDATA m_CacheSD;
  std::vector<FASTGLYPH> m_Glyphs;
  int32_t m_nCount = 0;
};

class cFont {
 public:
  cFont() = default;
  ~cFont();
  cFont(const cFont&) = delete;
  cFont& operator=(const cFont&) = delete;

  bool Create(const char* face, int width, int height, int cellW, int cellH, int palColor, DDSURFACEDATA* lpBox,
              int frameThick, int framePal, DDSURFACEDATA* lpSymbols, int bCache);
  void Release();
  void Restore();

  int Draw(DDSURFACEDATA* lpDst, int x, int y, const char* text, BOOL bNoSymbols = FALSE);
  int DrawF(DDSURFACEDATA* lpDst, int x, int y, const char* fmt, ...) __attribute__((format(printf, 5, 6)));
  int DrawBox(DDSURFACEDATA* lpDst, int x, int y, int w, int h);
  int DrawTextBox(DDSURFACEDATA* lpDst, int x, int y, int w, int h, const char* text, int margin);
  int DrawTextBoxF(DDSURFACEDATA* lpDst, int x, int y, int w, int h, const char* fmt, ...)
      __attribute__((format(printf, 7, 8)));
  int DrawSymbols(DDSURFACEDATA* lpDst, int x, int y, const char* text);
  void GetMultiLineExtent(int out[2], const char* text) const;
  // Extent of proportional text from the face's own advances.
  void MeasureGdi(int out[2], const char* text) const;

  int32_t m_nSerial = 0;
  // The face renders monochrome glyphs in the blit mode and coverage glyphs in the render mode.
  std::unique_ptr<t4::platform::text::Face> m_lpFace;
  char m_szFace[256] = {};
  int32_t m_nWidth = 0, m_nHeight = 0;
  int32_t m_nCellW = 0, m_nCellH = 0;
  int32_t m_nPalColor = 0;
  DWORD m_dwColor = 0;
  int32_t m_bCentre = 0;
  DDSURFACEDATA m_WorkSD;
  DDSURFACEDATA* m_lpBoxSD = nullptr;
  int32_t m_nFrameThick = 0;
  int32_t m_nFramePal = 0;
  DDSURFACEDATA* m_lpSymbolSD = nullptr;
  int32_t m_bSymbols = 0;
  int32_t m_bCache = 0;
  std::unique_ptr<cFastFont> m_lpFastFont_Half;
  std::unique_ptr<cFastFont> m_lpFastFont_FullAdd;

  // The characters every full-width cache starts with.
  static const char* const FULL_CACHE_CHARS;

 private:
  void Measure(int out[2], const char* text) const;
  void DrawLine(DDSURFACEDATA* lpTarget, int x, int y, const char* text, bool bSymbols, DDSURFACEDATA* lpFinal, int fx,
                int fy);
  void DrawCellChar(DDSURFACEDATA* lpTarget, int x, int y, const char* ch, int n, DDSURFACEDATA* lpFinal, int fx,
                    int fy);
  void DrawGlyph(DDSURFACEDATA* lpTarget, int x, int y, t4::platform::text::CharCode code);
  void PutGlyph(DDSURFACEDATA* lpTarget, int x, int y, t4::platform::text::CharCode code);
  int BracketOffset(t4::platform::text::CharCode code) const;
  bool SymbolsLoaded() const;
  void ReleaseCaches();
  bool MakeCaches();
  void RenderHalfCache(bool bRebuild);
  void RenderFullCache(bool bRebuild);
};

extern cFont g_Fonts[3];
extern FONTDESC g_FontDescs[3];
extern std::list<cFont*> g_FontList;
extern DDSURFACEDATA g_DigitStripSD[3];
extern IMAGESLOT g_DigitStripSlots[3];

int DDCreateFonts(cFont* fonts, const FONTDESC* descs, int count);
int DDCreateDigitStrips(DDSURFACEDATA* strips, const IMAGESLOT* slots, int count, cFont* fonts, const FONTDESC* descs);
int DDDrawDigitStrip(DDSURFACEDATA* lpSD, cFont* lpFont);
