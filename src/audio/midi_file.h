// cSmf: reads a Standard MIDI File of format 0 or 1 into one format-0 image in memory: a single
// track whose events (from every track, in time order) each carry their own status byte, ending
// with one end-of-track event at the latest end of all tracks.
//
// Every read stays inside the file: a track that runs out of data ends there, and a file that
// cannot be read as MIDI is refused with a line in the report log and leaves the image empty.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win_types.h"

// Image layout: the 14-byte header, "MTrk", the track length, then the events.
constexpr uint32_t SMF_IMAGE_HEADER_BYTES = 22;
// The largest variable-length quantity (four bytes of seven bits).
constexpr uint32_t SMF_VARLEN_MAX = 0x0FFFFFFF;
// MIDI files are small; anything larger than this is refused before it is read.
constexpr uint32_t SMF_FILE_LIMIT = 64u * 1024u * 1024u;

// One event while the tracks are merged: its time and where its bytes lie in the file.
struct SMFEVENT {
  uint32_t nTick = 0;
  BYTE cStatus = 0;
  uint32_t nData = 0;    // offset of the bytes after the status in the file
  uint32_t nLength = 0;  // how many they are
};

class cSmf {
 public:
  explicit cSmf(const char* lpFile);
  // The same from file contents already in memory; `lpName` names it in the log.
  cSmf(const char* lpName, const BYTE* lpContents, uint32_t nSize);
  virtual ~cSmf();
  cSmf(const cSmf&) = delete;
  cSmf& operator=(const cSmf&) = delete;

  void LoadFile(const char* lpFile);
  // The image, or an empty vector when the contents are refused.
  std::vector<BYTE> Parse(const BYTE* lpContents, uint32_t nSize);

  // Null when there is no image.
  const BYTE* GetImage() const { return m_Image.empty() ? nullptr : m_Image.data(); }
  uint32_t GetImageSize() const { return static_cast<uint32_t>(m_Image.size()); }
  const std::string& GetFileName() const { return m_strFile; }

  // Bytes used (1-4), or 0 when the quantity is longer than four bytes or runs past `nAvail`.
  static uint32_t ReadVarLen(const BYTE* lpIn, uint32_t nAvail, uint32_t* lpnValue);
  // Bytes written (1-4), or 0 for a value above SMF_VARLEN_MAX (nothing written).
  static uint32_t WriteVarLen(BYTE* lpOut, uint32_t nValue);

 protected:
  std::vector<BYTE> m_Image;
  std::string m_strFile;

 private:
  std::vector<BYTE> Convert(const BYTE* lpContents, uint32_t nSize);
  // False (logged) when the tracks cannot be read.
  bool ParseTracks(const BYTE* lpContents, uint32_t nSize, std::vector<std::vector<SMFEVENT>>& tracks);
  std::vector<const SMFEVENT*> MergeTracks(const std::vector<std::vector<SMFEVENT>>& tracks);
  std::vector<BYTE> BuildFormat0(const BYTE* lpContents, const std::vector<const SMFEVENT*>& ordered);
  void Refuse(const char* lpReason);
};
