// The outside MIDI library: cGGS4 binds its GGS4 exports by name, cGgsPlayer plays MIDI songs
// through them. The library is looked for only in the executable's own folder; when it is missing
// or its device does not open, the stream MIDI players serve MIDI instead. The way the library is
// found is swappable, so that a stand-in library can drive this path.
#pragma once

#include <cstdint>
#include <string>

#include "audio/bgm_backend.h"
#include "platform/win_types.h"

constexpr const char* GGS4_LIBRARY_NAME = "GuruGuruSMF4.dll";

// The exports, in the order they are looked up.
enum GGS4FUNC {
  GGS4_OPEN_DEVICE,
  GGS4_CLOSE_DEVICE,
  GGS4_ADD_DLS_W,
  GGS4_ADD_DLS_A,
  GGS4_PLAY,
  GGS4_STOP,
  GGS4_PAUSE,
  GGS4_RESTART,
  GGS4_SET_MASTER_TEMPO,
  GGS4_SET_MASTER_VOLUME,
  GGS4_SET_MASTER_PITCH,
  GGS4_GET_PLAYER_STATUS,
  GGS4_ADD_LIST_FROM_FILE_W,
  GGS4_ADD_LIST_FROM_FILE_A,
  GGS4_ADD_LIST_FROM_MEMORY,
  GGS4_DELETE_LIST_ITEM,
  GGS4_CLEAR_LIST,
  GGS4_ENUM_LIST,
  GGS4_GET_SMF_INFORMATION,
  GGS4_FUNC_COUNT
};
extern const char* const GGS4_EXPORT_NAMES[GGS4_FUNC_COUNT];

// Signatures of the exports that are called.
using GGS4OPENDEVICE = int (*)(int nDevice, HWND hWnd);
using GGS4CLOSEDEVICE = void (*)();
using GGS4PLAY = int (*)(int nOption, int nId, int nSkip, int nFadeIn, int nKeyShift);
using GGS4STOP = void (*)(int nFadeOut);
using GGS4PAUSE = void (*)();
using GGS4SETMASTERVOLUME = void (*)(int nVolume);
using GGS4GETPLAYERSTATUS = void (*)(void* lpStatus, int nSize);
using GGS4ADDLISTFROMFILEA = int (*)(const char* lpFile, int nOption, int nId);

// Returned by the wrappers when the export is missing.
constexpr int GGS4_MISSING = 15;

// How a library is found: load by path (null: not found), look up an export, free.
struct GGS4LIBRARYLOADER {
  void* (*lpLoad)(const char* lpPath) = nullptr;
  void* (*lpGetProc)(void* hModule, const char* lpName) = nullptr;
  void (*lpFree)(void* hModule) = nullptr;
};
// Null restores the platform's loader, which finds no such library here.
void SetGgsLibraryLoader(const GGS4LIBRARYLOADER* lpLoader);

class cGGS4 {
 public:
  // 0 when the library is (already) loaded, 1 when it is not found.
  static int Load();
  static void Release();
  static cGGS4& GetInstance();
  static bool IsLoaded() { return m_hModule != nullptr; }
  // Where the library is looked for: the executable's folder.
  static std::string LibraryPath();

  int OpenDevice(int nDevice, HWND hWnd);
  void CloseDevice();
  int Play(int nOption, int nId);
  void Stop();
  void Pause();
  void SetMasterVolume(int nVolume);
  void GetPlayerStatus(void* lpStatus, int nSize);
  int AddListFromFileA(const char* lpFile, int nOption, int nId);

 private:
  static void* m_hModule;
  static void* m_Functions[GGS4_FUNC_COUNT];
  static cGGS4* m_lpInstance;
};

class cGgsPlayer final : public cBgmGgsBackend {
 public:
  bool Init(bool bDirectMusic) override;
  bool Play(int nId, const char* lpFile, bool bLoop, int nVolume) override;
  void Stop(bool bPause) override;
  void Release() override;
};
