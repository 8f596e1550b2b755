#include "audio/sound_effects.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>

#include "audio/file_name.h"
#include "core/report_log.h"
#include "core/timing.h"
#include "platform/audio/audio_output.h"
#include "platform/audio/wav_reader.h"
#include "platform/files.h"

using t4::platform::AudioOutput;
using t4::platform::Mixer;
using t4::platform::WavStatus;

cSafeVector<DSSOUNDDATA> g_SoundList;
cSafeVector<DSSOUNDINFO> g_SoundInfoList;

namespace {

// One lock for the whole layer: plays come from two threads, and the round-robin index and the
// buffers must not change under a play. Recursive because loading sets volumes.
std::recursive_mutex g_DsMutex;

// The mixer stands for the sound device; null means no sound, and every operation tests it first.
std::unique_ptr<Mixer> g_lpMixer;
AudioOutput* g_lpOutput = nullptr;
HWND g_hSoundWnd = nullptr;
// Set by DS_EnumProc for every device that has both an id and a description.
bool g_bDeviceFound = false;

// The lists DS_LoadSounds was given; DS_Release frees the buffers of the first.
struct SOUNDTABLE {
  cSafeVector<DSSOUNDDATA>* lpSounds = nullptr;
  cSafeVector<DSSOUNDINFO>* lpInfos = nullptr;
};
SOUNDTABLE g_lpSoundTable;

// A WAV file larger than any sound buffer can be (plus room for its chunks) is read only that far.
constexpr size_t WAVE_FILE_READ_LIMIT = t4::platform::MAX_BUFFER_BYTES + 0x10000;
constexpr uint32_t MIN_FORMAT_BYTES = 16;

bool ReadWholeFile(const char* lpFile, std::vector<uint8_t>& bytes) {
  FILE* fp = t4::platform::OpenFile(lpFile ? lpFile : "", "rb");
  if (!fp) return false;
  try {
    uint8_t block[65536];
    while (bytes.size() < WAVE_FILE_READ_LIMIT) {
      size_t want = std::min(sizeof(block), WAVE_FILE_READ_LIMIT - bytes.size());
      size_t got = std::fread(block, 1, want, fp);
      bytes.insert(bytes.end(), block, block + got);
      if (got < want) break;
    }
  } catch (const std::bad_alloc&) {
    std::fclose(fp);
    return false;
  }
  std::fclose(fp);
  return true;
}

void ReleaseSoundLocked(DSSOUNDDATA* lpSound) {
  if (!g_lpMixer || !lpSound || lpSound->Buffers.empty()) return;
  // The duplicates first, then the buffer they were made from; missing ones are skipped.
  for (size_t i = lpSound->Buffers.size(); i-- > 0;) {
    if (lpSound->Buffers[i] != 0) g_lpMixer->ReleaseBuffer(lpSound->Buffers[i]);
  }
  lpSound->Buffers.clear();
}

}  // namespace

bool DS_EnumProc(const int32_t* lpId, const char* lpDescription, const char* lpModule, void* lpContext) {
  (void)lpModule;
  (void)lpContext;
  // The default entry has no id.
  if (lpId && lpDescription) g_bDeviceFound = true;
  return true;
}

bool DS_Init(HWND hWnd, int nRate, int nBits, int nChannels) {
  std::lock_guard lock(g_DsMutex);
  DS_Release();
  AudioOutput& output = t4::platform::GetAudioOutput();
  g_bDeviceFound = false;
  output.EnumerateDevices(DS_EnumProc, nullptr);
  if (!g_bDeviceFound) return false;
  auto mixer = std::make_unique<Mixer>();
  // The device is opened in the primary format, so the format is set before it opens; a format
  // the mixer cannot play leaves its default.
  if (nRate > 0 && nBits > 0 && nChannels > 0) {
    mixer->SetFormat(t4::platform::MakePcmFormat(static_cast<uint32_t>(nRate), static_cast<uint16_t>(nBits),
                                                 static_cast<uint16_t>(nChannels)));
  }
  if (!output.Open(*mixer)) {
    WriteDebugLogMsg("DIRECTSOUNDCREATE_ERR!");
    return false;
  }
  g_lpMixer = std::move(mixer);
  g_lpOutput = &output;
  g_hSoundWnd = hWnd;
  g_lpSoundTable = SOUNDTABLE{};
  return true;
}

