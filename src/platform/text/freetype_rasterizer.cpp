// FreeType faces found through fontconfig. The face names that projects use map to the IPA faces,
// which have the metrics of the Japanese Windows faces; any other name falls back to a face that
// holds kana and kanji, since every game text may contain them.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <mutex>
#include <string>

#include "platform/text/rasterizer.h"
#include "platform/text_codec.h"

namespace t4::platform::text {
namespace {

constexpr int DEFAULT_HEIGHT = 16;
constexpr int MAX_PIXELS = 512;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Whether the Shift-JIS text holds `part` starting at a character boundary.
bool Has(std::string_view text, std::string_view part) {
  for (size_t i = 0; i + part.size() <= text.size(); i += IsSjisPairAt(text, i) ? 2 : 1)
    if (text.substr(i, part.size()) == part) return true;
  return false;
}

// The installed family that stands in for a face name of the project (compared as Shift-JIS,
// which the literals here are compiled to); other names are looked up as they are.
std::string MapFamily(std::string_view cp932) {
  const std::string low = Lower(std::string(cp932));
  const bool proportional = Has(cp932, "Ｐ") || Has(low, "pgothic") || Has(low, "pmincho") || Has(low, "ui gothic");
  if (Has(cp932, "明朝") || Has(low, "mincho")) return proportional ? "IPAPMincho" : "IPAMincho";
  if (Has(cp932, "ゴシック") || Has(low, "gothic")) return proportional ? "IPAPGothic" : "IPAGothic";
  return Cp932ToUtf8Lossy(cp932);
}

// First code point of a UTF-8 text; 0 when there is none.
char32_t DecodeUtf8(const std::string& s) {
  if (s.empty()) return 0;
  const auto b = [&](size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u; };
  const unsigned c = b(0);
  if (c < 0x80) return c;
  if ((c & 0xE0) == 0xC0) return (c & 0x1F) << 6 | (b(1) & 0x3F);
  if ((c & 0xF0) == 0xE0) return (c & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F);
  if ((c & 0xF8) == 0xF0) return (c & 0x07) << 18 | (b(1) & 0x3F) << 12 | (b(2) & 0x3F) << 6 | (b(3) & 0x3F);
  return 0;
}

class FreeTypeRasterizer;

class FreeTypeFace : public Face {
 public:
  FreeTypeFace(FreeTypeRasterizer& owner, FT_Face face, std::string family)
      : m_owner(owner), m_face(face), m_family(std::move(family)) {}
  ~FreeTypeFace() override;
  bool SetSize(int width, int height);
  int CellHeight() const override { return m_cell; }
  int Advance(CharCode code) override;
  GlyphBitmap Render(CharCode code, GlyphMode mode) override;
  std::string_view FamilyName() const override { return m_family; }

 private:
  int EmptyAdvance(CharCode code) const { return code > 0xFF ? m_emX : m_emX / 2; }
  bool Load(CharCode code, FT_Int32 flags);

  FreeTypeRasterizer& m_owner;
  FT_Face m_face;
  std::string m_family;
  int m_cell = 0;
  int m_ascent = 0;
  int m_emX = 0;
};

class FreeTypeRasterizer : public Rasterizer {
 public:
  FreeTypeRasterizer() {
    m_codes.fill(-1);
    if (FT_Init_FreeType(&m_library) != 0) m_library = nullptr;
    m_config = FcInitLoadConfigAndFonts();
  }
  ~FreeTypeRasterizer() override {
    if (m_config) FcConfigDestroy(m_config);
    if (m_library) FT_Done_FreeType(m_library);
  }

  std::unique_ptr<Face> Open(std::string_view faceCp932, int width, int height) override {
    std::lock_guard lock(m_mutex);
    if (!m_library || !m_config) return nullptr;
    const std::string wanted = MapFamily(faceCp932);
    for (const std::string& family : {wanted, std::string("IPAGothic"), std::string()}) {
      std::string file, matched;
      int index = 0;
      if (!Match(family, &file, &index, &matched)) continue;
      FT_Face face = nullptr;
      if (FT_New_Face(m_library, file.c_str(), index, &face) != 0) continue;
      auto result = std::make_unique<FreeTypeFace>(*this, face, matched);
      if (result->SetSize(width, height)) return result;
    }
    return nullptr;
  }

  // Unicode of a CP932 character; 0 when it has none.
  char32_t ToUnicode(CharCode code) {
    std::lock_guard lock(m_mutex);
    int32_t& known = m_codes[code];
    if (known < 0) {
      std::string bytes;
      if (code > 0xFF) bytes.push_back(static_cast<char>(code >> 8));
      bytes.push_back(static_cast<char>(code & 0xFF));
      const auto utf8 = code >= 0x20 ? Cp932ToUtf8(bytes) : std::nullopt;
      known = utf8 ? static_cast<int32_t>(DecodeUtf8(*utf8)) : 0;
    }
    return static_cast<char32_t>(known);
  }
  std::mutex& FaceMutex() { return m_faceMutex; }

