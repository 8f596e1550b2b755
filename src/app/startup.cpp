#include "app/scene_factory.h"
#include "app/startup.h"

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/boot_dialog.h"
#include "app/main_window.h"
#include "app/palette_variation.h"
#include "app/screen_mode.h"
#include "app/wnd.h"
#include "stage/effect_states.h"
#include "stage/game.h"
#include "stage/input.h"
#include "stage/stage_start.h"
#include "audio/bgm.h"
#include "audio/midi_output.h"
#include "audio/music_request.h"
#include "audio/sound_effects.h"
#include "audio/sound_setup.h"
#include "core/globals.h"
#include "core/message_box.h"
#include "core/path_helpers.h"
#include "core/report_log.h"
#include "core/system_report.h"
#include "data/data_file.h"
#include "data/data_refs.h"
#include "data/stage_file.h"
#include "data/database.h"
#include "data/palette.h"
#include "data/project_refs.h"
#include "data/world_map.h"
#include "flow/cmd_params.h"
#include "gfx/dd.h"
#include "gfx/font.h"
#include "gfx/image_slots.h"
#include "gfx/scene_surfaces.h"
#include "persist/default_data.h"
#include "persist/project_layout.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "persist/system_ini.h"
#include "persist/user_records.h"
#include "platform/files.h"
#include "platform/present/display.h"
#include "platform/random.h"
#include "platform/system_info.h"
#include "platform/window/window_host.h"
#include "platform/winapi.h"
#include "core/system_queries.h"

STARTOVERRIDES g_StartOverrides;

