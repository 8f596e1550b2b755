// The scene in which a stage is played: its eight states, the stage frame, the stage set-up and
// the wait record of the blocking presentations that the pause thread shows.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "core/safe_containers.h"
#include "persist/menu_command.h"
#include "stage/effect_obj.h"
#include "stage/game.h"
#include "stage/message_window.h"
#include "stage/picture_obj.h"
#include "stage/scroll.h"
#include "stage/stage_draw.h"

class cCharaBase;
class cChara;
class cCharaDef;
class cItem;
class cItemDef;
class cHero;
class cShot;
class cEdShot;
class cBlock;
struct FIREPARAM;
class cSaveData;
class cFlowState;
class cFlowCommandState;

// Modes of the pause thread's wait.
constexpr int32_t WAIT_GAME = 0;
constexpr int32_t WAIT_MESSAGE = 1;
constexpr int32_t WAIT_EFFECT = 2;
constexpr int32_t WAIT_PICTURE = 3;
constexpr int32_t WAIT_EXTRA_LIFE = 4;

// Play scene states.
constexpr int32_t PLAY_FADE_IN = 0;
constexpr int32_t PLAY_START = 1;
constexpr int32_t PLAY_PLAY = 2;
constexpr int32_t PLAY_PAUSE = 3;
constexpr int32_t PLAY_STAGE_END = 4;
constexpr int32_t PLAY_CONTINUE = 5;
constexpr int32_t PLAY_GAME_OVER = 6;
constexpr int32_t PLAY_FADE_OUT = 7;
constexpr int PLAY_STATE_COUNT = 8;

// Factions of in-stage objects.
constexpr int FACTION_COUNT = 8;
constexpr int STAGE_VARIABLE_COUNT = 1000;
constexpr int32_t INFINITE_LIVES = 999999;
constexpr int32_t UNLIMITED_LIFE = 0x7FFFFFFF;

// What the pause thread waits for.
class cWait {
 public:
  void Set(int nMode, int bButton, int nFrames, int bNoLock);

  int32_t m_nMode = 0;
  int32_t m_nLock = 0;
  int32_t m_bButton = 0;
  int32_t m_nFrames = 0;
  int32_t m_nReserved = 0;
};

// Outcome of a stage-logic pass.
constexpr int PASS_GO_ON = 0;
constexpr int PASS_STAGE_END = 1;
constexpr int PASS_HERO_DIES = 2;

class cScenePlay : public cScene {
 public:
  cScenePlay();
  ~cScenePlay() override;
  cScenePlay(const cScenePlay&) = delete;
  cScenePlay& operator=(const cScenePlay&) = delete;

  void Update() override;
  void Enter() override;
  void FadeIn() override;
  void FadeOut() override;

  void Start();
  void Play();
  void PauseMenu();
  void StageEnd();
  void Continue();
  void GameOver();

  int CheckPause();
  // F1 / F2 of the replay saves; 1 when one was asked for.
  int ReplayKeyHandled();
  int LoseLife(cSaveData& saveData);
  void SetStage(int bLoadStage, int bStartBgm);
  // The hero drawing reports that the dead main hero's death display has ended.
  void OnHeroDeathShown();
  // Runs a blocking presentation on the pause thread with `m_Wait` as set by the caller; returns
  // when it has ended. `bPostStart`: post the thread's start message until it is taken.
  void RunPauseThread(int bPostStart);

