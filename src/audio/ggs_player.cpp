#include "audio/ggs_player.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/path_helpers.h"

const char* const GGS4_EXPORT_NAMES[GGS4_FUNC_COUNT] = {
    "GGS4OpenDevice",
    "GGS4CloseDevice",
    "GGS4AddDlsW",
    "GGS4AddDlsA",
    "GGS4Play",
    "GGS4Stop",
    "GGS4Pause",
    "GGS4Restart",
    "GGS4SetMasterTempo",
    "GGS4SetMasterVolume",
    "GGS4SetMasterPitch",
    "GGS4GetPlayerStatus",
    "GGS4AddListFromFileW",
    "GGS4AddListFromFileA",
    "GGS4AddListFromMemory",
    "GGS4DeleteListItem",
    "GGS4ClearList",
    "GGS4EnumList",
    "GGS4GetSmfInformation",
};

namespace {

// The library is a Windows one: on this platform the loader never finds it.
const GGS4LIBRARYLOADER g_PlatformLoader{[](const char*) -> void* { return nullptr; },
                                         [](void*, const char*) -> void* { return nullptr; }, [](void*) {}};
const GGS4LIBRARYLOADER* g_lpLoader = &g_PlatformLoader;

}  // namespace

void SetGgsLibraryLoader(const GGS4LIBRARYLOADER* lpLoader) { g_lpLoader = lpLoader ? lpLoader : &g_PlatformLoader; }

void* cGGS4::m_hModule = nullptr;
void* cGGS4::m_Functions[GGS4_FUNC_COUNT] = {};
cGGS4* cGGS4::m_lpInstance = nullptr;

std::string cGGS4::LibraryPath() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ((ec ? std::filesystem::path() : exe.parent_path()) / GGS4_LIBRARY_NAME).string();
}

int cGGS4::Load() {
  if (m_hModule) return 0;
  m_hModule = g_lpLoader->lpLoad(LibraryPath().c_str());
  if (!m_hModule) return 1;
  for (int i = 0; i < GGS4_FUNC_COUNT; ++i) m_Functions[i] = g_lpLoader->lpGetProc(m_hModule, GGS4_EXPORT_NAMES[i]);
  return 0;
}

void cGGS4::Release() {
  if (m_lpInstance) {
    m_lpInstance->CloseDevice();
    delete m_lpInstance;
    m_lpInstance = nullptr;
  }
  if (m_hModule) g_lpLoader->lpFree(m_hModule);
  m_hModule = nullptr;
  std::memset(m_Functions, 0, sizeof(m_Functions));
}

cGGS4& cGGS4::GetInstance() {
  if (!m_lpInstance) m_lpInstance = new cGGS4();
  return *m_lpInstance;
}

int cGGS4::OpenDevice(int nDevice, HWND hWnd) {
  auto f = reinterpret_cast<GGS4OPENDEVICE>(m_Functions[GGS4_OPEN_DEVICE]);
  return f ? f(nDevice, hWnd) : GGS4_MISSING;
}

void cGGS4::CloseDevice() {
  if (auto f = reinterpret_cast<GGS4CLOSEDEVICE>(m_Functions[GGS4_CLOSE_DEVICE])) f();
}

int cGGS4::Play(int nOption, int nId) {
  auto f = reinterpret_cast<GGS4PLAY>(m_Functions[GGS4_PLAY]);
  return f ? f(nOption, nId, 0, 0, 0) : GGS4_MISSING;
}

void cGGS4::Stop() {
  if (auto f = reinterpret_cast<GGS4STOP>(m_Functions[GGS4_STOP])) f(0);
}

void cGGS4::Pause() {
  if (auto f = reinterpret_cast<GGS4PAUSE>(m_Functions[GGS4_PAUSE])) f();
}

void cGGS4::SetMasterVolume(int nVolume) {
  if (auto f = reinterpret_cast<GGS4SETMASTERVOLUME>(m_Functions[GGS4_SET_MASTER_VOLUME])) f(nVolume);
}

void cGGS4::GetPlayerStatus(void* lpStatus, int nSize) {
  if (auto f = reinterpret_cast<GGS4GETPLAYERSTATUS>(m_Functions[GGS4_GET_PLAYER_STATUS])) f(lpStatus, nSize);
}

int cGGS4::AddListFromFileA(const char* lpFile, int nOption, int nId) {
  auto f = reinterpret_cast<GGS4ADDLISTFROMFILEA>(m_Functions[GGS4_ADD_LIST_FROM_FILE_A]);
  return f ? f(lpFile, nOption, nId) : GGS4_MISSING;
}

bool cGgsPlayer::Init(bool bDirectMusic) {
  if (cGGS4::Load() != 0) return false;
  // A library whose device does not open stays loaded.
  return cGGS4::GetInstance().OpenDevice(bDirectMusic ? -1100 : -1, nullptr) == 0;
}

void cGgsPlayer::Stop(bool bPause) {
  int32_t status[5] = {};
  cGGS4& ggs = cGGS4::GetInstance();
  ggs.GetPlayerStatus(status, static_cast<int>(sizeof(status)));
  if (bPause) {
    ggs.Pause();
  } else {
    ggs.Stop();
  }
}

bool cGgsPlayer::Play(int nId, const char* lpFile, bool bLoop, int nVolume) {
  Stop(true);
  char szExt[MAX_PATH] = {};
  if (!lpFile || !GetExtension(szExt, lpFile) || std::strcmp(szExt, "mid") != 0) return false;
  cGGS4& ggs = cGGS4::GetInstance();
  if (ggs.AddListFromFileA(lpFile, 0, nId) != 0) return false;
  ggs.SetMasterVolume(static_cast<int>(std::trunc(nVolume * 1.27)) - 127);
  ggs.Play(bLoop ? 1 : 0, nId);
  return true;
}

void cGgsPlayer::Release() { cGGS4::Release(); }