namespace {

constexpr const char* TEXTURE_FAIL_TEXT =
    "テクスチャの作成に失敗しました！\nビデオカードの性能が十分ではないかもしれません。\nSystem."
    "iniファイルで「Direct3D=0」に変更してDirect3Dを無効にすれば改善される可能性があります。";

// A start-up failure whose reason would otherwise reach only the debug log (off by default): it
// goes to the report log and stderr too. Always false, for `return ReportStartFailure(...)`.
bool ReportStartFailure(const char* format, ...) T4_PRINTF(1, 2);
bool ReportStartFailure(const char* format, ...) {
  va_list args;
  va_start(args, format);
  char text[1024];
  vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  WriteReportLogAndStderrF("start-up failed: %s", text);
  return false;
}

bool LoadDataFiles() {
  if (!CreateDefaultData(g_MainWindow.m_hWnd)) {
    WriteReportLogAndErrorBox("「data」フォルダの作成に失敗…\n「default」フォルダに問題がある可能性があります。");
    return false;
  }
  CreateProjectFolders();
  if (!g_Database.Load()) {
    WriteReportLogAndErrorBox("データベースの読み込みに失敗…");
    return false;
  }
  SetDataRefs(&g_ProjectDataRefs);
  BuildAnimeTables(g_AnimeTable);
  BuildEffectTables(g_EffectAnimeTable);
  PrepareEffectStates();
  g_MusicList.clear();
  for (const cBgmDef& def : g_Database.m_Bgms) g_MusicList.push_back(BGMDEF{def.m_strFile, def.m_nVolume});
  const char* systemPath = g_Paths[PATH_SYSTEM_DATA];
  if (!g_SystemData.LoadFromFile(systemPath)) {
    WriteReportLogAndErrorBox("%s の読み込みに失敗…", systemPath);
    return false;
  }
  g_ProjectDataRefs.m_bKeepTestFlows = g_SystemData.m_bKeepTestFlows;
  return true;
}

// The start-up question of the drawing mode, unless the stored choice says not to ask. False when
// the player cancels.
bool AskDrawingMode() {
  g_BootData.LoadFromFile(g_Paths[PATH_BOOT]);
  if (!g_BootData.m_bNoBootDialog) {
    RecordMainWindowPlacement();
    std::unique_ptr<cBootDialog> dialog = std::make_unique<cBootDialog>();
    if (dialog->DoModal(0) == 0) return false;
  }
  g_SystemIni.m_nDirect3D = g_BootData.m_nDrawMode == cBootData::DRAW_MODE_DIRECT3D ? 1 : 0;
  return true;
}

bool ReadSettings(const char* szCmdLine) {
  ApplyIniDefaults(g_SystemIni, g_SystemData.m_IniKeys);
  if (!ReadSystemIni(SYSTEM_INI_PATH, g_SystemIni, g_SystemData.m_IniKeys)) {
    WriteReportLogAndErrorBox("System.ini の読み込みに失敗しました！");
    ApplyIniDefaults(g_SystemIni, g_SystemData.m_IniKeys);
  }
  if (g_SystemIni.m_nDirect3D >= 2 && !AskDrawingMode()) return false;
  if (g_StartOverrides.nWindowMode >= 0) g_SystemIni.m_nWindowMode = g_StartOverrides.nWindowMode;
  if (g_bTestPlay) {
    if (szCmdLine && *szCmdLine)
      snprintf(g_SystemIni.m_szFreeStage, sizeof(g_SystemIni.m_szFreeStage), "%s", szCmdLine);
    else if (g_SystemData.m_bDirectStartToTitle)
      g_SystemIni.m_szFreeStage[0] = '\0';
  }
  return true;
}

bool InitDrawing(const SCREENMODE& mode) {
  if (mode.nBpp == 8) g_SystemIni.m_nDDVideoStretch = 0;
  const BOOL vsync = mode.nVSync != 0;
  if (!DDInit(g_SystemIni.m_nDirect3D, g_MainWindow.m_hWnd, t4::platform::SCREEN_WIDTH, t4::platform::SCREEN_HEIGHT,
              mode.nBpp, vsync, mode.bWindowed, 1, 60, vsync, g_SurfaceTable, g_ImageSlotTable, IMAGE_SLOT_COUNT, 0)) {
    if (!g_SystemIni.m_nDirect3D) {
      DebugLogf("DDInit失敗");
      return ReportStartFailure("cannot start the drawing device (%d bits)", mode.nBpp);
    }
    DDRelease();
    g_SystemIni.m_nDirect3D = 0;
    if (!DDInit(FALSE, g_MainWindow.m_hWnd, t4::platform::SCREEN_WIDTH, t4::platform::SCREEN_HEIGHT, mode.nBpp, vsync,
                mode.bWindowed, 1, 60, vsync, g_SurfaceTable, g_ImageSlotTable, IMAGE_SLOT_COUNT, 0)) {
      DebugLogf("DDInit失敗");
      return ReportStartFailure("cannot start the drawing device (%d bits)", mode.nBpp);
    }
  }
  if (lpDTCon) {
    DDSetTextureFailText(TEXTURE_FAIL_TEXT);
    LinkSurfaceData();
  }
  return true;
}

void PlaceWindow(bool bWindowed, bool& bMaximised) {
  t4::platform::WindowHost* host = g_MainWindow.m_lpHost;
  if (!host || !bWindowed) return;
  // Decided on the device actually started: after a fall-back to DirectDraw the window keeps
  // its fixed sizes, as WindowMode 2 means there.
  const bool bResizable = lpDTCon && g_SystemIni.m_nWindowMode == 2;
  if (bResizable) host->SetResizable(true);
  if (g_WindowData.LoadFromFile(g_Paths[PATH_WINDOW])) {
    host->MoveTo(g_WindowData.m_nX, g_WindowData.m_nY);
    if (bResizable) host->SetClientSize(g_WindowData.m_nWidth, g_WindowData.m_nHeight);
    bMaximised = g_WindowData.m_bMaximised != 0;
  }
  if (g_StartOverrides.nScale >= 1 && g_StartOverrides.nScale <= 5)
    host->SetClientSize(t4::platform::SCREEN_WIDTH * g_StartOverrides.nScale,
                        t4::platform::SCREEN_HEIGHT * g_StartOverrides.nScale);
}

bool InitPaletteAndPictures() {
  // Every mode needs the palette: fills, frames, text and the colour key take their colours from
  // it at 16 and 32 bits as much as at 8.
  const char* paletteFile = g_ImageSlotTable[IMAGE_PALETTE].szFile;
  if (!DDLoadPaletteFromFile(g_Palette, paletteFile)) {
    DebugLogf("DDLoadPaletteFromFile失敗");
    return ReportStartFailure("cannot read the palette from %s (missing or damaged bitmap)", paletteFile);
  }
  for (int i = 0; i < 256; ++i) g_PaletteWork[i] = g_Palette[i];
  if (!g_SystemData.m_bFullColour || g_nBpp == 16) {
    if (!DDSetTransmitFromFile(paletteFile)) {
      DebugLogf("DDSetTransmit失敗");
      return ReportStartFailure("cannot set the transparent colour from %s", paletteFile);
    }
    if (g_SystemData.m_bFullColour && g_lpDDCon) {
      g_lpDDCon->rgbTransmit_16.rgbtRed = g_SystemData.m_cTransRed;
      g_lpDDCon->rgbTransmit_16.rgbtGreen = g_SystemData.m_cTransGreen;
      g_lpDDCon->rgbTransmit_16.rgbtBlue = g_SystemData.m_cTransBlue;
    }
  } else {
    DDSetTransmit(g_SystemData.m_cTransRed, g_SystemData.m_cTransGreen, g_SystemData.m_cTransBlue);
  }
  if (!lpDTCon) {
    g_bBltPresent = g_nWindowMode == 1 || g_SystemIni.m_nVSync == 0 ? 1 : 0;
  }
  const IMAGESLOT& loading = g_ImageSlotTable[IMAGE_LOADING];
  DDCheckSurfaceError(DDCreateSurfaceFromFile(&g_SurfaceTable[IMAGE_LOADING], loading.szFile, loading.bColorKey, g_nBpp,
                                              loading.nDDMemory, loading.nMemoryType, nullptr, loading.bKeepPixels,
                                              loading.nMirrorW, loading.nMirrorH, FALSE));
  ShowLoading();
  static const int FIRST_SLOTS[3] = {IMAGE_DEBUG, IMAGE_SYMBOL, IMAGE_LOADING};
  if (DDLoadImageSlots(g_SurfaceTable, FIRST_SLOTS, 3)) return true;
  return ReportStartFailure("cannot load the first pictures (%s, %s, %s)", g_ImageSlotTable[IMAGE_DEBUG].szFile,
                            g_ImageSlotTable[IMAGE_SYMBOL].szFile, g_ImageSlotTable[IMAGE_LOADING].szFile);
}

bool InitFonts() {
  const int face = g_SystemData.m_nFontFace >= 0 && g_SystemData.m_nFontFace < FONT_FACE_COUNT
                       ? g_SystemData.m_nFontFace
                       : FONT_FACE_DEFAULT;
  FONTDESC descs[3];
  for (int i = 0; i < 3; ++i) {
    descs[i] = g_FontDescs[i];
    snprintf(descs[i].szFace, sizeof(descs[i].szFace), "%s", g_FontFaces[face]);
    if (descs[i].nCacheMode == 2)
      descs[i].nCacheMode = lpDTCon ? g_SystemIni.m_nD3DFontCache : g_SystemIni.m_nDDFontCache;
  }
  if (!DDCreateFonts(g_Fonts, descs, 3))
    return ReportStartFailure("cannot create the fonts (face %s)", descs[0].szFace);
  g_Fonts[1].m_bSymbols = g_SystemData.m_bFontSymbols;
  g_Fonts[0].m_bSymbols = 0;
  g_Fonts[2].m_bSymbols = 0;
  g_Fonts[1].m_bCentre = g_SystemData.m_bFontCentreGlyphs;
  if (DDCreateDigitStrips(g_DigitStripSD, g_DigitStripSlots, 3, g_Fonts, descs)) return true;
  return ReportStartFailure("cannot draw the digit strips");
}

void InitSound() {
  if (g_nWindowMode == 0) g_SystemIni.m_nMidiDirectMusic = 0;
  SetUpMusic(g_Bgm, g_OptionData.m_bBgm != 0, g_BgmOggSlots, g_BgmMidiSlots, BGM_SLOT_COUNT,
             g_SystemIni.m_nMidiDirectMusic != 0);
  std::vector<std::string> systemSounds(g_SystemData.m_SystemSounds.begin(), g_SystemData.m_SystemSounds.end());
  std::vector<std::string> records;
  for (const cSoundDef& def : g_Database.m_Sounds) records.push_back(def.m_strFile);
  SetupSounds(g_MainWindow.m_hWnd, systemSounds, records, g_OptionData.m_nSoundVolume);
}

bool StartFreeStage() {
  std::string name = g_SystemIni.m_szFreeStage;
  std::string newest;
  if (FindLastNumberedFileStr(newest, name, STAGE_FILE_EXT)) name = newest;
  if (!t4::platform::FileExists(name)) {
    WriteReportLogAndDebugLog("「%s」の読み込みに失敗しました！", name.c_str());
    g_SystemIni.m_szFreeStage[0] = '\0';
    return true;
  }
  snprintf(g_SystemIni.m_szFreeStage, sizeof(g_SystemIni.m_szFreeStage), "%s", name.c_str());
  g_bFreeStageStart = 1;
  if (g_SystemData.m_bDirectStartToTitle && !g_bTestPlay) {
    g_bReturnToTitle = 1;
    g_Game.m_bRanking = 0;
  } else {
    g_Game.m_bRanking = 1;
  }
  if (!StartStageFile(g_SystemIni.m_szFreeStage, 1)) return false;
  g_SaveData.m_bNextStart = 0;
  g_Game.m_nGameMode = GAME_MODE_FREE;
  g_Game.m_nTitleChoice = 3;
  g_Game.m_nScene = SCENE_PLAY;
  g_Game.m_nPrevScene = SCENE_TITLE;
  return true;
}

}  // namespace

