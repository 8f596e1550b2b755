// The end of a stage: a cleared stage adds its results to the totals (with extra lives), takes
// the ranking positions, shows the clear display and chooses the next scene; the killing of
// characters that can end the stage.
#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "core/globals.h"
#include "core/path_helpers.h"
#include "core/sjis_text.h"
#include "core/sound_request.h"
#include "core/thread.h"
#include "data/data_refs.h"
#include "data/stage_file.h"
#include "data/world_map.h"
#include "gfx/dd.h"
#include "gfx/dd_effects.h"
#include "gfx/font.h"
#include "gfx/image_slots.h"
#include "persist/ranking.h"
#include "persist/replay.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "persist/system_data_records.h"
#include "persist/user_records.h"
#include "platform/window/input_devices.h"
#include "platform/thread.h"
#include "platform/winapi.h"
#include "stage/chara.h"
#include "stage/hero.h"
#include "stage/input.h"
#include "stage/menu.h"
#include "stage/private_messages.h"
#include "stage/scene_play.h"
#include "stage/stage_end.h"
#include "stage/stage_globals.h"
#include "stage/main_hero.h"
#include "stage/graphic_source.h"

namespace {

constexpr int RANK_KINDS = 5;
constexpr int MAX_LIVES = 99;
constexpr int CAPTION_DONE = 200;
constexpr int TEXT_RANKING_HINT = 28;
constexpr int EXTRA_LIFE_FRAMES = 30;
constexpr int VK_F3 = VK_F1 + 2;

int32_t AddClamped(int32_t a, int64_t b) {
  const int64_t s = int64_t{a} + b;
  return static_cast<int32_t>(s > INT32_MAX ? INT32_MAX : s < INT32_MIN ? INT32_MIN : s);
}

const cRankingRule* RuleOfMode() {
  auto& rules = g_SystemData.m_RankingRules;
  const int mode = g_Game.m_nGameMode;
  if (mode < 0 || mode >= static_cast<int>(rules.size())) return nullptr;
  return &rules.At(mode);
}

bool RuleEnables(int kind) {
  const cRankingRule* rule = RuleOfMode();
  return rule && kind < static_cast<int>(rule->m_Kinds.size()) && rule->m_Kinds.At(kind) != 0;
}

bool StageTakesPart(int kind) {
  auto& kinds = g_Stage.m_RankingKinds;
  return kind < static_cast<int>(kinds.size()) && kinds.At(kind) != 0;
}

bool ShowsResults() { return g_Stage.m_nAutoEnd == 0; }

unsigned RankingThreadEntry(void* param) {
  return static_cast<unsigned>(RankingThreadProc(static_cast<cScenePlay*>(param)));
}

}  // namespace

// Set by the window thread when the name-entry dialog has closed; the stage end waits for it.
std::atomic<int32_t> g_bNameEntryDone{0};

int cScenePlay::KillChara(cChara& chara) {
  const int r = KillCharaCore(chara);
  if (r == 1) {
    EndStage();
    m_nState = PLAY_STAGE_END;
  } else if (r == 2) {
    PlaySystemSound(8);
    if (MainHero().Die() == 1) {
      EndStage();
      m_nState = PLAY_STAGE_END;
    }
  }
  return r;
}

void cScenePlay::EndStage() {
  PlaySystemSound(14);
  AddStageTotals();
  m_bRankEntered = 0;
  m_bRanked = 0;
  m_RankPos.assign(RANK_KINDS, -1);
  m_RankValue.resize(RANK_KINDS);
  if (!g_bFreeStageStart && (!g_Game.m_bRanking || !IsLastStage(m_nNextStage))) return;
  m_RankValue.At(0) = g_SaveData.m_nResultScore;
  m_RankValue.At(1) = g_SaveData.m_nResultTime;
  m_RankValue.At(2) = g_SaveData.m_nResultClearTime;
  m_RankValue.At(3) = g_SaveData.m_nResultHp;
  m_RankValue.At(4) = g_SaveData.m_nResultSp;
  if (g_bTestPlay) return;
  for (int k = 0; k < RANK_KINDS; ++k) {
    if (!RuleEnables(k) || !StageTakesPart(k) || k >= static_cast<int>(g_Ranking.m_Lists.size())) continue;
    m_RankPos.At(k) = g_Ranking.m_Lists.At(k).GetRank(m_RankValue.At(k));
    if (m_RankPos.At(k) != -1) m_bRanked = 1;
  }
}

