// Fonts: creation, layout of text in cells or proportionally, drawing through the caches or the
// face, boxes and measuring.
#include "gfx/font.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "core/globals.h"
#include "core/report_log.h"
#include "core/sjis_text.h"
#include "gfx/batch.h"
#include "gfx/dd_internal.h"
#include "gfx/frames_digits.h"
#include "platform/text/glyph_plot.h"
#include "platform/text_codec.h"

using t4::platform::text::CharCode;
using t4::platform::text::CharCodeAt;
using t4::platform::text::CharLengthAt;

const char* const cFont::FULL_CACHE_CHARS =
    "０１２３４５６７８９ー～、。．！？「」（）｛｝・…※→↑↓←＋－＝○●×ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹ"
    "Ｚ"
    "ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚあいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほま"
    "みむめ"
    "もやゆよらりるれろわをんがぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽぁぃぅぇぉっゃゅょアイウエオカキクケコサ"
    "シスセ"
    "ソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲンガギグゲゴザジズゼゾダヂヅデトバビブベボヴパピプペ"
    "ポァィゥ"
    "ェォッャュョ□■☆★％＆＜＞：";

namespace {

constexpr int FORMAT_SIZE_DRAW = 256;
constexpr int FORMAT_SIZE_BOX = 512;

CharCode CodeOf(const char* literal) { return CharCodeAt(literal, CharLengthAt(literal)); }

void RestoreAllFonts() {
  for (cFont* font : g_FontList) font->Restore();
}

bool HasSurface(const DDSURFACEDATA& sd) {
  return (sd.lpDT && sd.lpDT->lpSurface) || (sd.lpDDPart && sd.lpDDPart->lpDDS);
}

// printf into a buffer of `size` bytes; a cut text ends on a whole character. One byte more is
// formatted so that a double-byte character across the cut is seen whole and left out.
std::string FormatBounded(int size, const char* fmt, va_list args) {
  std::string text(static_cast<size_t>(size) + 1, '\0');
  const int n = std::vsnprintf(text.data(), text.size(), fmt, args);
  if (n < 0) return {};
  text.resize(std::min(static_cast<size_t>(n), static_cast<size_t>(size)));
  text.resize(t4::platform::SjisCutLength(text, static_cast<size_t>(size) - 1));
  return text;
}

// Calls each(p, n, code, line, column) for every character of a text (n bytes at p); a line feed
// starts the next line and is not passed on.
template <typename F>
void ForEachChar(const char* text, F each) {
  int line = 0, column = 0;
  for (const char* p = text; *p;) {
    if (*p == '\n') {
      ++line;
      column = 0;
      ++p;
      continue;
    }
    const int n = CharLengthAt(p);
    each(p, n, CharCodeAt(p, n), line, column++);
    p += n;
  }
}

// The number of lines of a text (line feeds + 1).
int LineCount(const char* text) {
  int lines = 1;
  for (const char* p = text; *p; ++p)
    if (*p == '\n') ++lines;
  return lines;
}

}  // namespace

cFont::~cFont() {
  Release();
  g_FontList.remove(this);
}

bool cFont::SymbolsLoaded() const { return m_lpSymbolSD && HasSurface(*m_lpSymbolSD); }

