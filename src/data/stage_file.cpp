#include "data/stage_file.h"

#include <algorithm>
#include <string>

#include "core/globals.h"
#include "core/message_box.h"
#include "core/path_helpers.h"
#include "core/report_log.h"
#include "core/thread.h"
#include "platform/winapi.h"

cStage g_Stage;
cStage g_StageSettings;
cCharaDef g_PlayerCharaDef;

namespace {

// Definitions of the stage palette name kind 2 while they are played: g_Stage's own lists.
[[maybe_unused]] const bool s_bStagePaletteInstalled = (SetStagePalette(&g_Stage.m_Palette), true);

// Smallest stored placements: the ignored int32, a record body (member and string counts), the
// position, then what each class adds (inheritance flags and conditions; a character's extra
// int32 and flows, an item's commands).
constexpr size_t MIN_BLOCK_PLACE_BYTES = 4 + 8 + 4 + 4 + 4;
constexpr size_t MIN_CHARA_PLACE_BYTES = 4 + 8 + 4 + 4 + 4 + 4 + 4;
constexpr size_t MIN_ITEM_PLACE_BYTES = 4 + 8 + 4 + 4 + 4 + 4;

template <class T>
int LoadPlacementList(cSafeVector<T>& list, FILE* fp, size_t minBytes) {
  int32_t n = 0;
  if (!ReadCount(fp, &n, minBytes)) return 0;
  return LoadGrowing(list, n, T(), [fp](T& element) {
    int32_t ignored = 0;
    return ReadInt32(fp, &ignored) && element.Load(fp);
  });
}

template <class T>
void SavePlacementList(cSafeVector<T>& list, FILE* fp) {
  WriteInt32(fp, static_cast<int32_t>(list.size()));
  for (T& element : list) {
    WriteInt32(fp, 0);
    element.Save(fp);
  }
}

template <class T>
void ResetFirstEntry(cSafeVector<T>& list) {
  if (!list.empty()) list.front().SetDefault();
}

// The loader's refusals go to the report log and to an error box (shown even when the log
// cannot be written).
void ReportStageError(const char* format, const char* path = "") {
  std::string text;
  FormatString(text, format, path);
  WriteReportLog(text.c_str());
  ErrorBox(text.c_str());
}

bool IsPlayableSize(int32_t width, int32_t height) {
  return width >= 1 && height >= 1 && width <= STAGE_SIZE_MAX && height <= STAGE_SIZE_MAX &&
         static_cast<int64_t>(width) * height <= STAGE_AREA_MAX;
}

}  // namespace

int cStage::Load(FILE* fp) {
  cStagePaletteScope scope(*this);
  const int v = g_nFileVersion;
  bool ok = cRecord::Load(fp) != 0;
  if (ok && !IsPlayableSize(m_nWidth, m_nHeight)) {
    FailDataRead(fp, "マップの大きさが不正です");
    ok = false;
  }
  int32_t n = 0;
  if (ok) ok = ReadCount(fp, &n, sizeof(int32_t));
  if (ok && n > 0) {
    m_RankingKinds.assign(static_cast<size_t>(n), 0);
    ok = ReadData(fp, m_RankingKinds.data(), m_RankingKinds.size() * sizeof(int32_t));
  }
  for (cStageAreaSetting& area : m_Areas) {
    if (ok) ok = area.Load(fp) != 0;
  }
  if (ok) ok = cPalette::LoadBlocks(PalBlocks(), fp) != 0;
  if (ok) ok = cPalette::LoadCharas(PalCharas(), fp) != 0;
  if (ok) ok = cPalette::LoadItems(PalItems(), fp) != 0;
  // Entry 0 of a palette list is its empty entry, whatever the file holds there.
  ResetFirstEntry(PalBlocks());
  ResetFirstEntry(PalCharas());
  ResetFirstEntry(PalItems());
  if (ok) ok = LoadPlacements(fp) != 0;
  if (ok) ok = LoadRecordVector(m_Backgrounds, fp, cBackground()) != 0;
  if (ok) ok = LoadRecordVector(m_VarInfos, fp, cVarInfo()) != 0;
  if (ok && v >= 173) {
    // Checked before the load (CheckStageFile), not here.
    int32_t marker = 0;
    ok = ReadInt32(fp, &marker);
  }
  if (v < DATA_VERSION) ApplyFixUps(v);
  // The stage end looks up all five ranking kinds.
  if (m_RankingKinds.size() < STAGE_RANKING_KINDS) m_RankingKinds.resize(STAGE_RANKING_KINDS, 0);
  Normalize();
  return ok ? 1 : 0;
}