void cScenePlay::AddStageTotals() {
  cSaveData& s = g_SaveData;
  const int32_t old = s.m_nResultScore;
  s.m_nResultScore = AddClamped(s.m_nResultScore, s.m_nStageScore);
  if (!m_bNoTimeLimit) s.m_nResultTime = AddClamped(s.m_nResultTime, m_nTimeLeft);
  s.m_nResultClearTime = AddClamped(s.m_nResultClearTime, m_nPlayTime);
  s.m_nResultHp = AddClamped(s.m_nResultHp, MainHero().m_nHp);
  s.m_nResultSp = AddClamped(s.m_nResultSp, MainHero().m_nSp);
  const int32_t step = g_SystemData.m_nExtraLifeScore;
  if (s.m_nLives == INFINITE_LIVES || !g_SystemData.m_bExtraLifeByScore || step == 0) return;
  // Every score step crossed gets its fanfare and notice, also once the lives are at their limit.
  // The notices stop after as many as a life counter could ever gain: with a tiny step a large
  // score would otherwise hold the stage end for thousands of 30-frame notices.
  const int64_t k = std::min<int64_t>(int64_t{s.m_nResultScore} / step - int64_t{old} / step, MAX_LIVES);
  for (int64_t i = 0; i < k; ++i) {
    if (s.m_nLives < MAX_LIVES) ++s.m_nLives;
    PlaySystemSound(15);
    const uint32_t notice = ShowExtraLifeNotice(*this, MainHero().m_nId);
    m_Wait.Set(WAIT_EXTRA_LIFE, 0, EXTRA_LIFE_FRAMES, 0);
    RunPauseThread(1);
    HideExtraLifeNotice(*this, notice);
    if (m_bClosing.load()) {
      PostCloseToMainWindow();
      return;
    }
    while (!g_bAppActive.load() && !m_bClosing.load()) Sleep(1);
  }
}

int cScenePlay::MakeNextStageName(std::string& name, int number) {
  name.clear();
  if (!g_SaveData.m_bSequence || m_nNextStage == 0) return 0;
  std::string candidate;
  if (!m_strNextStage.empty()) {
    candidate = m_strNextStage.substr(0, m_strNextStage.size() - 1) + ".stg4";
  } else {
    const std::string& base = g_SaveData.m_strStageName;
    // A series without a base name has no next stage.
    if (base.empty()) return 0;
    candidate = base.substr(0, base.size() - 1) + "-" + std::to_string(number) + ".stg4";
  }
  std::string found;
  if (!FindLastNumberedFileStr(found, candidate, "stg4")) return 0;
  name = found;
  return 1;
}

int cScenePlay::IsLastStage(int number) {
  std::string scratch;
  return MakeNextStageName(scratch, number) ? 0 : 1;
}

int cScenePlay::LoadNextStageInPlace() {
  if (!g_SaveData.m_bSequence || m_nNextStage == 0) return 0;
  g_SaveData.m_nSequenceNo = m_nNextStage;
  std::string name;
  if (!MakeNextStageName(name, m_nNextStage)) return 0;
  if (!LoadStageInGame(name.c_str(), 1, &g_StageSettings, &g_PlayerCharaDef)) return 0;
  g_Replay.Clear();
  g_ReplayLast.Clear();
  return 1;
}