  // Frame passes and services the frame calls (each in the file of its concern).
  void UpdateActive();
  void CountPlayTime();
  int CountTimeLimit(int nDelta);
  int CheckHpDeaths();
  int CheckContacts();
  int HeroTouchItems();
  int CollideBlockCharas(cCharaBase& chara);
  void RideBlockChara(cCharaBase& chara);
  // Contacts with block characters (contacts_block.cpp) and a character's death as a pass result
  // (bookkeeping.cpp).
  void PushOutOfBlockCharas(cCharaBase& chara, int vertical);
  int HitBlockCharaExcept(const cCharaBase& obj, int excludedId);
  int HitBlockChara(const cCharaBase& obj);
  int IsOnRiddenChara(const cCharaBase& chara);
  cChara* FindBlockCharaBelow(const cCharaBase& chara);
  int IsCrushed(const cCharaBase& chara, const double entryBox[4]);
  int KillCharaCore(cCharaBase& chara);
  // Steps of the contact pass (contacts.cpp).
  int ShotsAgainstCharas();
  int ShotAgainstFaction(cShot& shot, int faction, bool onScreenOnly, bool& remove);
  int CharasAgainstCharas();
  int CharaPair(cCharaBase& a, cCharaBase& b);
  void ShotsAgainstShots();
  int CollideBlockCharasFlying(cCharaBase& chara);
  int CollideBlockCharasWalking(cCharaBase& chara);
  void EndStage();
  // Stage end (stage_end.cpp): totals with extra lives, the next stage of a series, the scene
  // after the clear and the ranking entry.
  void AddStageTotals();
  int MakeNextStageName(std::string& name, int number);
  int IsLastStage(int number);
  // 1 when the next stage of the series was loaded in place.
  int LoadNextStageInPlace();
  int NextScene();
  void EnterRanking();
  int KillChara(cChara& chara);
  void RemoveChara(cChara& chara);
  void SpawnCharas(cSafeList<cChara>& list, int tx, int ty, int32_t& id, cCharaDef& placement, const cItem* item);
  void SpawnItem(cSafeList<cItem>& list, int tx, int ty, int32_t& id, cItemDef& placement);
  void PlayBgm(int nNumber, int bLoop);
  // The shot list: a copy of `shot` joins the list and its faction's list; erasing removes both
  // and returns the next node (shot_pass.cpp).
  void AddShot(const cShot& shot);
  // A shot set up (cShot::Setup) where it stays in the list, and linked as AddShot links a copy.
  void AddShot(int id, cCharaBase* shooter, int kind, cEdShot& p, const FIREPARAM& f);
  cSafeList<cShot>::iterator EraseShot(cSafeList<cShot>::iterator it);
  // Summoned objects (spawn_summon.cpp): `x`, `y` the top-left corner of the formation's place.
  void SpawnSummonedChara(cSafeList<cChara>& list, double x, double y, int faction, int facing, cEdShot& record,
                          cCharaDef& def, int32_t& id, cCharaBase* summoner);
  void SpawnSummonedItem(cSafeList<cItem>& list, double x, double y, cEdShot& record, cItemDef& def, int32_t& id);
  int SummonBlockAt(double x, double y, int facing, cEdShot& record, cBlock& block);
  // 1 when a guarded object overlaps the cell; every object the new block holds gets a stop count.
  int StopOverlappingObjects(int index, int c, int r, cEdShot& record);
  // Draws the stage: `bLive` a played frame, `bHoldAnime` animations held, `bTickStatus` status
  // counters advance, `bKeyHint` the key hint shown.
  void Draw(int bLive, int bHoldAnime, int bTickStatus, int bKeyHint);
  void DrawFrozen() { Draw(0, 1, 0, 1); }
  // The parts of a frame (stage_draw*.cpp, screen_effect_draw.cpp, hero_draw.cpp).
  void DrawHero(int frozen);
  int DrawChara(cChara& chara, int frozen);
  // The characters of display layer `z` (every one when `z` is -1) from `it` on, in list order;
  // those whose death display has ended leave the list.
  void DrawCharasFrom(cSafeList<cChara>::iterator it, int z, int frozen);
  // The characters of display layer `z` from the lists gathered for the frame.
  void DrawCharaLayer(int z, int frozen);
  void ScrollBackgrounds();
  void DrawBackgrounds(DDSURFACEDATA* dst, int front);
  void DrawMapBlocks(DDSURFACEDATA* dst, int front);
  void DrawStatusLine(DDSURFACEDATA* dst);
  void DrawTimeLimit(DDSURFACEDATA* dst, int warningSound);
  void DrawNotice(DDSURFACEDATA* dst);
  void DrawScrEffect(int frozen);
  void MakeSightMask();
  void LoadExclusiveBitmaps();
  void LoadEffectBitmaps();
  cStageDrawState m_Draw;
  // Shot and sword pictures prepared at entry (shot_sheets.cpp), and the shots of a display layer,
  // every shot when `layer` is -1 (shot_draw.cpp).
  void BuildPaddedShotSheets();
  void LoadSwordBitmaps();
  void DrawShots(DDSURFACEDATA* dst, int layer, int frozen);

