#include "persist/system_ini.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "core/report_log.h"
#include "platform/files.h"

namespace {

// Both the key and the value had to fit a buffer of this size with their NUL.
constexpr size_t INI_TEXT_MAX = 2047;
constexpr int INI_MAX_LINES = 10000;
// The FreeStage path is taken only when it is at least this long and fits m_szFreeStage.
constexpr size_t FREE_STAGE_MIN = 2;
constexpr size_t FREE_STAGE_MAX = MAX_PATH - 1;

int32_t* NumberField(cSystemIni& ini, int nPosition) {
  switch (nPosition) {
    case INI_DIRECT3D: return &ini.m_nDirect3D;
    case INI_WINDOW_MODE: return &ini.m_nWindowMode;
    case INI_BPP: return &ini.m_nBpp;
    case INI_VSYNC: return &ini.m_nVSync;
    case INI_D3D_FONT_CACHE: return &ini.m_nD3DFontCache;
    case INI_DD_FONT_CACHE: return &ini.m_nDDFontCache;
    case INI_DD_VIDEO_STRETCH: return &ini.m_nDDVideoStretch;
    case INI_SHOW_FPS: return &ini.m_nShowFps;
    case INI_ENGLISH: return &ini.m_nEnglish;
    case INI_MIDI_DIRECT_MUSIC: return &ini.m_nMidiDirectMusic;
    default: return nullptr;
  }
}

void SetFreeStage(cSystemIni& ini, const std::string& text) {
  std::memcpy(ini.m_szFreeStage, text.c_str(), text.size() + 1);
}

// A leading sign and the digits after it; anything else ends the number, out-of-range values
// stop at the int32 limits.
int32_t ParseDecimal(const std::string& text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int32_t>(value);
}

void ApplyIniValue(cSystemIni& ini, const cSafeVector<cIniKey>& keys, const std::string& key,
                   const std::string& value) {
  for (int i = 0; i < static_cast<int>(keys.size()); ++i) {
    if (keys.At(i).m_strKey != key) continue;
    if (int32_t* field = NumberField(ini, i)) {
      *field = ParseDecimal(value);
    } else if (i == INI_FREE_STAGE && value.size() >= FREE_STAGE_MIN && value.size() <= FREE_STAGE_MAX) {
      SetFreeStage(ini, value);
    }
    return;
  }
}

struct FileCloser {
  void operator()(FILE* fp) const { std::fclose(fp); }
};

}  // namespace

void ApplyIniDefaults(cSystemIni& ini, const cSafeVector<cIniKey>& keys) {
  for (int i = INI_DIRECT3D; i <= INI_SHOW_FPS; ++i) *NumberField(ini, i) = keys.At(i).m_nValue;
  const std::string& freeStage = keys.At(INI_FREE_STAGE).m_strText;
  if (freeStage.size() > FREE_STAGE_MAX) {
    // The editor never writes one; a path cut short would name another file.
    WriteReportLog("FreeStage の初期値が長すぎるため無視しました");
    ini.m_szFreeStage[0] = '\0';
  } else {
    SetFreeStage(ini, freeStage);
  }
  ini.m_nEnglish = keys.At(INI_ENGLISH).m_nValue;
  ini.m_nMidiDirectMusic = keys.At(INI_MIDI_DIRECT_MUSIC).m_nValue;
}

bool ReadSystemIni(const char* path, cSystemIni& ini, const cSafeVector<cIniKey>& keys) {
  std::unique_ptr<FILE, FileCloser> file(t4::platform::OpenFile(path ? path : "", "rb"));
  if (!file) return false;
  return ReadSystemIniStream(file.get(), ini, keys);
}

bool ReadSystemIniStream(FILE* fp, cSystemIni& ini, const cSafeVector<cIniKey>& keys) {
  for (int nLine = 0; nLine < INI_MAX_LINES; ++nLine) {
    std::string key;
    bool bValue = false;
    for (;;) {
      int c = std::fgetc(fp);
      // An "Exit" line that the file ends without a line feed still ends the settings.
      if (c == EOF) return key == "Exit";
      if (c == '=') {
        bValue = true;
        break;
      }
      if (c == '\n') {
        if (key == "Exit") return true;
        break;
      }
      if (c == '\0') return true;
      if (c == ' ' || c == '\t' || c == '\r') continue;
      if (key.size() >= INI_TEXT_MAX) return false;
      key.push_back(static_cast<char>(c));
    }
    if (!bValue) continue;
    // The value ends at a blank, a tab, '/', a line feed or a NUL; whatever follows on the same
    // line is read as the next key. A CR of a CR LF line end is not part of a value.
    std::string value;
    for (;;) {
      int c = std::fgetc(fp);
      if (c == EOF) return false;
      if (c == ' ' || c == '\t' || c == '/' || c == '\n' || c == '\0') break;
      if (c == '\r') continue;
      if (value.size() >= INI_TEXT_MAX) return false;
      value.push_back(static_cast<char>(c));
    }
    ApplyIniValue(ini, keys, key, value);
  }
  return true;
}