bool cFont::Create(const char* face, int width, int height, int cellW, int cellH, int palColor, DDSURFACEDATA* lpBox,
                   int frameThick, int framePal, DDSURFACEDATA* lpSymbols, int bCache) {
  g_lpfnFontRestore = &RestoreAllFonts;
  const std::string_view name = face ? face : "";
  const size_t len = t4::platform::SjisCutLength(name, sizeof(m_szFace) - 1);
  std::memcpy(m_szFace, name.data(), len);
  m_szFace[len] = '\0';
  m_nWidth = width;
  m_nHeight = height;
  m_nCellW = cellW;
  m_nCellH = cellH;
  m_nPalColor = palColor;
  m_lpBoxSD = lpBox;
  m_nFrameThick = frameThick;
  m_nFramePal = framePal;
  m_lpSymbolSD = lpSymbols;
  const PALETTEENTRY& e = g_Palette[palColor >= 0 && palColor < 256 ? palColor : 0];
  if (lpDTCon) {
    m_dwColor = 0xFF000000u | static_cast<DWORD>(e.peRed) << 16 | e.peGreen << 8 | e.peBlue;
  } else if (g_nBpp == 16) {
    const auto widen = [](int c, int mask) { return mask > 0 ? static_cast<DWORD>(c * 255 / mask) : 0u; };
    m_dwColor = widen(e.peBlue, g_BackMask.nBMask) << 16 | widen(e.peGreen, g_BackMask.nGMask) << 8 |
                widen(e.peRed, g_BackMask.nRMask);
  } else if (g_nBpp != 0) {
    m_dwColor = static_cast<DWORD>(e.peBlue) << 16 | e.peGreen << 8 | e.peRed;
  }

  m_lpFace = t4::platform::text::GetRasterizer().Open(m_szFace, width, height);
  if (!m_lpFace) {
    WriteReportLog("CreateFont Err %s", m_szFace);
    return false;
  }
  if (!HasSurface(m_WorkSD) &&
      !DDCreateSurface(&m_WorkSD, g_nScreenWidth, g_nScreenHeight, TRUE, 0, DTMEMORYTYPE_VIDEO_RT, nullptr)) {
    DebugLogf("DDCreateSurface Font::Work");
    PostCloseToMainWindow();
    return false;
  }
  if (lpDTCon)
    m_nSerial = lpDTCon->nFontSerial++;
  else if (g_lpDDCon)
    m_nSerial = g_lpDDCon->nFontSerial++;
  if (std::find(g_FontList.begin(), g_FontList.end(), this) == g_FontList.end()) g_FontList.push_back(this);

  m_bCache = bCache;
  ReleaseCaches();
  if (!bCache) return true;
  if (cellW <= 0 || cellH <= 0) {
    DebugLogf("※フォントクラスで文字間が未設定！");
    return true;
  }
  if (!MakeCaches()) return false;
  RenderHalfCache(false);
  RenderFullCache(false);
  return true;
}

bool cFont::MakeCaches() {
  m_lpFastFont_Half = std::make_unique<cFastFont>(0, m_nCellW, m_nCellH, 16, 16);
  if (!m_lpFastFont_Half->IsReady()) {
    DebugLogf("m_lpFastFont_Half Err");
    ReleaseCaches();
    PostCloseToMainWindow();
    return false;
  }
  int columns, rows;
  if (lpDTCon) {
    columns = std::min(1024 / m_nCellW, 32);
    rows = std::min(1024 / m_nCellH, 32);
  } else {
    columns = std::min(g_nScreenWidth / m_nCellW, 32);
    rows = std::min(g_nScreenHeight / m_nCellH, 30);
  }
  m_lpFastFont_FullAdd = std::make_unique<cFastFont>(1, m_nCellW, m_nCellH, columns, rows);
  if (!m_lpFastFont_FullAdd->IsReady()) {
    DebugLogf("m_lpFastFont_FullAdd Err");
    ReleaseCaches();
    PostCloseToMainWindow();
    return false;
  }
  return true;
}

void cFont::ReleaseCaches() {
  m_lpFastFont_Half.reset();
  m_lpFastFont_FullAdd.reset();
}

void cFont::Release() {
  m_lpFace.reset();
  ReleaseCaches();
  DDReleaseSurface(&m_WorkSD);
}

