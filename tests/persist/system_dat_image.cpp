#include "system_dat_image.h"

namespace t4::test {

namespace {

struct Row {
  int nSince;
  int nUntil;  // last version storing it
  int nSize;
};

constexpr int ALL = 0;
constexpr int NOW = 902;

// Rows 1 to 86 in file order.
const Row kRows[] = {
    {185, NOW, 4}, {ALL, NOW, 4}, {838, NOW, 4}, {ALL, NOW, 4}, {ALL, NOW, 4}, {205, NOW, 4}, {170, NOW, 4},
    {113, NOW, 4}, {855, NOW, 4}, {184, NOW, 4}, {157, NOW, 4}, {821, NOW, 4}, {ALL, NOW, 4}, {191, NOW, 4},
    {191, NOW, 4}, {ALL, NOW, 4}, {ALL, NOW, 4}, {167, NOW, 4}, {167, NOW, 4}, {188, NOW, 4}, {224, NOW, 4},
    {167, NOW, 4}, {167, NOW, 4}, {188, NOW, 4}, {224, NOW, 4}, {188, NOW, 4}, {192, NOW, 4}, {187, NOW, 4},
    {187, NOW, 1}, {187, NOW, 1}, {187, NOW, 1}, {214, NOW, 4}, {221, 259, 4}, {261, NOW, 4}, {272, NOW, 4},
    {287, NOW, 4}, {515, NOW, 4}, {289, NOW, 4}, {757, NOW, 4}, {525, NOW, 4}, {555, NOW, 4}, {637, NOW, 4},
    {669, NOW, 4}, {677, NOW, 4}, {695, NOW, 4}, {696, NOW, 4}, {697, NOW, 4}, {721, NOW, 4}, {728, NOW, 4},
    {733, NOW, 4}, {744, NOW, 4}, {749, NOW, 4}, {752, NOW, 4}, {763, NOW, 4}, {763, NOW, 4}, {768, NOW, 4},
    {773, NOW, 4}, {781, NOW, 4}, {782, NOW, 4}, {783, NOW, 4}, {793, NOW, 4}, {805, NOW, 4}, {808, NOW, 4},
    {818, NOW, 4}, {818, NOW, 4}, {819, NOW, 4}, {822, NOW, 4}, {827, NOW, 4}, {831, NOW, 4}, {833, NOW, 4},
    {837, NOW, 4}, {839, NOW, 4}, {841, NOW, 4}, {845, NOW, 4}, {845, NOW, 4}, {845, NOW, 4}, {845, NOW, 4},
    {861, NOW, 4}, {875, NOW, 4}, {894, NOW, 4}, {895, NOW, 4}, {896, NOW, 4}, {897, NOW, 4}, {670, NOW, 4},
    {670, NOW, 4}, {880, NOW, 4},
};
static_assert(sizeof(kRows) / sizeof(kRows[0]) == 86);

void Body(LeWriter& out, int nMembers, const LeWriter& members, const std::vector<std::string>& strings) {
  out.I32(nMembers).Append(members).I32(static_cast<int64_t>(strings.size()));
  for (const std::string& text : strings) out.Str(text);
}

void ByteList(LeWriter& out, const std::vector<int>& list) {
  out.I32(static_cast<int64_t>(list.size()));
  for (int value : list) out.U8(static_cast<uint32_t>(value));
}

void TextList(LeWriter& out, const std::vector<std::string>& list) {
  out.I32(static_cast<int64_t>(list.size()));
  for (const std::string& text : list) out.Str(text);
}

void CmdList(LeWriter& out, const std::vector<CmdSpec>& menu) {
  out.I32(static_cast<int64_t>(menu.size()));
  for (const CmdSpec& cmd : menu) Body(out, 1, LeWriter().I32(cmd.bEnabled), {cmd.caption});
}

}  // namespace

std::string SystemDatImage::Bytes() const {
  const int v = nVersion;
  LeWriter out;
  out.I32(v);

  LeWriter memberBytes;
  int nMembers = 0;
  for (int row = 1; row <= 86; ++row) {
    const Row& spec = kRows[row - 1];
    if (v < spec.nSince || v > spec.nUntil) continue;
    ++nMembers;
    auto it = members.find(row);
    memberBytes.Int(static_cast<uint64_t>(it != members.end() ? it->second : 0), spec.nSize);
  }
  Body(out, nMembers, memberBytes, {title});

  ByteList(out, carryFlags);
  if (v >= 501) ByteList(out, carryResetFlags);
  out.I32(statusItemCount);
  for (int i = 0; i < statusItemCount; ++i) {
    LeWriter item;
    item.I32(1).I32(0).I32(i + 1);  // shown, label instead of an icon, digits
    int n = 3;
    if (v >= 204) {
      item.I32(0);
      n += 1;
    }
    if (v >= 587) {
      item.I32(10 * i).I32(0);
      n += 2;
    }
    std::string label = "L";
    label += std::to_string(i);
    Body(out, n, item, {label});
  }
  out.I32List(initialLives);
  if (v >= 191) out.I32List(infiniteLives);
  if (v >= 186) {
    out.I32(static_cast<int64_t>(rankingRules.size()));
    for (const std::vector<int>& rule : rankingRules) {
      Body(out, 1, LeWriter().I32(rule.at(0)), {});
      ByteList(out, std::vector<int>(rule.begin() + 1, rule.end()));
    }
  }
  TextList(out, texts);
  TextList(out, sounds);
  out.I32List(sceneBgm);
  if (v >= 202) ByteList(out, sceneBgmLoop);
  CmdList(out, titleMenu);
  CmdList(out, mapMenu);
  CmdList(out, optionMenu);
  if (v >= 674) TextList(out, rankingModeNames);
  out.I32(static_cast<int64_t>(iniKeys.size()));
  for (const IniKeySpec& key : iniKeys) Body(out, 2, LeWriter().I32(key.nKind).I32(key.nValue), {key.key, key.text});
  return out.Bytes();
}

}  // namespace t4::test