 private:
  // A face file for the family (empty: any sans-serif face) that holds kana and kanji.
  bool Match(const std::string& family, std::string* file, int* index, std::string* matched) {
    FcPattern* pattern = FcPatternCreate();
    if (!family.empty())
      FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    else
      FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcConfigSubstitute(m_config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(m_config, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return false;
    bool ok = false;
    FcChar8* path = nullptr;
    FcChar8* name = nullptr;
    FcCharSet* chars = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path &&
        FcPatternGetCharSet(match, FC_CHARSET, 0, &chars) == FcResultMatch && chars &&
        FcCharSetHasChar(chars, 0x3042) && FcCharSetHasChar(chars, 0x6F22)) {
      *file = reinterpret_cast<const char*>(path);
      if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch) *index = 0;
      *matched = FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch && name
                     ? reinterpret_cast<const char*>(name)
                     : family;
      ok = true;
    }
    FcPatternDestroy(match);
    return ok;
  }

  std::mutex m_mutex;
  std::mutex m_faceMutex;
  FT_Library m_library = nullptr;
  FcConfig* m_config = nullptr;
  std::array<int32_t, 65536> m_codes{};
};

FreeTypeFace::~FreeTypeFace() {
  std::lock_guard lock(m_owner.FaceMutex());
  FT_Done_Face(m_face);
}

bool FreeTypeFace::SetSize(int width, int height) {
  if (!FT_IS_SCALABLE(m_face) || m_face->units_per_EM == 0) return false;
  const double em = m_face->units_per_EM;
  // The line metrics of the IPA faces make the cell equal to the em, as the Windows faces that
  // projects name do; the OS/2 clipping values are taller and only stand in when those are absent.
  double ascent = m_face->ascender, descent = -m_face->descender;
  if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(m_face, FT_SFNT_OS2));
      ascent + descent <= 0 && os2) {
    ascent = os2->usWinAscent;
    descent = os2->usWinDescent;
  }
  if (ascent + descent <= 0) return false;
  if (height == 0) height = DEFAULT_HEIGHT;
  height = std::clamp(height, -MAX_PIXELS, MAX_PIXELS);
  // A positive height is the whole cell, a negative one the em.
  int ppem = 0;
  if (height > 0) {
    m_cell = height;
    ppem = std::max(1, static_cast<int>(std::lround(height * em / (ascent + descent))));
  } else {
    ppem = -height;
    m_cell = std::max(1, static_cast<int>(std::lround((ascent + descent) * ppem / em)));
  }
  m_ascent = static_cast<int>(std::lround(m_cell * ascent / (ascent + descent)));
  m_emX = width > 0 ? std::min(width * 2, MAX_PIXELS * 2) : ppem;
  return FT_Set_Pixel_Sizes(m_face, static_cast<FT_UInt>(width > 0 ? m_emX : 0), static_cast<FT_UInt>(ppem)) == 0;
}

bool FreeTypeFace::Load(CharCode code, FT_Int32 flags) {
  const char32_t u = m_owner.ToUnicode(code);
  if (u == 0) return false;
  const FT_UInt index = FT_Get_Char_Index(m_face, u);
  return index != 0 && FT_Load_Glyph(m_face, index, flags) == 0;
}

int FreeTypeFace::Advance(CharCode code) {
  std::lock_guard lock(m_owner.FaceMutex());
  if (!Load(code, FT_LOAD_DEFAULT)) return EmptyAdvance(code);
  return static_cast<int>((m_face->glyph->advance.x + 32) >> 6);
}

GlyphBitmap FreeTypeFace::Render(CharCode code, GlyphMode mode) {
  std::lock_guard lock(m_owner.FaceMutex());
  GlyphBitmap g;
  const FT_Int32 flags = FT_LOAD_RENDER | (mode == GlyphMode::Mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
  if (!Load(code, flags)) {
    g.advance = EmptyAdvance(code);
    return g;
  }
  const FT_GlyphSlot slot = m_face->glyph;
  const FT_Bitmap& bm = slot->bitmap;
  g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
  g.left = slot->bitmap_left;
  g.top = m_ascent - slot->bitmap_top;
  g.width = static_cast<int>(bm.width);
  g.height = static_cast<int>(bm.rows);
  g.coverage.assign(static_cast<size_t>(g.width) * g.height, 0);
  for (int y = 0; y < g.height; ++y) {
    const unsigned char* row = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
    for (int x = 0; x < g.width; ++x) {
      uint8_t v = 0;
      if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
        v = (row[x >> 3] >> (7 - (x & 7)) & 1) ? 255 : 0;
      else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY)
        v = row[x];
      if (mode == GlyphMode::Mono) v = v >= 128 ? 255 : 0;
      g.coverage[static_cast<size_t>(y) * g.width + x] = v;
    }
  }
  return g;
}

}  // namespace

std::unique_ptr<Rasterizer> MakeFreeTypeRasterizer() { return std::make_unique<FreeTypeRasterizer>(); }

}  // namespace t4::platform::text
