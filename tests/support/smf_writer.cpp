#include "support/smf_writer.h"

namespace t4::test {

namespace {

void PutBE(std::string& out, uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

std::string VarLen(uint32_t value) {
  value &= 0x0FFFFFFF;
  std::string out(1, static_cast<char>(value & 0x7F));
  while (value >>= 7) out.insert(out.begin(), static_cast<char>((value & 0x7F) | 0x80));
  return out;
}

std::string ByteString(std::initializer_list<int> bytes) {
  std::string out;
  for (int b : bytes) out.push_back(static_cast<char>(b));
  return out;
}

std::string Event(uint32_t delta, std::initializer_list<int> bytes) { return VarLen(delta) + ByteString(bytes); }

std::string Meta(uint32_t delta, int type, const std::string& data) {
  return VarLen(delta) + ByteString({0xFF, type}) + VarLen(static_cast<uint32_t>(data.size())) + data;
}

std::string Tempo(uint32_t delta, uint32_t microseconds) {
  return Meta(delta, 0x51,
              ByteString({static_cast<int>(microseconds >> 16) & 0xFF, static_cast<int>(microseconds >> 8) & 0xFF,
                          static_cast<int>(microseconds) & 0xFF}));
}

std::string SysEx(uint32_t delta, const std::string& data, int status) {
  return VarLen(delta) + ByteString({status}) + VarLen(static_cast<uint32_t>(data.size())) + data;
}

std::string EndOfTrack(uint32_t delta) { return Meta(delta, 0x2F, ""); }

std::string MakeSmf(const SmfSpec& spec) {
  std::string out = "MThd";
  PutBE(out, 6, 4);
  PutBE(out, static_cast<uint32_t>(spec.format), 2);
  PutBE(out, static_cast<uint32_t>(spec.trackCount >= 0 ? spec.trackCount : static_cast<int>(spec.tracks.size())), 2);
  PutBE(out, static_cast<uint32_t>(spec.division), 2);
  for (const std::string& track : spec.tracks) {
    out += "MTrk";
    PutBE(out, static_cast<uint32_t>(track.size()), 4);
    out += track;
  }
  return out;
}

}  // namespace t4::test
