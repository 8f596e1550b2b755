#include "support/wav_writer.h"

namespace t4::test {

namespace {

void Put16(std::string& out, uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

std::string MakeChunk(const char id[4], const std::string& body) {
  std::string out(id, 4);
  Put32(out, static_cast<uint32_t>(body.size()));
  out += body;
  if (body.size() % 2) out.push_back('\0');
  return out;
}

std::string MakeWav(const WavSpec& spec) {
  std::string body = "WAVE" + spec.chunksBeforeFmt;
  if (spec.withFmt) {
    std::string fmt;
    const uint16_t blockAlign = spec.blockAlign.value_or(static_cast<uint16_t>(spec.channels * spec.bits / 8));
    Put16(fmt, spec.formatTag);
    Put16(fmt, spec.channels);
    Put32(fmt, spec.rate);
    Put32(fmt, spec.rate * blockAlign);
    Put16(fmt, blockAlign);
    Put16(fmt, spec.bits);
    fmt.resize(spec.fmtBytes, '\0');
    body += MakeChunk("fmt ", fmt);
  }
  if (spec.withData) {
    std::string data = MakeChunk("data", spec.samples);
    if (spec.declaredDataBytes) {
      std::string size;
      Put32(size, *spec.declaredDataBytes);
      data.replace(4, 4, size);
    }
    body += data;
  }
  std::string out = "RIFF";
  Put32(out, spec.declaredRiffBytes.value_or(static_cast<uint32_t>(body.size())));
  return out + body;
}

std::string Pcm8(const std::vector<int>& values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v & 0xFF));
  return out;
}

std::string Pcm16(const std::vector<int>& values) {
  std::string out;
  for (int v : values) Put16(out, static_cast<uint32_t>(v) & 0xFFFF);
  return out;
}

}  // namespace t4::test
