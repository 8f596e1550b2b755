// Player input: the direction and button words of this frame, their history, the run lists of
// the 19 key patterns that flow key conditions test, key repeat for menus and the one-shot button
// latch; and the key configuration file user_data\KeyConfig.dat.
#pragma once

#include <cstdint>

#include "core/safe_containers.h"

// Direction bits.
constexpr int16_t INPUT_LEFT = 1;
constexpr int16_t INPUT_RIGHT = 2;
constexpr int16_t INPUT_UP = 4;
constexpr int16_t INPUT_DOWN = 8;

constexpr int INPUT_RING_SIZE = 32;
constexpr int KEYRUN_COUNT = 32;
constexpr int DIR_PATTERN_COUNT = 10;
constexpr int BUTTON_PATTERN_COUNT = 9;
constexpr int JOY_BUTTON_COUNT = 8;

// Device number of the keyboard in a key entry; any other number is a joystick.
constexpr int32_t KEYDEVICE_KEYBOARD = 8;
// Axis codes of a joystick key entry.
constexpr int16_t JOYCODE_LEFT = 256;
constexpr int16_t JOYCODE_RIGHT = 512;
constexpr int16_t JOYCODE_UP = 1024;
constexpr int16_t JOYCODE_DOWN = 2048;
constexpr DWORD JOY_AXIS_LOW = 10000;
constexpr DWORD JOY_AXIS_HIGH = 55535;

constexpr int KEYCONFIG_ENTRY_COUNT = 12;
constexpr int KEYCONFIG_FILE_SIZE = 108;
// A joystick count beyond this is a damaged file: no machine has that many.
constexpr int32_t KEYCONFIG_MAX_JOYSTICKS = 16;
constexpr int32_t KEYCONFIG_MIN_ENTRIES = 4;

struct KEYCONFIGENTRY {
  int32_t nDevice = 0;
  int16_t sCode = 0;
};

// KeyConfig.dat: entries 0 left, 1 right, 2 up, 3 down, 4.. buttons 1..8.
struct cKeyConfig {
  KEYCONFIGENTRY m_Entries[KEYCONFIG_ENTRY_COUNT];
  int32_t m_nEntryCount = 0;
  int32_t m_nJoyCount = 0;
  int32_t m_bCustom = 0;
};

extern cKeyConfig g_KeyConfig;

// 1 after reading the file (a short file fills only what it holds), 0 when it cannot be opened
// (the record is untouched). Counts are pulled into the ranges the input can serve.
int LoadKeyConfig(const char* path, cKeyConfig* lpConfig);
// The same from the file's bytes.
void ReadKeyConfig(const uint8_t* data, size_t size, cKeyConfig* lpConfig);
void SetDefaultKeyConfig(cKeyConfig* lpConfig);

struct INPUTVALUE {
  int16_t sValue = 0;
  int32_t nFrames = 0;
};

struct KEYRUN {
  int32_t bOn = 0;
  int32_t nFrames = 0;
};

class cInput {
 public:
  cInput();

  int Poll(int nJoyId, int nDevices, int nRetry);
  int PollConfig(int nPlayers, int nRetry);
  void RepeatDir();
  void SetRepeat(uint32_t nFirst, uint32_t nInterval);
  void LatchButton(int nMask);
  void UpdateHistory();
  int16_t GetHistory(int nWord, int n) const;
  void ClearHistory();
  void UpdateEventLists();
  void ResetEventLists();
  static int GetDirNum(int16_t sDir);
  void ClearDir();
  void ClearButton();
  void Reset();
  void SetJoyButtons();
  // Whether pattern `nList` (0..9 directions, 10..18 buttons) is on this frame.
  int IsPatternOn(int nList) const;

  int16_t m_sDir = 0;
  int16_t m_sButton = 0;
  int16_t m_sRawDir = 0;
  INPUTVALUE m_DirRing[INPUT_RING_SIZE];
  INPUTVALUE m_ButtonRing[INPUT_RING_SIZE];
  int32_t m_nDirHead = 0;
  int32_t m_nButtonHead = 0;
  cSafeVector<cSafeVector<KEYRUN>> m_DirRuns;
  cSafeVector<cSafeVector<KEYRUN>> m_ButtonRuns;
  int32_t m_nDirNum = 5;
  int32_t m_nRepeatX = 0;
  int32_t m_nRepeatY = 0;
  uint32_t m_nRepeatFirst = 0;
  uint32_t m_nRepeatInterval = 0;
  int32_t m_bLatch = 0;
  int16_t m_sJoyButtons[JOY_BUTTON_COUNT] = {};
  int32_t m_bJoyPresent = 0;
  int32_t m_nJoyRetry = 0;

 private:
  bool EntryDown(const KEYCONFIGENTRY& e, const int32_t* lpResults, const DWORD* lpButtons, const DWORD* lpX,
                 const DWORD* lpY, int nJoys) const;
};

extern cSafeVector<cInput> g_Input;