bool InitGame(const char* szCmdLine, int) {
  SetSceneFactory(&CreateScene);
  t4::platform::SeedRand(timeGetTime());
  // Published before anything can fail, so that a close request from a failed load reaches it.
  g_hWnd = g_MainWindow.m_hWnd;
  g_nDataVersion = DATA_VERSION;
  g_bStripCR = 1;
  g_bFileTooNew = 0;
  InitCmdParamTable();
  if (!LoadDataFiles()) return false;
  if (!ReadSettings(szCmdLine)) return false;
  g_Game.m_nFps = 60;
  g_Game.m_nFadeSpeed = 10;
  for (cInput& in : g_Input) in.SetRepeat(18, 6);

  SCREENMODEINPUT in;
  in.bDirect3D = g_SystemIni.m_nDirect3D != 0;
  in.nWindowMode = g_SystemIni.m_nWindowMode;
  in.nBpp = g_SystemIni.m_nBpp;
  in.nVSync = g_SystemIni.m_nVSync;
  in.nDesktopBpp = g_StartOverrides.nDesktopBpp;
  in.bFullColour = g_SystemData.m_bFullColour;
  in.nD3DDepth = g_SystemData.m_nD3DColourDepth;
  in.nDDDepth = g_SystemData.m_nDDColourDepth;
  in.bModernOS = IsOSVersionAtLeast(6, 0);
  const SCREENMODE mode = SelectScreenMode(in);
  if (!mode.bValid) {
    ErrorBoxf(mode.lpError);
    return false;
  }
  // The automatic choice replaces the setting, as later readers of VSync expect.
  g_SystemIni.m_nVSync = mode.nVSync;
  if (g_MainWindow.m_lpHost) g_MainWindow.m_lpHost->SetTitle(g_SystemData.m_strTitle);
  if (!InitDrawing(mode)) return false;
  bool bMaximised = false;
  PlaceWindow(mode.bWindowed, bMaximised);
  // Dialogs are placed relative to where the program put its window; a full-screen window
  // stands at the screen's origin.
  if (mode.bWindowed)
    RecordMainWindowPlacement();
  else
    RecordMainWindowPosition(0, 0);
  if (g_MainWindow.m_lpHost) g_MainWindow.m_lpHost->Show(g_MainWindow.m_hWnd, bMaximised || !mode.bWindowed);
  WriteDisplayReport(true);
  DebugLogf("DDInit成功");
  if (!InitPaletteAndPictures()) return false;
  if (!InitFonts()) return false;
  for (cInput& input : g_Input) input.SetJoyButtons();
  if (!LoadKeyConfig(g_Paths[PATH_KEY_CONFIG], &g_KeyConfig)) SetDefaultKeyConfig(&g_KeyConfig);
  g_OptionData.LoadFromFile(g_Paths[PATH_OPTION]);
  if (g_nBpp == 8 && !lpDTCon && !ApplyPaletteVariation(g_OptionData.m_nColourVariation)) return false;
  InitSound();
  for (auto [record, path] : {std::pair<cRecord*, int>{&g_WorldMap, PATH_WORLD_MAP},
                              std::pair<cRecord*, int>{&g_CommonPalette, PATH_COMMON_PALETTE}}) {
    if (!record->LoadFromFile(g_Paths[path])) {
      WriteReportLogAndErrorBox("%s のロードに失敗！", g_Paths[path]);
      return false;
    }
  }
  g_SaveData.Reset(g_SystemData.m_nChallengeCount);
  if (g_SystemIni.m_szFreeStage[0] && !StartFreeStage()) return false;
  return true;
}

void ExitGame() {
  if (lpDTCon || g_lpDDCon) {
    for (int i = 0; i < 2; ++i)
      if (g_Fonts[i].m_lpFastFont_FullAdd)
        WriteReportLog(i == 0 ? "Font10 : %d" : "Font16 : %d", g_Fonts[i].m_lpFastFont_FullAdd->m_nCount);
  }
  DS_Release();
  g_Bgm.Release();
  g_Game.DeleteScenes();
  for (cFont& font : g_Fonts) font.Release();
  for (DDSURFACEDATA& strip : g_DigitStripSD) DDReleaseSurface(&strip);
  ReleaseSceneSurfaces();
  DDRelease();
}