void cFont::Restore() {
  if (lpDTCon) {
    if (m_lpFastFont_Half && m_lpFastFont_Half->m_CacheSD.bLost) {
      RenderHalfCache(true);
      m_lpFastFont_Half->m_CacheSD.bLost = 0;
    }
    if (m_lpFastFont_FullAdd && m_lpFastFont_FullAdd->m_CacheSD.bLost) {
      RenderFullCache(true);
      m_lpFastFont_FullAdd->m_CacheSD.bLost = 0;
    }
    return;
  }
  if (!g_lpDD) return;
  for (DDSURFACEDATA* sd : {&m_WorkSD, m_lpFastFont_Half ? &m_lpFastFont_Half->m_CacheSD : nullptr,
                            m_lpFastFont_FullAdd ? &m_lpFastFont_FullAdd->m_CacheSD : nullptr}) {
    if (sd && sd->lpDDPart && sd->lpDDPart->lpDDS && g_lpDD->IsLost(sd->lpDDPart->lpDDS) == DDERR_SURFACELOST)
      g_lpDD->Restore(sd->lpDDPart->lpDDS);
  }
  RenderHalfCache(true);
  RenderFullCache(true);
}

int cFont::BracketOffset(CharCode code) const {
  static const CharCode brackets[] = {CodeOf("（"), CodeOf("）"), CodeOf("｛"), CodeOf("｝"), '(', ')', '{', '}'};
  if (m_bCentre || std::strcmp(m_szFace, "ＭＳ Ｐゴシック") != 0) return 0;
  return std::find(std::begin(brackets), std::end(brackets), code) != std::end(brackets) ? m_nCellW / 4 : 0;
}

void cFont::RenderHalfCache(bool /*bRebuild*/) {
  cFastFont* cache = m_lpFastFont_Half.get();
  if (!cache || !m_lpFace) return;
  DDClearPal(&cache->m_CacheSD, 0);
  // Each code straight into its own cell: laid out as text, a lead byte would pair with the
  // next byte (or the line feed) and move every later cell.
  for (int c = 16; c < 256; ++c) {
    if (c == ' ' || t4::platform::IsSjisLeadByte(static_cast<unsigned char>(c))) continue;
    const CharCode code = static_cast<CharCode>(c);
    DrawGlyph(&cache->m_CacheSD, c % 16 * m_nCellW + BracketOffset(code), c / 16 * m_nCellH, code);
  }
}

void cFont::RenderFullCache(bool bRebuild) {
  cFastFont* cache = m_lpFastFont_FullAdd.get();
  if (!cache || !m_lpFace) return;
  if (!bRebuild) {
    for (const char* p = FULL_CACHE_CHARS; *p; p += CharLengthAt(p))
      if (!cache->AddChar(p)) break;
  }
  DDClearPal(&cache->m_CacheSD, 0);
  for (const FASTGLYPH& g : cache->m_Glyphs) DrawGlyph(&cache->m_CacheSD, g.x + BracketOffset(g.wCode), g.y, g.wCode);
}

void cFont::PutGlyph(DDSURFACEDATA* lpTarget, int x, int y, CharCode code) {
  if (!lpTarget || !m_lpFace) return;
  DDSURFACEDATA* t = lpTarget;
  RasterSurface* pixels = nullptr;
  t4::platform::text::GlyphInk ink;
  if (lpDTCon) {
    DDRedirectToSrcSD(&t);
    DDRedirectToVirBackBuffer(&t);
    if (t->lpDT) pixels = t->lpDT->lpSurface;
    ink.argb = m_dwColor;
    ink.opaqueTarget = t == &BackBuffer || t == &VirBackBuffer || !t->lpDT || !t->lpDT->bColorKey;
  } else {
    if (t->lpDDPart) pixels = t->lpDDPart->lpDDS;
    ink.useRaw = true;
    ink.raw = PalNumToRGB(static_cast<DWORD>(m_nPalColor));
  }
  if (!pixels) return;
  const auto glyph =
      m_lpFace->Render(code, lpDTCon ? t4::platform::text::GlyphMode::Coverage : t4::platform::text::GlyphMode::Mono);
  t4::platform::text::PlotGlyph(*pixels, x + glyph.left, y + glyph.top, t->nWidth, t->nHeight, glyph, ink);
}

void cFont::DrawGlyph(DDSURFACEDATA* lpTarget, int x, int y, CharCode code) {
  if (!m_lpFace) return;
  if (m_bCentre) {
    x += m_nCellW / 2 - m_lpFace->Advance(code) / 2;
    y += m_nCellH / 2 - m_lpFace->CellHeight() / 2;
  } else if (code <= 0xFF) {
    x += m_nCellW / 8;
    y += m_nCellH / 16 - 1;
  }
  PutGlyph(lpTarget, x, y, code);
}