int cStage::LoadPlacements(FILE* fp) {
  return LoadPlacementList(m_BlockPlaces, fp, MIN_BLOCK_PLACE_BYTES) &&
         LoadPlacementList(m_CharaPlaces, fp, MIN_CHARA_PLACE_BYTES) &&
         LoadPlacementList(m_ItemPlaces, fp, MIN_ITEM_PLACE_BYTES);
}

void cStage::ApplyFixUps(int v) {
  if (v < 155) {
    m_HeroBoxB[2] = m_HeroBoxB[0];
    m_HeroBoxB[3] = m_HeroBoxB[1];
    m_CharaBoxB[2] = m_CharaBoxB[0];
    m_CharaBoxB[3] = m_CharaBoxB[1];
    m_HeroBoxBAlign[0] = m_HeroBoxBAlign[1] = 0;
    m_CharaBoxBAlign[0] = m_CharaBoxBAlign[1] = 0;
  }
  if (v < 166) m_nBgmLoop = 1;
  if (v < 181) {
    m_RankingKinds.resize(STAGE_RANKING_KINDS, 0);
    m_RankingKinds[3] = 0;
    m_RankingKinds[4] = 0;
  }
  if (v < 183) m_nShowStatus = 1;
  if (v < 184) m_nAutoEnd = 0;
  if (v < 199) m_nBgmKeep = 0;
  if (v < 200) {
    const int32_t heroBoxA[4] = {16, 24, 16, 16};
    const int32_t charaBoxA[4] = {16, 30, 16, 30};
    std::copy_n(heroBoxA, 4, m_HeroBoxA);
    m_HeroBoxAAlign[0] = 1;
    m_HeroBoxAAlign[1] = 0;
    m_HeroBoxShow[0] = 0;
    m_HeroBoxColor[0] = 5;
    std::copy_n(charaBoxA, 4, m_CharaBoxA);
    m_CharaBoxAAlign[0] = 1;
    m_CharaBoxAAlign[1] = 1;
  }
  if (v < 225) m_nShowStartCaption = 0;
  if (v < 754) m_VarInfos.resize(STAGE_VAR_COUNT);
  if (v < 876) {
    // The ratio of an auto-scrolled layer was its speed.
    for (cBackground& layer : m_Backgrounds) {
      if (layer.m_nAutoX) {
        layer.m_dAutoSpeedX = layer.m_dRatioX;
        layer.m_dRatioX = 1.0;
      }
      if (layer.m_nAutoY) {
        layer.m_dAutoSpeedY = layer.m_dRatioY;
        layer.m_dRatioY = 1.0;
      }
    }
  }
}

void cStage::Save(FILE* fp) {
  Normalize();
  WriteBody(fp, *this);
}

void cStage::SaveForReplay(FILE* fp, const cStage& settings) {
  Normalize();
  // Saving registers the record's tables again, which changes no stored value.
  WriteBody(fp, const_cast<cStage&>(settings));
}

