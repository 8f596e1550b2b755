#include "audio/midi_file.h"

#include <cstdio>
#include <cstring>
#include <queue>

#include "core/report_log.h"
#include "platform/files.h"

namespace {

// The end-of-track event is not in the file: its node points nowhere.
constexpr uint32_t SMF_SYNTHETIC = 0xFFFFFFFF;
const BYTE END_OF_TRACK_DATA[2] = {0x2F, 0x00};

uint32_t ReadBE(const BYTE* p, int bytes) {
  uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) value = (value << 8) | p[i];
  return value;
}

// The outcome of reading one variable-length quantity of a track.
enum class VarLen { Ok, Cut, Malformed };

VarLen ReadTrackVarLen(const BYTE* lpContents, uint32_t nSize, uint32_t nPos, uint32_t* lpnValue, uint32_t* lpnUsed) {
  const uint32_t avail = nPos < nSize ? nSize - nPos : 0;
  *lpnUsed = cSmf::ReadVarLen(lpContents + nPos, avail, lpnValue);
  if (*lpnUsed != 0) return VarLen::Ok;
  // Four bytes that all go on are no quantity; fewer left than that is a file cut short.
  return avail >= 4 ? VarLen::Malformed : VarLen::Cut;
}

}  // namespace

cSmf::cSmf(const char* lpFile) { LoadFile(lpFile); }

cSmf::cSmf(const char* lpName, const BYTE* lpContents, uint32_t nSize) : m_strFile(lpName ? lpName : "") {
  if (lpContents) m_Image = Parse(lpContents, nSize);
}

cSmf::~cSmf() = default;

void cSmf::Refuse(const char* lpReason) { WriteReportLogAndDebugLog("Midi %s Init %s", m_strFile.c_str(), lpReason); }

void cSmf::LoadFile(const char* lpFile) {
  m_Image.clear();
  m_strFile = lpFile ? lpFile : "";
  FILE* fp = t4::platform::OpenFile(m_strFile, "rb");
  if (!fp) {
    WriteReportLogAndDebugLog("Midi %s Create ファイルが開けません", m_strFile.c_str());
    return;
  }
  std::vector<BYTE> contents;
  BYTE block[65536];
  size_t got = 0;
  while ((got = std::fread(block, 1, sizeof(block), fp)) > 0 && contents.size() <= SMF_FILE_LIMIT) {
    contents.insert(contents.end(), block, block + got);
  }
  std::fclose(fp);
  if (contents.size() > SMF_FILE_LIMIT) {
    Refuse("ファイルが大きすぎる");
    return;
  }
  m_Image = Parse(contents.data(), static_cast<uint32_t>(contents.size()));
}

std::vector<BYTE> cSmf::Parse(const BYTE* lpContents, uint32_t nSize) {
  if (nSize < 4 || std::memcmp(lpContents, "MThd", 4) != 0) {
    Refuse("標準MIDIでない(4)");
    return {};
  }
  if (nSize < 14 || ReadBE(lpContents + 4, 4) != 6) {
    Refuse("標準MIDIでない(6)");
    return {};
  }
  const uint32_t format = ReadBE(lpContents + 8, 2);
  if (format == 2) {
    Refuse("対応フォーマットが2でない");
    return {};
  }
  if (format > 2) {
    Refuse("対応フォーマットが0または1でない");
    return {};
  }
  // A header that announces no track has no first track either.
  if (nSize < 18 || std::memcmp(lpContents + 14, "MTrk", 4) != 0 || ReadBE(lpContents + 10, 2) == 0) {
    Refuse("標準MIDIでない(4)");
    return {};
  }
  return Convert(lpContents, nSize);
}

std::vector<BYTE> cSmf::Convert(const BYTE* lpContents, uint32_t nSize) {
  std::vector<std::vector<SMFEVENT>> tracks;
  if (!ParseTracks(lpContents, nSize, tracks)) return {};
  return BuildFormat0(lpContents, MergeTracks(tracks));
}