void cFont::DrawCellChar(DDSURFACEDATA* lpTarget, int x, int y, const char* ch, int n, DDSURFACEDATA* lpFinal, int fx,
                         int fy) {
  const CharCode code = CharCodeAt(ch, n);
  if (m_bCache && lpFinal) {
    if (n == 1 && m_lpFastFont_Half) {
      m_lpFastFont_Half->DrawIndex(lpFinal, fx, fy, static_cast<BYTE>(code), BLT_TRANSPARENT);
      return;
    }
    if (n == 2 && m_lpFastFont_FullAdd) {
      cFastFont& cache = *m_lpFastFont_FullAdd;
      if (cache.DrawChar(lpFinal, fx, fy, ch, BLT_TRANSPARENT)) return;
      if (cache.AddChar(ch)) {
        const FASTGLYPH& g = cache.m_Glyphs.back();
        DrawGlyph(&cache.m_CacheSD, g.x, g.y, code);
        cache.DrawChar(lpFinal, fx, fy, ch, BLT_TRANSPARENT);
        return;
      }
    }
  }
  DrawGlyph(lpTarget, x, y, code);
}

void cFont::DrawLine(DDSURFACEDATA* lpTarget, int x, int y, const char* text, bool bSymbols, DDSURFACEDATA* lpFinal,
                     int fx, int fy) {
  DDBeginBatch(1);
  if (m_nCellW == 0) {
    // Proportional: each line whole, the pen moving by the face's advances.
    int pen = 0, penLine = 0;
    ForEachChar(text, [&](const char*, int, CharCode code, int line, int) {
      if (line != penLine) {
        pen = 0;
        penLine = line;
      }
      PutGlyph(lpTarget, x + pen, y + line * m_nCellH, code);
      pen += m_lpFace ? m_lpFace->Advance(code) : 0;
    });
  } else {
    static const CharCode fullBlank = CodeOf("　");
    const bool skipLower = bSymbols && SymbolsLoaded();
    ForEachChar(text, [&](const char* p, int n, CharCode code, int line, int column) {
      if (code == ' ' || code == fullBlank || (skipLower && code >= 'a' && code <= 'z')) return;
      const int dx = column * m_nCellW + BracketOffset(code), dy = line * m_nCellH;
      DrawCellChar(lpTarget, x + dx, y + dy, p, n, lpFinal, fx + dx, fy + dy);
    });
  }
  DDEndBatch();
}

void cFont::Measure(int out[2], const char* text) const {
  if (m_nCellW != 0)
    GetMultiLineExtent(out, text);
  else
    MeasureGdi(out, text);
}

int cFont::Draw(DDSURFACEDATA* lpDst, int x, int y, const char* text, BOOL bNoSymbols) {
  if (!lpDst || !text || !m_lpFace) return 0;
  const bool symbols = m_bSymbols && !bNoSymbols;
  int ext[2] = {0, 0};
  if (lpDTCon) {
    DDSURFACEDATA* real = lpDst;
    DDRedirectToSrcSD(&real);
    if (real->lpDT && real->lpDT->nMemoryType == DTMEMORYTYPE_SYSTEM) {
      // Text cannot be rendered into a system-memory texture: it goes through the work surface.
      Measure(ext, text);
      DDFillRectPal(&m_WorkSD, 0, 0, ext[0], ext[1], 0);
      DrawLine(&m_WorkSD, 0, 0, text, symbols, lpDst, x, y);
      if (symbols) DrawSymbols(&m_WorkSD, 0, 0, text);
      DDBlt(lpDst, x, y, ext[0], ext[1], &m_WorkSD, 0, 0, BLT_TRANSPARENT);
    } else {
      DrawLine(lpDst, x, y, text, symbols, lpDst, x, y);
      if (symbols) DrawSymbols(lpDst, x, y, text);
    }
    return 1;
  }
  if (!g_lpDD) return 0;
  Measure(ext, text);
  DDFillRectPal(&m_WorkSD, 0, 0, ext[0], ext[1], 0);
  DrawLine(&m_WorkSD, 0, 0, text, symbols, lpDst, x, y);
  DDBlt(lpDst, x, y, ext[0], ext[1], &m_WorkSD, 0, 0, BLT_TRANSPARENT);
  if (symbols) DrawSymbols(lpDst, x, y, text);
  return 1;
}