void cStage::WriteBody(FILE* fp, cStage& settings) {
  cStagePaletteScope scope(*this);
  settings.cRecord::Save(fp);
  WriteInt32(fp, static_cast<int32_t>(settings.m_RankingKinds.size()));
  WriteData(fp, settings.m_RankingKinds.data(), settings.m_RankingKinds.size() * sizeof(int32_t));
  for (cStageAreaSetting& area : settings.m_Areas) area.Save(fp);
  SaveRecordVector(PalBlocks(), fp);
  SaveRecordVector(PalCharas(), fp);
  SaveRecordVector(PalItems(), fp);
  SavePlacementList(m_BlockPlaces, fp);
  SavePlacementList(m_CharaPlaces, fp);
  SavePlacementList(m_ItemPlaces, fp);
  SaveRecordVector(settings.m_Backgrounds, fp);
  SaveRecordVector(settings.m_VarInfos, fp);
  WriteInt32(fp, STAGE_END_MARKER);
}

int CheckStageFile(const char* path, int bCloseOnDamage) {
  FILE* fp = OpenDataFileForRead(path);
  // A missing or newer file fails in the load that follows, which reports it.
  if (!fp) return 1;
  if (g_nFileVersion < STAGE_MARKER_CHECK_VERSION) {
    CloseDataFile(fp);
    return 1;
  }
  int32_t marker = 0;
  bool ok = std::fseek(fp, -static_cast<long>(sizeof(marker)), SEEK_END) == 0 &&
            std::fread(&marker, sizeof(marker), 1, fp) == 1;
  CloseDataFile(fp);
  if (ok && marker == STAGE_END_MARKER) return 1;
  ReportStageError("ステージファイル %s が破損しています！", path);
  if (bCloseOnDamage) PostCloseToMainWindow();
  return 0;
}

unsigned StageLoadThreadProc(void*) {
  // Every load starts from a fresh stage, so that members an old file does not hold never come
  // from the stage loaded before it.
  g_Stage.SetDefault();
  int ok = g_Stage.LoadFromFile(g_Stage.m_strPath.c_str());
  if (ok) g_Stage.m_bLoaded = 1;
  return static_cast<unsigned>(ok);
}

namespace {

// Pumps the calling thread's messages until the load thread ends. False when WM_QUIT arrived
// (the load thread has then been ended).
bool PumpUntilStageLoaded() {
  while (!t4::platform::HasThreadEnded(thStageLoad.m_hThread)) {
    MSG msg;
    if (PeekMessage(&msg, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        DebugLogf("msg.message == WM_QUIT");
        thStageLoad.Exit();
        return false;
      }
      DispatchMessage(&msg);
    } else {
      // Wakes for a message; the end of the thread is seen within a millisecond.
      t4::platform::WaitMessage(1);
    }
  }
  return true;
}

}  // namespace

int LoadStageInGame(const char* name, int resolveNumbered, cStage* settingsOut, cCharaDef* playerOut,
                    int bCloseOnDamage) {
  g_Stage.m_bResolveNumbered = resolveNumbered;
  std::string path = name ? name : "";
  if (resolveNumbered) {
    std::string found;
    if (!FindLastNumberedFileStr(found, path, STAGE_FILE_EXT)) return 0;
    path = found;
  }
  MakeRelativePathStr(path);
  g_Stage.m_strPath = path;
  if (!CheckStageFile(g_Stage.m_strPath.c_str(), bCloseOnDamage)) return 0;

  g_Stage.m_bLoaded = 0;
  if (thStageLoad.Start(StageLoadThreadProc, nullptr)) {
    if (!PumpUntilStageLoaded()) return 0;
    thStageLoad.Exit();
  }
  if (!g_Stage.m_bLoaded) {
    ReportStageError("ステージファイル %s の読み込みに失敗しました！", g_Stage.m_strPath.c_str());
    return 0;
  }
  if (!g_Stage.HasPlayer()) {
    ReportStageError("主人公が配置されていないのでプレイできません！");
    if (bCloseOnDamage) PostCloseToMainWindow();
    return 0;
  }
  if (settingsOut) {
    settingsOut->CopySettingsFrom(g_Stage);
    settingsOut->ClearDefinitionLists();
  }
  if (playerOut) *playerOut = g_Stage.m_CharaPlaces.At(g_Stage.FindPlayerPlacement());
  return 1;
}