int cScenePlay::NextScene() {
  cSaveData& s = g_SaveData;
  if (g_Stage.m_nHandOverStatus) {
    for (int i = 0; i < static_cast<int>(g_Heroes.size()); ++i) {
      const cHero& h = g_Heroes.At(i);
      s.StoreStatus(i, h.m_Def, h.m_nHp, h.m_nSp, h.m_Effect.m_nEffect, h.m_Effect.m_nRun,
                    static_cast<uint8_t>(h.m_Effect.m_bLoop), m_nTimeLeft, s.m_nLives, s.m_nBgm);
    }
  }
  const int32_t old = s.m_nSequenceNo;
  switch (g_Game.m_nTitleChoice) {
    case 0:
    case 1: {
      if (LoadNextStageInPlace()) return SCENE_PLAY;
      s.WorldFlag(s.m_nStageNo) = 1;
      // Kept under the playing name (with the entry's reference), found again on the map by the
      // stage's base name.
      s.AddStageResult(s.m_strStageName, s.m_strPlayName, s.m_bVarSet, s.m_nVarIndex, s.m_nVarValue, s.m_nResultScore);
      const int action = s.m_pMapEntry ? s.m_pMapEntry->GetAfterClearAction() : 0;
      if (action == 1) {
        s.NextLap();
        s.m_nSequenceNo = old;
        return SCENE_WORLDMAP;
      }
      if (action == 2) {
        if (g_MenuCursor.m_lpCurrent) g_MenuCursor.m_lpCurrent->nRow = g_Game.m_nTitleChoice;
        return SCENE_TITLE;
      }
      s.m_nSequenceNo = old;
      return SCENE_WORLDMAP;
    }
    case 2: {
      if (LoadNextStageInPlace()) return SCENE_PLAY;
      if (!s.m_ChallengeResults.empty()) {
        cIntPair& entry = s.m_ChallengeResults.At(s.m_nStageNo - 1);
        entry.m_bCleared = 1;
        if (s.m_nResultScore > entry.m_nBest) {
          s.m_nWorldTotal = AddClamped(s.m_nWorldTotal, int64_t{s.m_nResultScore} - entry.m_nBest);
          entry.m_nBest = s.m_nResultScore;
        }
      }
      if (s.m_nChallengeOpen <= s.m_nStageNo) {
        s.m_nChallengeOpen = s.m_nStageNo + 1;
        if (s.m_nChallengeOpen > g_SystemData.m_nChallengeCount) s.m_nChallengeOpen = g_SystemData.m_nChallengeCount;
      }
      s.SaveChallenge();
      s.m_nSequenceNo = old;
      return SCENE_CHALLENGE;
    }
    case TITLE_CHOICE_FREE:
      if (s.m_bSequence && !g_bFreeStageStart) {
        if (LoadNextStageInPlace()) return SCENE_PLAY;
        s.m_nSequenceNo = old;
        return SCENE_TITLE;
      }
      s.m_bNextStart = 0;
      return SCENE_PLAY;
    case TITLE_CHOICE_REPLAY: s.RestoreVariables(1, g_Game.m_nGameMode); return SCENE_PLAY;
    default: return SCENE_TITLE;
  }
}

void cScenePlay::EnterRanking() {
  if (!g_Game.m_bRanking || !m_bRanked || m_bRankEntered) return;
  const int mode = g_OptionData.m_nRankingMode;
  if (mode == 1 || mode == 3) {
    m_strRankName = g_OptionData.m_strFixedRankingName;
  } else {
    m_strRankName = g_SaveData.m_strRankingName;
    g_bNameEntryDone = 0;
    SendMessage(g_hWnd, WM_USER_NAME_ENTRY, 0, 0);
    // A window that is closing shows no dialog: the wait ends with it.
    while (!g_bNameEntryDone.load() && !m_bClosing.load()) Sleep(1);
    g_SaveData.m_strRankingName = m_strRankName;
  }
  PlaySystemSound(16);
  for (int i = 0; i < RANK_KINDS && i < static_cast<int>(g_Ranking.m_Lists.size()); ++i)
    if (m_RankPos.At(i) != -1) g_Ranking.m_Lists.At(i).Insert(m_strRankName, m_RankValue.At(i));
  const cSaveData& s = g_SaveData;
  g_Ranking.SaveFile(g_Game.m_nGameMode, s.m_strStageName.c_str(), s.m_bVarSet, s.m_nVarIndex, s.m_nVarValue);
  m_bRankEntered = 1;
  if (!thRanking.Start(&RankingThreadEntry, this)) return;
  while (!PostThreadMessage(thRanking.m_dwThreadId, THREAD_START_MSG, 0, 0) &&
         !t4::platform::HasThreadEnded(thRanking.m_hThread))
    Sleep(0);
  thRanking.Wait();
}