int cFont::DrawF(DDSURFACEDATA* lpDst, int x, int y, const char* fmt, ...) {
  if (!fmt) return 0;
  va_list args;
  va_start(args, fmt);
  const std::string text = FormatBounded(FORMAT_SIZE_DRAW, fmt, args);
  va_end(args);
  return Draw(lpDst, x, y, text.c_str(), FALSE);
}

int cFont::DrawSymbols(DDSURFACEDATA* lpDst, int x, int y, const char* text) {
  if (!m_bSymbols || !SymbolsLoaded() || m_nCellW == 0 || !text) return 0;
  DDBeginBatch(0);
  ForEachChar(text, [&](const char* p, int n, CharCode, int line, int column) {
    if (n == 1 && *p >= 'a' && *p <= 'z')
      DDBlt(lpDst, x + column * m_nCellW, y + line * m_nCellH, m_nCellW, m_nCellH, m_lpSymbolSD, (*p - 'a') * m_nCellW,
            0, BLT_TRANSPARENT);
  });
  return DDEndBatch();
}

int cFont::DrawBox(DDSURFACEDATA* lpDst, int x, int y, int w, int h) {
  if (m_lpBoxSD) {
    if (x == 10000) x = m_lpBoxSD->nWidth / 2 - w / 2;
    if (y == 10000) y = m_lpBoxSD->nHeight / 2 - h / 2;
  }
  return DDBltFramed(lpDst, x, y, w, h, m_lpBoxSD, m_nFrameThick, m_nFramePal);
}

int cFont::DrawTextBox(DDSURFACEDATA* lpDst, int x, int y, int w, int h, const char* text, int margin) {
  if (!text) return 0;
  if (w == 0 || h == 0) {
    int ext[2] = {0, 0};
    Measure(ext, text);
    w = margin + ext[0];
    h = ext[1];
  }
  DrawBox(lpDst, x, y, w, h);
  if (m_lpBoxSD) {
    if (x == 10000) x = m_lpBoxSD->nWidth / 2 - w / 2;
    if (y == 10000) y = m_lpBoxSD->nHeight / 2 - h / 2;
  }
  return Draw(lpDst, x + margin, y, text, FALSE);
}

int cFont::DrawTextBoxF(DDSURFACEDATA* lpDst, int x, int y, int w, int h, const char* fmt, ...) {
  if (!fmt) return 0;
  va_list args;
  va_start(args, fmt);
  const std::string text = FormatBounded(FORMAT_SIZE_BOX, fmt, args);
  va_end(args);
  return DrawTextBox(lpDst, x, y, w, h, text.c_str(), 0);
}

void cFont::GetMultiLineExtent(int out[2], const char* text) const {
  int widest = 0;
  std::string line;
  for (const char* p = text ? text : "";; ++p) {
    if (*p == '\n' || *p == '\0') {
      widest = std::max(widest, CountChars(line.c_str()));
      line.clear();
      if (!*p) break;
    } else {
      line.push_back(*p);
    }
  }
  out[0] = widest * m_nCellW;
  out[1] = LineCount(text ? text : "") * m_nCellH;
}

void cFont::MeasureGdi(int out[2], const char* text) const {
  const char* t = text ? text : "";
  int widest = 0;
  for (const char* line = t;;) {
    if (m_lpFace) widest = std::max(widest, m_lpFace->MeasureLine(line).width);
    const char* next = std::strchr(line, '\n');
    if (!next) break;
    line = next + 1;
  }
  out[0] = widest;
  out[1] = LineCount(t) * m_nCellH;
}