bool DS_ReadWave(const char* lpFile, DSWAVEDATA* lpWave) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(lpFile, bytes)) return false;
  t4::platform::WavData wav = t4::platform::ParseWav(bytes);
  switch (wav.status) {
    case WavStatus::Ok: break;
    case WavStatus::NotRiffWave:
      WriteReportLogAndDebugLog("%s の読み込みに失敗しました…\n不正なファイルです。", lpFile);
      return false;
    case WavStatus::FormatTooLarge:
    case WavStatus::FormatCut:
      WriteReportLogAndDebugLog(
          "%s の読み込みに失敗しました…\n対応していない形式か、不正なwavファイルです。\n"
          "本ソフトではPCM形式のみ再生できます。",
          lpFile);
      return false;
    case WavStatus::NotPcm:
      WriteReportLogAndDebugLog(
          "%s の読み込みに失敗しました…\nPCM形式以外の形式です。\n本ソフトではPCM形式のみ再生できます。", lpFile);
      return false;
    case WavStatus::NoFormat:
    case WavStatus::NoData:
    case WavStatus::EmptyData: return false;
  }
  lpWave->Format = wav.format;
  lpWave->nFormatBytes = wav.formatBytes;
  lpWave->Samples = std::move(wav.samples);
  return true;
}

void DS_FreeWave(DSWAVEDATA* lpWave) {
  if (!lpWave) return;
  lpWave->Samples.clear();
  lpWave->Samples.shrink_to_fit();
}

bool DS_CreateBuffer(SOUNDBUFFER* lpBuffer, const char* lpFile) {
  std::lock_guard lock(g_DsMutex);
  if (!g_lpMixer) return true;
  DSWAVEDATA wave;
  if (!DS_ReadWave(lpFile, &wave)) {
    WriteReportLogAndDebugLog("%s の読み込みに失敗しました！", lpFile);
    return false;
  }
  // The mixer refuses formats it cannot play (bad channel count, bits, rate or block align);
  // a "fmt " chunk too short to hold a whole format is refused the same way.
  SOUNDBUFFER buffer = 0;
  if (wave.nFormatBytes >= MIN_FORMAT_BYTES) buffer = g_lpMixer->CreateBuffer(wave.Format, wave.Samples);
  DS_FreeWave(&wave);
  if (buffer == 0) {
    std::string text;
    FormatString(text, "%s生成失敗！", lpFile);
    WriteDebugLogMsg(text.c_str());
    return false;
  }
  *lpBuffer = buffer;
  return true;
}

bool DS_DuplicateBuffer(SOUNDBUFFER* lpBuffer, SOUNDBUFFER source) {
  std::lock_guard lock(g_DsMutex);
  if (!g_lpMixer) return true;
  SOUNDBUFFER buffer = g_lpMixer->DuplicateBuffer(source);
  if (buffer == 0) return false;
  *lpBuffer = buffer;
  return true;
}

bool DS_CreateSound(DSSOUNDDATA* lpSound, const char* lpFile, int nCount, int nVolume) {
  std::lock_guard lock(g_DsMutex);
  if (!g_lpMixer) return true;
  ReleaseSoundLocked(lpSound);
  *lpSound = DSSOUNDDATA{};
  std::string text;
  if (nCount < 1) {
    FormatString(text, "%sのメモリ確保失敗！", lpFile);
    WriteDebugLogMsg(text.c_str());
    return false;
  }
  // Built aside and stored only when complete: a failure frees what was made and leaves the
  // entry empty (unplayable), never half built.
  std::vector<SOUNDBUFFER> buffers(static_cast<size_t>(nCount), 0);
  if (!DS_CreateBuffer(&buffers[0], lpFile)) return false;
  for (int i = 1; i < nCount; ++i) {
    if (!DS_DuplicateBuffer(&buffers[static_cast<size_t>(i)], buffers[0])) {
      FormatString(text, "%sのメモリ共用バッファの生成失敗！", lpFile);
      WriteDebugLogMsg(text.c_str());
      for (SOUNDBUFFER b : buffers) {
        if (b != 0) g_lpMixer->ReleaseBuffer(b);
      }
      return false;
    }
  }
  lpSound->Buffers = std::move(buffers);
  lpSound->nBufferCount = nCount;
  lpSound->nNext = 0;
  CopyFileName(lpSound->szFile, lpFile);
  if (nVolume != 0) {
    for (int i = 0; i < nCount; ++i) DS_SetVolume(lpSound, i, nVolume, false);
  }
  return true;
}