  // Scene state beyond cScene's m_nState / m_nStep.
  int32_t m_nSavedState = 0;
  int32_t m_nSavedStep = 0;
  int32_t m_nEndRequest = 0;
  cScroll& m_ScrollX;
  cScroll& m_ScrollY;
  cSafeList<cShot> m_Shots;
  cSafeVector<cSafeList<cCharaBase*>> m_CharaLayers;
  cSafeVector<cSafeList<cShot*>> m_ShotLayers;
  // The shots of each display layer in list order, gathered once by a frame's layered drawing
  // instead of a walk of every shot per layer. AddShot, EraseShot and the set-up count their
  // changes in m_nShotChanges, so lists gathered before a change are gathered anew.
  std::array<std::vector<cShot*>, DISPLAY_LAYER_COUNT> m_ShotsByZ;
  uint32_t m_nShotChanges = 0;
  uint32_t m_nShotsByZAt = 0;
  bool m_bShotsByZ = false;
  // The same for the characters, whose changes g_nCharaListChanges counts.
  std::array<std::vector<cSafeList<cChara>::iterator>, DISPLAY_LAYER_COUNT> m_CharasByZ;
  uint32_t m_nCharasByZAt = 0;
  bool m_bCharasByZ = false;
  cWait m_Wait;
  // Written by the window thread while the pause thread runs.
  std::atomic<int32_t> m_bClosing{0};
  cCharaBase* m_lpCurrentChara = nullptr;
  cFlowState* m_lpCurrentFlow = nullptr;
  cFlowCommandState* m_lpCurrentCommand = nullptr;
  int32_t m_bItemMessage = 0;
  int32_t m_nHeroCount = 0;
  int32_t m_nSubStep = 0;
  int32_t m_nSubStepCount = 0;
  cSafeVector<int32_t> m_ContactSchedule;
  int32_t m_nTimeLeft = 0;
  int32_t m_bNoTimeLimit = 0;
  int32_t m_nFrameCounter = 0;
  int32_t m_nPlayTime = 0;
  int32_t m_nCaptionCount = 0;
  int32_t m_nCaptionCount2 = 0;
  uint32_t m_nSeed = 0;
  int32_t m_bButtonLock = 0;
  int32_t m_bHpChanged = 0;
  // 1 while the contact pass runs: removals asked for meanwhile only flag the shots.
  int32_t m_bContactRunning = 0;
  cSafeVector<int32_t> m_StageVars;
  int32_t m_nFrameRate = 0;
  int32_t m_nCharaIdCount = 0;
  int32_t m_nItemIdCount = 0;
  int32_t m_nShotIdCount = 0;
  int32_t m_bOutOfAreaChara = 0;
  int32_t m_bOutOfAreaBlockChara = 0;
  int32_t m_bOutOfAreaItem = 0;
  cSafeVector<int32_t> m_ToggledCells;
  int32_t m_nPlayFrame = 0;
  int32_t m_nNextStage = 0;
  std::string m_strNextStage;
  int32_t m_bRanked = 0;
  cSafeVector<int32_t> m_RankPos;
  cSafeVector<int32_t> m_RankValue;
  std::string m_strRankName;
  int32_t m_bRankEntered = 0;
  cSafeVector<cCmd> m_PauseMenu;
  // Activation bytes of the stage's character groups.
  cSafeVector<uint8_t> m_GroupActive;
  // Frames the dead main hero has been shown (the death display ends after a fixed count).
  int32_t m_nDeathShown = 0;
  // Effects and pictures shown in the stage (effect_draw.cpp, picture_draw.cpp). The n-th
  // picture is drawn from the n-th surface of Off_Picture.
  cSafeList<cEffectObj> m_Effects;
  cSafeList<cPictureObj> m_Pictures;
  void DrawEffects(DDSURFACEDATA* dst, int frozen);
  void DrawPictures(DDSURFACEDATA* dst, int front, int frozen);
  // Every picture with its surface and load record.
  void ClearPictures();
  // A hit's effect `effect` (nothing for a number that names none) between the two boxes.
  void AddAttackEffect(int effect, const double boxA[4], const double boxB[4], int sizeFactor);
  // Set when the stage could not be set up: nothing runs or draws until the program closes.
  int32_t m_bSetupFailed = 0;
  // Stage set-ups so far; a frozen state that set the stage up again keeps the new seed.
  int32_t m_nSetStageCount = 0;

  // The message windows shown over the stage (message_window*.cpp), drawn in this order.
  MSGWINDOWLIST m_MessageWindows;

 private:
  // Runs the handler of the current state.
  void RunState();
  void ResetForEntry();
  int RunSubStep(int i);
  int BlockCharaPass();
  int HeroPass();
  int OtherCharaPass();
  void ShotPass();
  // Counts the change and links the last shot of the list to its faction, target and shooter.
  void LinkLastShot();
  void OutOfAreaPass();
  // 1 when the frame ends; handles the killed-by-flows rule for a character at `it`.
  int KilledByFlows(cSafeList<cChara>::iterator& it, bool& removed);
  void HeroDies(const char* label);
  // A character's moves and map collisions of one sub-step.
  void MoveAndCollide(cChara& c, bool& bDeath, bool& bRemove);
  // Death, removal or impact decay after a character's sub-step; the iterator moves on to the next
  // character. 1 when the frame ends.
  int EndCharaStep(cSafeList<cChara>::iterator& it, bool bDeath, bool bRemove);
  int BuildGrid();
  void PlaceObjects();
  void FireBeforeStart();
  // 0 when a played replay ran out and the stage started again.
  int ApplyInput();
  cSafeList<cChara>::iterator EraseChara(cSafeList<cChara>::iterator it);
  void SetupScroll();
  int RandStateSafeHandler(int state);
};

// The sub-steps whose passes test contacts: `n` entries, 1 on the sub-steps that test, for `k`
// tests per frame (0 or less: every sub-step).
cSafeVector<int32_t> MakeContactSchedule(int n, int k);

// Body of the pause thread.
int PauseThreadProc(cScenePlay* scene);
