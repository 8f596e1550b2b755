// The item-command handlers: item kind k runs the body of flow kind k + 15 on the taker, once, in
// list order; kind 1 changes the taker's flows.
#include "flow/item_cmd.h"

#include <array>

#include "data/flow_command.h"
#include "data/flow_kinds.h"
#include "flow/cmd_control.h"
#include "flow/cmd_effect.h"
#include "flow/cmd_state.h"
#include "flow/cmd_warp_target.h"
#include "flow/exec_status.h"
#include "flow/flow_runner.h"
#include "flow/stage_binding.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"

namespace {

constexpr int ITEMCMD_STAGE_CLEAR = 2;

int ItemCmdNone(cCharaBase&, cFlowCommand&) { return 0; }

int ItemCmdChangeFlow(cCharaBase& c, cFlowCommand& cmd) {
  ExecChangeFlow(&c, &cmd, 0);
  return 0;
}

// The rest of the list is not run, whatever the body did.
int ItemCmdStageClear(cCharaBase& c, cFlowCommand& cmd) {
  ExecStageClear(c, cmd);
  return 1;
}

int ItemCmdGameWait(cCharaBase& c, cFlowCommand& cmd) {
  ExecGameWait(c, cmd);
  return 0;
}

// The first message of a list opens as the first of a run; later ones follow on without it.
int ItemCmdMessage(cCharaBase& c, cFlowCommand& cmd) {
  ExecMessage(c, cmd, g_lpScenePlay ? g_lpScenePlay->m_bItemMessage : 0);
  if (g_lpScenePlay) g_lpScenePlay->m_bItemMessage = 1;
  return 0;
}

int ItemCmdWarp(cCharaBase& c, cFlowCommand& cmd) {
  ExecWarp(c, cmd, 0);
  return 0;
}

int ItemCmdSetTarget(cCharaBase& c, cFlowCommand& cmd) {
  ExecSetTarget(c, cmd);
  return 0;
}

template <void (*BODY)(cCharaBase*, cFlowCommand&)>
int ItemCmdShow(cCharaBase& c, cFlowCommand& cmd) {
  BODY(&c, cmd);
  return 0;
}

int ItemCmdSound(cCharaBase& c, cFlowCommand& cmd) {
  ExecSound(cmd, &c);
  return 0;
}

int ItemCmdBgm(cCharaBase&, cFlowCommand& cmd) {
  ExecBgm(cmd);
  return 0;
}

int ItemCmdStatus(cCharaBase& c, cFlowCommand& cmd) {
  ExecStatus(StageFlowBinding(), &c, cmd);
  return 0;
}

template <void (*BODY)(cCharaBase*, cFlowCommand*)>
int ItemCmdBody(cCharaBase& c, cFlowCommand& cmd) {
  BODY(&c, &cmd);
  return 0;
}

// The code's own result (a script error) does not end the list.
int ItemCmdCode(cCharaBase& c, cFlowCommand& cmd) {
  ExecCode(&c, &cmd);
  return 0;
}

}  // namespace

// The list's own length makes the array's type, so a kind left out (which would be a null handler
// that RunItemCmd calls) fails to build: an array of another length does not convert.
constexpr std::array<ItemCmdHandler, ITEMCMD_KIND_COUNT> g_ItemCmdExecTable = std::to_array<ItemCmdHandler>({
    ItemCmdNone,                      // 0
    ItemCmdChangeFlow,                // 1 フローの変更
    ItemCmdStageClear,                // 2 ステージクリア
    ItemCmdGameWait,                  // 3 ゲームウエイト
    ItemCmdMessage,                   // 4 メッセージ
    ItemCmdWarp,                      // 5 ワープ
    ItemCmdSetTarget,                 // 6 ターゲットの設定
    ItemCmdStatus,                    // 7 ステータスの操作
    ItemCmdBody<ExecStatus2>,         // 8 ステータスの操作2
    ItemCmdBody<ExecVanish>,          // 9 消滅
    ItemCmdBody<ExecGetItem>,         // 10 アイテムの取得
    ItemCmdBody<ExecChangeGraphic>,   // 11 グラフィックの変更
    ItemCmdBody<ExecChangeAnimeSet>,  // 12 基本アニメセットの変更
    ItemCmdBody<ExecPlayAnime>,       // 13 アニメの実行
    ItemCmdShow<ExecEffect>,          // 14 エフェクトの実行
    ItemCmdShow<ExecCharaEffect>,     // 15 キャラエフェクトの実行
    ItemCmdShow<ExecScrEffect>,       // 16 画面エフェクトの実行
    ItemCmdShow<ExecPicture>,         // 17 ピクチャーの表示
    ItemCmdShow<ExecScreenColor>,     // 18 画面の色を変更
    ItemCmdShow<ExecBackground>,      // 19 背景の変更
    ItemCmdSound,                     // 20 効果音の再生
    ItemCmdBgm,                       // 21 BGMの再生
    ItemCmdCode,                      // 22 コードの実行
    ItemCmdBody<ExecArrange>,         // 23 アレンジ
    ItemCmdNone,                      // 24 ループ
});

static_assert(ITEMCMD_STAGE_CLEAR + ITEMCMD_KIND_OFFSET == CMD_STAGE_CLEAR);

int ExecChangeFlow(cCharaBase* h, cFlowCommand* cmd, int deferred) {
  if (!h || !cmd || static_cast<int>(cmd->m_Params.size()) < GetCmdParamCount(CMDCAT_ITEM, ITEMCMD_CHANGE_FLOW))
    return 0;
  if (!deferred && CurrentChara() == h && !g_Heroes.empty() && h == &g_Heroes.front()) {
    // The hero's flow pass is walking these very flows: the change waits for its end.
    static_cast<cHero*>(h)->m_PendingItemCmds.push_back(*cmd);
    return 0;
  }
  const auto id = static_cast<int8_t>(cmd->m_Params.At(1));
  switch (cmd->m_Params.At(0)) {
    case CHANGE_FLOW_ADD: InsertFlows(*h, cmd->m_Flows, 1, -1); break;
    case CHANGE_FLOW_REPLACE: {
      const int at = RemoveFlowsById(*h, id);
      InsertFlows(*h, cmd->m_Flows, 1, at);
      break;
    }
    case CHANGE_FLOW_DELETE: RemoveFlowsById(*h, id); break;
    default: break;
  }
  return 0;
}

void ExecPendingItemCommands(cCharaBase& chara, cSafeVector<cFlowCommand>& commands) {
  for (cFlowCommand& cmd : commands) ExecChangeFlow(&chara, &cmd, 1);
}
