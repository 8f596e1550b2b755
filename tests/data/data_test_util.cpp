#include "data_test_util.h"

namespace t4::test {

std::string SaveBody(cRecord& record) {
  FILE* fp = std::tmpfile();
  record.Save(fp);
  std::fflush(fp);
  long size = std::ftell(fp);
  std::rewind(fp);
  std::string bytes(static_cast<size_t>(size), '\0');
  size_t got = std::fread(bytes.data(), 1, bytes.size(), fp);
  bytes.resize(got);
  std::fclose(fp);
  return bytes;
}

int LoadBody(cRecord& record, int32_t version, const std::string& body, bool* consumed) {
  return LoadStream(
      version, body, [&](FILE* fp) { return record.Load(fp); }, consumed);
}

LeWriter LayoutBody(const std::vector<MemberSpec>& layout, int v, const std::map<int, int64_t>& values,
                    const std::vector<std::string>& strings) {
  LeWriter members;
  int stored = 0;
  for (size_t i = 0; i < layout.size(); ++i) {
    const MemberSpec& spec = layout[i];
    if (v < spec.nSince) continue;
    ++stored;
    auto it = values.find(static_cast<int>(i) + 1);
    for (int k = 0; k < spec.nCount; ++k)
      members.Int(static_cast<uint64_t>(it != values.end() ? it->second : 0), spec.nSize);
  }
  LeWriter body;
  body.I32(stored).Append(members).I32(static_cast<int64_t>(strings.size()));
  for (const std::string& text : strings) body.Str(text);
  return body;
}

FakeDataRefs::FakeDataRefs() {
  for (int& count : m_Counts) count = 10;
  for (auto& palette : m_PaletteCounts)
    for (int& count : palette) count = 10;
  SetDataRefs(this);
}

FakeDataRefs::~FakeDataRefs() { SetDataRefs(nullptr); }

int FakeDataRefs::GetSwordEntryCount(int nType) const {
  return nType >= 0 && nType < static_cast<int>(m_SwordDurations.size())
             ? static_cast<int>(m_SwordDurations[static_cast<size_t>(nType)].size())
             : 0;
}

int32_t FakeDataRefs::GetSwordEntryDuration(int nType, int nEntry) const {
  return m_SwordDurations.at(static_cast<size_t>(nType)).at(static_cast<size_t>(nEntry));
}

}  // namespace t4::test