int DS_LoadSounds(cSafeVector<DSSOUNDDATA>& sounds, cSafeVector<DSSOUNDINFO>& infos, int nVolume) {
  std::lock_guard lock(g_DsMutex);
  GetStopwatchTime(true);  // loading is timed from here
  g_lpSoundTable.lpSounds = &sounds;
  g_lpSoundTable.lpInfos = &infos;
  for (int i = 0; i < static_cast<int>(sounds.size()); ++i) {
    DSSOUNDDATA& sound = sounds.At(i);
    if (!sound.Buffers.empty()) continue;
    const DSSOUNDINFO& info = infos.At(i);
    DS_CreateSound(&sound, info.szFile, info.nBufferCount, nVolume != 0 ? nVolume : info.nVolume);
  }
  return 1;
}

void DS_Play(DSSOUNDDATA* lpSound, DWORD dwFlags) {
  std::lock_guard lock(g_DsMutex);
  if (!g_lpMixer || !lpSound || lpSound->Buffers.empty()) return;
  if (lpSound->nNext < 0 || lpSound->nNext >= static_cast<int>(lpSound->Buffers.size())) lpSound->nNext = 0;
  SOUNDBUFFER buffer = lpSound->Buffers[static_cast<size_t>(lpSound->nNext)];
  if (buffer == 0) return;
  g_lpMixer->Play(buffer, (dwFlags & DSBPLAY_LOOPING) != 0);
  if (++lpSound->nNext >= lpSound->nBufferCount) lpSound->nNext = 0;
}

int DS_SetVolume(DSSOUNDDATA* lpSound, int nBuffer, int nVolume, bool bRelative) {
  std::lock_guard lock(g_DsMutex);
  if (!g_lpMixer || !lpSound || nBuffer < 0 || nBuffer >= static_cast<int>(lpSound->Buffers.size())) return 0;
  SOUNDBUFFER buffer = lpSound->Buffers[static_cast<size_t>(nBuffer)];
  if (buffer == 0) return 0;
  int64_t volume = nVolume;
  if (bRelative) volume += DS_GetVolume(lpSound, nBuffer);
  int result = static_cast<int>(std::clamp<int64_t>(volume, t4::platform::VOLUME_SILENT, t4::platform::VOLUME_FULL));
  g_lpMixer->SetVolume(buffer, result);
  return result;
}

int DS_GetVolume(DSSOUNDDATA* lpSound, int nBuffer) {
  std::lock_guard lock(g_DsMutex);
  if (!g_lpMixer || !lpSound || nBuffer < 0 || nBuffer >= static_cast<int>(lpSound->Buffers.size())) return 0;
  SOUNDBUFFER buffer = lpSound->Buffers[static_cast<size_t>(nBuffer)];
  if (buffer == 0) return 0;
  return g_lpMixer->GetVolume(buffer).value_or(0);
}

void DS_ReleaseSound(DSSOUNDDATA* lpSound) {
  std::lock_guard lock(g_DsMutex);
  ReleaseSoundLocked(lpSound);
}

void DS_Release() {
  std::lock_guard lock(g_DsMutex);
  if (!g_lpMixer) return;
  if (g_lpSoundTable.lpSounds) {
    for (DSSOUNDDATA& sound : *g_lpSoundTable.lpSounds) ReleaseSoundLocked(&sound);
  }
  // The device stops pulling from the mixer before the mixer goes.
  if (g_lpOutput) g_lpOutput->Close();
  g_lpOutput = nullptr;
  g_lpMixer.reset();
  g_hSoundWnd = nullptr;
}

bool DS_AddStream(std::shared_ptr<t4::platform::MixerStream> stream) {
  std::lock_guard lock(g_DsMutex);
  if (!g_lpMixer || !stream) return false;
  g_lpMixer->AddStream(std::move(stream));
  return true;
}

bool DS_HasOutput() {
  std::lock_guard lock(g_DsMutex);
  return g_lpMixer != nullptr;
}

void DS_RemoveStream(const t4::platform::MixerStream* stream) {
  std::lock_guard lock(g_DsMutex);
  if (g_lpMixer) g_lpMixer->RemoveStream(stream);
}