bool cSmf::ParseTracks(const BYTE* lpContents, uint32_t nSize, std::vector<std::vector<SMFEVENT>>& tracks) {
  const uint32_t count = ReadBE(lpContents + 10, 2);
  tracks.assign(count, {});
  uint32_t pos = 14;
  uint32_t latestEnd = 0;
  for (uint32_t t = 0; t < count; ++t) {
    std::vector<SMFEVENT>& list = tracks[t];
    // "MTrk" and the track length: tracks follow one another, each ended by its end event.
    if (nSize - pos < 8) {
      pos = nSize;
      continue;
    }
    // Tracks are read up to their end event, whatever their declared length says; a track that
    // lacks one ends where its declared data ends, if the next track (or the file's end) is there.
    const uint64_t declaredEnd = uint64_t{pos} + 8 + ReadBE(lpContents + pos + 4, 4);
    const bool nextAtDeclaredEnd =
        declaredEnd == nSize || (declaredEnd + 4 <= nSize && std::memcmp(lpContents + declaredEnd, "MTrk", 4) == 0);
    pos += 8;
    uint32_t tick = 0;
    BYTE running = 0;
    bool ended = false;
    while (!ended) {
      if (nextAtDeclaredEnd && pos == declaredEnd) break;
      uint32_t delta = 0;
      uint32_t used = 0;
      const VarLen v = ReadTrackVarLen(lpContents, nSize, pos, &delta, &used);
      if (v == VarLen::Malformed) {
        Refuse("可変長数値が不正");
        return false;
      }
      if (v == VarLen::Cut) break;
      // Every time must stay writable as one variable-length delta in the image.
      if (delta > SMF_VARLEN_MAX - tick) {
        Refuse("デルタタイムが大きすぎる");
        return false;
      }
      pos += used;
      if (pos >= nSize) break;
      BYTE status = running;
      if (lpContents[pos] & 0x80) status = lpContents[pos++];
      running = status;
      const uint32_t start = pos;
      uint64_t length = 0;
      if (status == 0xFF || status == 0xF0 || status == 0xF7) {
        // Meta events: the type byte before the length.
        const uint32_t lengthAt = status == 0xFF ? pos + 1 : pos;
        if (lengthAt >= nSize) break;
        uint32_t dataLength = 0;
        const VarLen l = ReadTrackVarLen(lpContents, nSize, lengthAt, &dataLength, &used);
        if (l == VarLen::Malformed) {
          Refuse("可変長数値が不正");
          return false;
        }
        if (l == VarLen::Cut) break;
        length = static_cast<uint64_t>(lengthAt - pos) + used + dataLength;
        if (status == 0xFF && lpContents[pos] == 0x2F && dataLength == 0 && used == 1) {
          tick += delta;
          if (tick > latestEnd) latestEnd = tick;
          pos += 2;
          ended = true;
          continue;
        }
      } else {
        length = (status >= 0xC0 && status <= 0xDF) ? 1 : 2;
      }
      // An event cut off by the end of the file is dropped; the track ends before it.
      if (start + length > nSize) break;
      tick += delta;
      list.push_back(SMFEVENT{tick, status, start, static_cast<uint32_t>(length)});
      pos = start + static_cast<uint32_t>(length);
    }
    if (!ended) {
      // A track without its end event ends with its data.
      if (tick > latestEnd) latestEnd = tick;
      if (!(nextAtDeclaredEnd && pos == declaredEnd)) pos = nSize;
    }
  }
  tracks.back().push_back(SMFEVENT{latestEnd, 0xFF, SMF_SYNTHETIC, 2});
  return true;
}

std::vector<const SMFEVENT*> cSmf::MergeTracks(const std::vector<std::vector<SMFEVENT>>& tracks) {
  // The head of every track, earliest first; equal ticks go to the lower track, and a track keeps
  // its own order.
  struct Head {
    uint32_t nTick;
    uint32_t nTrack;
    uint32_t nIndex;
    bool operator>(const Head& o) const { return nTick != o.nTick ? nTick > o.nTick : nTrack > o.nTrack; }
  };
  std::priority_queue<Head, std::vector<Head>, std::greater<Head>> heads;
  size_t total = 0;
  for (uint32_t t = 0; t < tracks.size(); ++t) {
    total += tracks[t].size();
    if (!tracks[t].empty()) heads.push(Head{tracks[t][0].nTick, t, 0});
  }
  std::vector<const SMFEVENT*> ordered;
  ordered.reserve(total);
  while (!heads.empty()) {
    Head h = heads.top();
    heads.pop();
    const std::vector<SMFEVENT>& list = tracks[h.nTrack];
    ordered.push_back(&list[h.nIndex]);
    if (++h.nIndex < list.size()) {
      h.nTick = list[h.nIndex].nTick;
      heads.push(h);
    }
  }
  return ordered;
}

std::vector<BYTE> cSmf::BuildFormat0(const BYTE* lpContents, const std::vector<const SMFEVENT*>& ordered) {
  std::vector<BYTE> image = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, lpContents[12], lpContents[13],
                             'M', 'T', 'r', 'k', 0, 0, 0, 0};
  uint32_t previous = 0;
  BYTE delta[4];
  for (const SMFEVENT* e : ordered) {
    const uint32_t n = WriteVarLen(delta, e->nTick - previous);
    previous = e->nTick;
    image.insert(image.end(), delta, delta + n);
    image.push_back(e->cStatus);
    const BYTE* data = e->nData == SMF_SYNTHETIC ? END_OF_TRACK_DATA : lpContents + e->nData;
    image.insert(image.end(), data, data + e->nLength);
  }
  const uint32_t length = static_cast<uint32_t>(image.size() - SMF_IMAGE_HEADER_BYTES);
  for (int i = 0; i < 4; ++i) image[18 + i] = static_cast<BYTE>(length >> (24 - 8 * i));
  return image;
}

uint32_t cSmf::ReadVarLen(const BYTE* lpIn, uint32_t nAvail, uint32_t* lpnValue) {
  uint32_t value = 0;
  for (uint32_t i = 0; i < 4 && i < nAvail; ++i) {
    value = (value << 7) + (lpIn[i] & 0x7F);
    if (!(lpIn[i] & 0x80)) {
      *lpnValue = value;
      return i + 1;
    }
  }
  *lpnValue = 0;
  return 0;
}

uint32_t cSmf::WriteVarLen(BYTE* lpOut, uint32_t nValue) {
  if (nValue > SMF_VARLEN_MAX) return 0;
  uint32_t n = 1;
  if (nValue >= 0x80) n = 2;
  if (nValue >= 0x4000) n = 3;
  if (nValue >= 0x200000) n = 4;
  for (uint32_t i = 0; i < n; ++i) {
    const uint32_t shift = 7 * (n - 1 - i);
    lpOut[i] = static_cast<BYTE>(((nValue >> shift) & 0x7F) | (i + 1 < n ? 0x80 : 0));
  }
  return n;
}
