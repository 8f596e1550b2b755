#include "save_image.h"

namespace t4::test {

namespace {

struct MemberRow {
  const char* name;
  int32_t nSince;
};

// In file order.
constexpr MemberRow SAVE_MEMBERS[] = {
    {"StatusStored", 0},
    {"MapX", 0},
    {"MapY", 0},
    {"MapEntrySlot", 0},
    {"Lap", 0},
    {"VarSet", 758},
    {"VarIndex", 758},
    {"VarValue", 758},
    {"StageNo", 0},
    {"SequenceNo", 0},
    {"LivesAtStart", 0},
    {"Lives", 0},
    {"StageScore", 0},
    {"ResultScore", 0},
    {"WorldTotal", 0},
    {"ResultTime", 0},
    {"ResultClearTime", 0},
    {"ResultHp", 182},
    {"ResultSp", 182},
    {"Sequence", 0},
    {"Bgm", 0},
    {"BgmLoop", 166},
    {"MapDir", 194},
    {"MapReturn", 190},
    {"MapMenuX", 191},
    {"MapMenuY", 191},
    {"ChallengeOpen", 0},
    {"Slot", 0},
    {"AutoSave", 169},
    {"RankingPanel", 0},
    {"RankingKind", 0},
    {"NextStart", 678},
    {"NextStartX", 678},
    {"NextStartY", 678},
    {"NextStartDir", 679},
};

}  // namespace

LeWriter SaveImage::Body() const {
  LeWriter members_;
  int32_t count = 0;
  for (const MemberRow& row : SAVE_MEMBERS) {
    if (nVersion < row.nSince) continue;
    auto it = members.find(row.name);
    members_.I32(it == members.end() ? 0 : it->second);
    ++count;
  }
  LeWriter w;
  w.I32(count).Append(members_);
  w.I32(nVersion >= 724 ? 3 : 2).Str(stageName);
  if (nVersion >= 724) w.Str(playName);
  w.Str(rankingName);
  for (int i = 0; i < 8; ++i) w.I16(2000 + i);  // the save time
  if (nVersion >= 501) w.I32List(marks);
  w.I32(nStatusCount).I32(nResultCount).I32(nChallengeCount);
  w.I32List(worldFlags);
  w.I32List(commonVars);
  return w;
}

std::string SaveImage::File() const {
  LeWriter w;
  w.I32(nVersion).Append(Body());
  return w.Bytes();
}

}  // namespace t4::test
