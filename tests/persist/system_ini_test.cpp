#include "persist/system_ini.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "persist/system_data.h"
#include "support/temp_dir.h"

namespace t4::test {
namespace {

struct IniValues {
  int32_t nDirect3D, nWindowMode, nBpp, nVSync, nD3DFontCache, nDDFontCache, nDDVideoStretch, nShowFps, nEnglish,
      nMidiDirectMusic;
  std::string freeStage;
  bool operator==(const IniValues&) const = default;
};

IniValues Values(const cSystemIni& ini) {
  return {ini.m_nDirect3D,    ini.m_nWindowMode,     ini.m_nBpp,     ini.m_nVSync,   ini.m_nD3DFontCache,
          ini.m_nDDFontCache, ini.m_nDDVideoStretch, ini.m_nShowFps, ini.m_nEnglish, ini.m_nMidiDirectMusic,
          ini.m_szFreeStage};
}

void PrintTo(const IniValues& v, std::ostream* os) {
  *os << v.nDirect3D << ' ' << v.nWindowMode << ' ' << v.nBpp << ' ' << v.nVSync << ' ' << v.nD3DFontCache << ' '
      << v.nDDFontCache << ' ' << v.nDDVideoStretch << ' ' << v.nShowFps << ' ' << v.nEnglish << ' '
      << v.nMidiDirectMusic << " [" << v.freeStage << ']';
}

const IniValues DEFAULTS = {2, 0, 0, 2, 0, 1, 0, 1, 0, 1, ""};

TEST(SystemIniTest, NewProjectKeyTableGivesTheDefaults) {
  cSystemData sd;
  cSystemIni ini;
  ini.m_nBpp = 99;
  std::strcpy(ini.m_szFreeStage, "old");
  ApplyIniDefaults(ini, sd.m_IniKeys);
  EXPECT_EQ(Values(ini), DEFAULTS);
}

TEST(SystemIniTest, FreeStageDefaultFromTheTable) {
  cSystemData sd;
  cSystemIni ini;
  sd.m_IniKeys.At(INI_FREE_STAGE).m_strText = "data\\stg4\\start.stg4";
  ApplyIniDefaults(ini, sd.m_IniKeys);
  EXPECT_STREQ(ini.m_szFreeStage, "data\\stg4\\start.stg4");
  // A text that cannot be a path here is not cut into another path.
  sd.m_IniKeys.At(INI_FREE_STAGE).m_strText = std::string(300, 'a');
  ApplyIniDefaults(ini, sd.m_IniKeys);
  EXPECT_STREQ(ini.m_szFreeStage, "");
}

struct ReadCase {
  const char* name;
  std::string content;
  bool bResult;
  IniValues expected;
};

IniValues With(IniValues v, void (*change)(IniValues&)) {
  change(v);
  return v;
}

TEST(SystemIniTest, ReadsKeysOverTheDefaults) {
  const ReadCase cases[] = {
      {"one key", "WindowMode=1\nExit\n", true, With(DEFAULTS, [](IniValues& v) { v.nWindowMode = 1; })},
      {"no Exit line", "WindowMode=1\n", false, With(DEFAULTS, [](IniValues& v) { v.nWindowMode = 1; })},
      {"Exit without line feed", "Bpp=16\nExit", true, With(DEFAULTS, [](IniValues& v) { v.nBpp = 16; })},
      {"NUL ends reading", std::string("Bpp=8\n\0VSync=0\n", 15), true,
       With(DEFAULTS, [](IniValues& v) { v.nBpp = 8; })},
      {"one-character FreeStage", "FreeStage=a\nExit\n", true, DEFAULTS},
      {"blank after equals", "Direct3D = 1\nExit\n", true, With(DEFAULTS, [](IniValues& v) { v.nDirect3D = 0; })},
      {"slash ends the value", "ShowFps=2/x\nExit\n", true, With(DEFAULTS, [](IniValues& v) { v.nShowFps = 2; })},
      {"comment after value", "Bpp=16 //depth\nExit\n", true, With(DEFAULTS, [](IniValues& v) { v.nBpp = 16; })},
      {"two keys on a line", "Bpp=16 VSync=0\nExit\n", true,
       With(DEFAULTS,
            [](IniValues& v) {
              v.nBpp = 16;
              v.nVSync = 0;
            })},
      {"other letter case", "showfps=0\nExit\n", true, DEFAULTS},
      {"CR LF lines", "English=1\r\nFreeStage=data\\stg4\\a.stg4\r\nExit\r\n", true,
       With(DEFAULTS,
            [](IniValues& v) {
              v.nEnglish = 1;
              v.freeStage = "data\\stg4\\a.stg4";
            })},
      {"number text", "Bpp=-12abc\nVSync=99999999999\nExit\n", true,
       With(DEFAULTS,
            [](IniValues& v) {
              v.nBpp = -12;
              v.nVSync = 2147483647;
            })},
      {"over-long key", std::string(3000, 'k') + "=1\nExit\n", false, DEFAULTS},
      {"over-long value", "Bpp=" + std::string(3000, '1') + "\nExit\n", false, DEFAULTS},
  };
  cSystemData sd;
  TempDir dir;
  for (const ReadCase& c : cases) {
    std::string path = dir.WriteFile("System.ini", c.content).string();
    cSystemIni ini;
    ApplyIniDefaults(ini, sd.m_IniKeys);
    EXPECT_EQ(ReadSystemIni(path.c_str(), ini, sd.m_IniKeys), c.bResult) << c.name;
    EXPECT_EQ(Values(ini), c.expected) << c.name;
  }
  cSystemIni ini;
  EXPECT_FALSE(ReadSystemIni((dir.Path() / "missing.ini").string().c_str(), ini, sd.m_IniKeys));
}

TEST(SystemIniTest, KeysAreFoundByTheirPositionInTheTable) {
  cSystemData sd;
  sd.m_IniKeys.At(INI_SHOW_FPS).m_strKey = "Fps";
  TempDir dir;
  std::string path = dir.WriteFile("System.ini", "ShowFps=2\nFps=0\nExit\n").string();
  cSystemIni ini;
  ApplyIniDefaults(ini, sd.m_IniKeys);
  ASSERT_TRUE(ReadSystemIni(path.c_str(), ini, sd.m_IniKeys));
  EXPECT_EQ(ini.m_nShowFps, 0);
}

}  // namespace
}  // namespace t4::test