int RankingThreadProc(cScenePlay* scene) {
  const int mode = g_Game.m_nGameMode;
  g_SaveData.NextRankingKind(mode, 0);
  cSafeVector<cInput> inputs(g_Input.begin(), g_Input.end());
  if (inputs.empty()) inputs.emplace_back();
  cInput& in = inputs.At(0);
  for (;;) {
    MSG msg;
    bool quit = false;
    while (PeekMessage(&msg, PM_REMOVE))
      if (msg.message == WM_QUIT) quit = true;
    if (quit) return 1;
    if (!g_bAppActive.load()) {
      Sleep(1);
      continue;
    }
    WaitFrame();
    if (!g_Game.RestoreLostSurfaces()) PostCloseToMainWindow();
    g_Game.ReadInput(in);
    in.UpdateHistory();
    in.LatchButton(0);
    in.RepeatDir();
    if ((in.m_sButton & 1) && !(in.GetHistory(1, 1) & 1)) {
      PlaySystemSound(1);
      // The game thread takes over the input as it stands, so that this press, still held,
      // does not count again as a new one for the results.
      g_Input.At(0) = in;
      return 1;
    }
    if ((in.m_sButton & 8) && !(in.GetHistory(1, 1) & 8) && g_SystemData.GetRankingKindCount(mode) >= 2) {
      PlaySystemSound(6);
      g_SaveData.NextRankingKind(mode, 1);
    }
    scene->DrawFrozen();
    const int kind = g_SaveData.m_nRankingKind;
    g_Ranking.Draw(&BackBuffer, 184, 64, kind,
                   kind >= 0 && kind < static_cast<int>(scene->m_RankPos.size()) ? scene->m_RankPos.At(kind) : -1,
                   mode);
    g_Game.Present();
    CountFrameTowardLimit();
  }
}

void cScenePlay::StageEnd() {
  const bool results = ShowsResults();
  const int mode = g_OptionData.m_nRankingMode;
  if (results) {
    if (CheckPause()) {
      m_nStep = 0;
      m_nState = PLAY_PAUSE;
      return;
    }
    // Unlike a play frame, the clear display goes on (and is drawn) on a frame that saved a replay.
    ReplayKeyHandled();
    if ((mode == 0 || mode == 1) && GetAsyncKeyState(VK_F3) < 0) EnterRanking();
  }
  if (m_nStep == 0) {
    m_nCaptionCount = 0;
    m_nStep = 1;
  } else if (m_nStep != 1) {
    return;
  }
  cInput& in = g_Input.At(0);
  // The history moves on here as in play, so that a button still held from the last play frame
  // (a jump onto the goal) counts as new once it is let go and pressed again.
  in.UpdateHistory();
  in.LatchButton(0);
  in.RepeatDir();
  const bool fresh = (in.m_sButton & 1) && !(in.GetHistory(1, 1) & 1);
  if ((!results && m_nCaptionCount >= CAPTION_DONE) || (results && fresh && m_nCaptionCount >= CAPTION_DONE)) {
    if (results && m_bRanked && (mode == 2 || mode == 3))
      EnterRanking();
    else if (results)
      PlaySystemSound(1);
    g_Game.m_nNextScene = NextScene();
    m_nCaptionCount = 0;
    m_nStep = 0;
    m_nState = PLAY_FADE_OUT;
    return;
  }
  bool anyRank = false;
  for (int32_t pos : m_RankPos) anyRank = anyRank || pos != -1;
  if (results && !m_bRankEntered && anyRank && (mode == 0 || mode == 1)) {
    Draw(0, 1, 0, 0);
    const auto& texts = g_SystemData.m_Texts;
    const char* hint = TEXT_RANKING_HINT < static_cast<int>(texts.size()) ? texts.At(TEXT_RANKING_HINT).c_str() : "";
    g_Fonts[1].Draw(&BackBuffer, 320 - CountChars(hint) * 16 / 2, 456, hint);  // Font16
  } else {
    DrawFrozen();
  }
  if (g_Stage.m_nShowClearCaption) {
    m_nCaptionCount += 4;
    DDSURFACEDATA* word = &g_SurfaceTable[IMAGE_WORD_SHEET];
    if (m_nCaptionCount < 100)
      DDBltSplit(&BackBuffer, 256, 192, 128, 32, 4, 100 - m_nCaptionCount, word, 0, 64, BLT_TRANSPARENT, false);
    else
      DDBlt(&BackBuffer, 256, 192, 128, 32, word, 0, 64, BLT_TRANSPARENT);
  } else {
    m_nCaptionCount = CAPTION_DONE;
  }
  if (m_nCaptionCount >= CAPTION_DONE && g_Game.m_bRanking && results) {
    const std::vector<int> ranks(m_RankPos.begin(), m_RankPos.end());
    DrawStageResult(&BackBuffer, 336, 224, ranks, g_Game.m_nGameMode);
  }
}
