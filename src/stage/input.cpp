#include "stage/input.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/files.h"
#include "platform/window/input_devices.h"

cKeyConfig g_KeyConfig;
cSafeVector<cInput> g_Input(1);

namespace {

int32_t ReadInt32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                              (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24));
}

int16_t ReadInt16(const uint8_t* p) { return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8))); }

void StepFrames(int32_t& n) {
  if (n < INT_MAX) ++n;
}

void ResetRuns(cSafeVector<cSafeVector<KEYRUN>>& lists, int count) {
  lists.resize(static_cast<size_t>(count));
  for (auto& runs : lists) runs.resize(KEYRUN_COUNT);
}

void AdvanceRuns(cSafeVector<KEYRUN>& runs, int32_t bOn) {
  if (runs.empty()) runs.resize(KEYRUN_COUNT);
  KEYRUN& current = runs.At(0);
  if (current.bOn != bOn) {
    runs.insert(runs.begin(), KEYRUN{bOn, 1});
    runs.resize(KEYRUN_COUNT);
  } else {
    StepFrames(current.nFrames);
  }
}

void PushValue(INPUTVALUE* ring, int32_t& head, int16_t value) {
  INPUTVALUE& e = ring[head];
  if (e.sValue == value) {
    StepFrames(e.nFrames);
    return;
  }
  head = (head + 1) % INPUT_RING_SIZE;
  ring[head] = INPUTVALUE{value, 1};
}

// The joystick step shared by both polls: one present flag and one retry countdown serve every
// joystick. False when this joystick was not queried or the query failed.
bool QueryJoystick(cInput& in, UINT id, int nRetry, JOYINFOEX& info, UINT& result) {
  result = static_cast<UINT>(-1);
  if (!in.m_bJoyPresent && in.m_nJoyRetry > 0) {
    --in.m_nJoyRetry;
    return false;
  }
  info = JOYINFOEX{};
  info.dwFlags = JOY_RETURNX | JOY_RETURNY | JOY_RETURNBUTTONS;
  result = joyGetPosEx(id, &info);
  if (result != JOYERR_NOERROR) {
    in.m_bJoyPresent = 0;
    in.m_nJoyRetry = 2 * nRetry;
    return false;
  }
  in.m_bJoyPresent = 1;
  return true;
}

}  // namespace

void SetDefaultKeyConfig(cKeyConfig* lpConfig) {
  static const int16_t CODES[KEYCONFIG_ENTRY_COUNT] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, 'Z', 'X',
                                                       'C',     'V',      'A',   'S',     'D', 'F'};
  for (int i = 0; i < KEYCONFIG_ENTRY_COUNT; ++i) lpConfig->m_Entries[i] = {KEYDEVICE_KEYBOARD, CODES[i]};
  lpConfig->m_nEntryCount = KEYCONFIG_ENTRY_COUNT;
  lpConfig->m_nJoyCount = 1;
  lpConfig->m_bCustom = 0;
}

void ReadKeyConfig(const uint8_t* data, size_t size, cKeyConfig* lpConfig) {
  // Field by field, as far as the file reaches: a short file leaves the rest as it was.
  for (int i = 0; i < KEYCONFIG_ENTRY_COUNT; ++i) {
    const size_t at = static_cast<size_t>(i) * 8;
    if (size >= at + 4) lpConfig->m_Entries[i].nDevice = ReadInt32(data + at);
    if (size >= at + 6) lpConfig->m_Entries[i].sCode = ReadInt16(data + at + 4);
  }
  if (size >= 100) lpConfig->m_nEntryCount = ReadInt32(data + 96);
  if (size >= 104) lpConfig->m_nJoyCount = ReadInt32(data + 100);
  if (size >= 108) lpConfig->m_bCustom = ReadInt32(data + 104);
  // The entry count decides how many entries are read as buttons, and the joystick count how many
  // joysticks are queried every frame: both must stay within what the record and the input hold.
  if (lpConfig->m_nEntryCount < KEYCONFIG_MIN_ENTRIES) lpConfig->m_nEntryCount = KEYCONFIG_MIN_ENTRIES;
  if (lpConfig->m_nEntryCount > KEYCONFIG_ENTRY_COUNT) lpConfig->m_nEntryCount = KEYCONFIG_ENTRY_COUNT;
  if (lpConfig->m_nJoyCount < 0) lpConfig->m_nJoyCount = 0;
  if (lpConfig->m_nJoyCount > KEYCONFIG_MAX_JOYSTICKS) lpConfig->m_nJoyCount = KEYCONFIG_MAX_JOYSTICKS;
}

int LoadKeyConfig(const char* path, cKeyConfig* lpConfig) {
  FILE* fp = t4::platform::OpenFile(path ? path : "", "rb");
  if (!fp) return 0;
  uint8_t buffer[KEYCONFIG_FILE_SIZE] = {};
  const size_t size = fread(buffer, 1, sizeof(buffer), fp);
  fclose(fp);
  ReadKeyConfig(buffer, size, lpConfig);
  return 1;
}

cInput::cInput() {
  ResetEventLists();
  ClearDir();
}

void cInput::SetRepeat(uint32_t nFirst, uint32_t nInterval) {
  m_nRepeatFirst = nFirst;
  m_nRepeatInterval = nInterval;
}

void cInput::SetJoyButtons() {
  for (int i = 0; i < JOY_BUTTON_COUNT; ++i) m_sJoyButtons[i] = static_cast<int16_t>(1 << i);
}

int cInput::GetDirNum(int16_t sDir) {
  int n = (sDir & INPUT_LEFT) ? 4 : (sDir & INPUT_RIGHT) ? 6 : 5;
  if (sDir & INPUT_UP) return n - 3;
  return (sDir & INPUT_DOWN) ? n + 3 : n;
}

void cInput::ClearDir() {
  m_sDir = 0;
  m_nDirNum = 5;
}

void cInput::ClearButton() { m_sButton = 0; }

void cInput::ClearHistory() {
  for (int i = 0; i < INPUT_RING_SIZE; ++i) m_DirRing[i] = m_ButtonRing[i] = INPUTVALUE{};
  m_nDirHead = m_nButtonHead = 0;
}

void cInput::ResetEventLists() {
  ResetRuns(m_DirRuns, DIR_PATTERN_COUNT);
  ResetRuns(m_ButtonRuns, BUTTON_PATTERN_COUNT);
}

void cInput::Reset() {
  ClearHistory();
  ResetEventLists();
  ClearDir();
  ClearButton();
}

int cInput::Poll(int nJoyId, int nDevices, int nRetry) {
  if (g_KeyConfig.m_bCustom) return 0;
  bool bJoyDir = false;
  bool bJoyButtons = false;
  JOYINFOEX info;
  UINT result = 0;
  if (QueryJoystick(*this, static_cast<UINT>(nJoyId), nRetry, info, result) && (nDevices & 1)) {
    m_nDirNum = 5;
    m_sDir = 0;
    if (info.dwXpos <= JOY_AXIS_LOW) {
      m_sDir = INPUT_LEFT;
      m_nDirNum = 4;
    } else if (info.dwXpos >= JOY_AXIS_HIGH) {
      m_sDir = INPUT_RIGHT;
      m_nDirNum = 6;
    }
    if (info.dwYpos <= JOY_AXIS_LOW) {
      m_sDir |= INPUT_UP;
      m_nDirNum -= 3;
    } else if (info.dwYpos >= JOY_AXIS_HIGH) {
      m_sDir |= INPUT_DOWN;
      m_nDirNum += 3;
    }
    int16_t buttons = 0;
    for (int i = 0; i < JOY_BUTTON_COUNT; ++i)
      if (m_sJoyButtons[i] & info.dwButtons) buttons |= static_cast<int16_t>(1 << i);
    m_sButton = buttons;
    bJoyDir = m_nDirNum != 5;
    bJoyButtons = m_sButton != 0;
  }
  if (!(nDevices & 2)) return 1;
  if (!bJoyDir) {
    m_nDirNum = 5;
    m_sDir = 0;
    static const struct {
      int vk;
      int16_t bit;
      int step;
    } DIRS[] = {{VK_LEFT, INPUT_LEFT, -1}, {VK_RIGHT, INPUT_RIGHT, 1}, {VK_UP, INPUT_UP, -3}, {VK_DOWN, INPUT_DOWN, 3}};
    for (const auto& d : DIRS) {
      if (GetAsyncKeyState(d.vk) & 0x8000) {
        m_sDir |= d.bit;
        m_nDirNum += d.step;
      }
    }
  }
  if (!bJoyButtons) {
    static const int KEYS[JOY_BUTTON_COUNT] = {'Z', 'X', 'C', 'V', 'A', 'S', 'D', 'F'};
    m_sButton = 0;
    for (int i = 0; i < JOY_BUTTON_COUNT; ++i)
      if (GetAsyncKeyState(KEYS[i]) & 0x8000) m_sButton |= static_cast<int16_t>(1 << i);
  }
  return 1;
}

bool cInput::EntryDown(const KEYCONFIGENTRY& e, const int32_t* lpResults, const DWORD* lpButtons, const DWORD* lpX,
                       const DWORD* lpY, int nJoys) const {
  if (e.nDevice == KEYDEVICE_KEYBOARD) return (GetAsyncKeyState(e.sCode) & 0x8000) != 0;
  // A device that is neither the keyboard nor a configured joystick is never down.
  if (e.nDevice < 0 || e.nDevice >= nJoys || lpResults[e.nDevice] != 0) return false;
  const int j = e.nDevice;
  if (e.sCode == JOYCODE_LEFT && lpX[j] <= JOY_AXIS_LOW) return true;
  if (e.sCode == JOYCODE_RIGHT && lpX[j] >= JOY_AXIS_HIGH) return true;
  if (e.sCode == JOYCODE_UP && lpY[j] <= JOY_AXIS_LOW) return true;
  if (e.sCode == JOYCODE_DOWN && lpY[j] >= JOY_AXIS_HIGH) return true;
  return (static_cast<DWORD>(static_cast<uint16_t>(e.sCode)) & lpButtons[j]) != 0;
}

int cInput::PollConfig(int nPlayers, int nRetry) {
  if (!g_KeyConfig.m_bCustom) return 0;
  int32_t results[KEYCONFIG_MAX_JOYSTICKS];
  DWORD buttons[KEYCONFIG_MAX_JOYSTICKS] = {};
  DWORD x[KEYCONFIG_MAX_JOYSTICKS] = {};
  DWORD y[KEYCONFIG_MAX_JOYSTICKS] = {};
  int nJoys = g_KeyConfig.m_nJoyCount;
  if (nJoys < 0) nJoys = 0;
  if (nJoys > KEYCONFIG_MAX_JOYSTICKS) nJoys = KEYCONFIG_MAX_JOYSTICKS;
  for (int j = 0; j < nJoys; ++j) {
    JOYINFOEX info;
    UINT result = 0;
    const bool ok = QueryJoystick(*this, static_cast<UINT>(j), nRetry, info, result);
    results[j] = ok ? 0 : -1;
    if (ok) {
      buttons[j] = info.dwButtons;
      x[j] = info.dwXpos;
      y[j] = info.dwYpos;
    }
  }
  int nCount = g_KeyConfig.m_nEntryCount;
  if (nCount > KEYCONFIG_ENTRY_COUNT) nCount = KEYCONFIG_ENTRY_COUNT;
  // The file holds one player record; every record writes into this one state.
  for (int p = 0; p < nPlayers && p < 1; ++p) {
    m_nDirNum = 5;
    m_sDir = 0;
    m_sButton = 0;
    static const struct {
      int16_t bit;
      int step;
    } DIRS[4] = {{INPUT_LEFT, -1}, {INPUT_RIGHT, 1}, {INPUT_UP, -3}, {INPUT_DOWN, 3}};
    for (int i = 0; i < 4; ++i) {
      if (EntryDown(g_KeyConfig.m_Entries[i], results, buttons, x, y, nJoys)) {
        m_sDir |= DIRS[i].bit;
        m_nDirNum += DIRS[i].step;
      }
    }
    for (int j = 0; j + 4 < nCount; ++j)
      if (EntryDown(g_KeyConfig.m_Entries[4 + j], results, buttons, x, y, nJoys))
        m_sButton |= static_cast<int16_t>(1 << j);
  }
  return 1;
}

void cInput::RepeatDir() {
  const int16_t raw = m_sDir;
  m_sRawDir = static_cast<int16_t>((m_sRawDir << 4) | raw);
  const int16_t previous = static_cast<int16_t>((m_sRawDir >> 4) & 15);
  struct Axis {
    int16_t mask;
    int32_t& counter;
  } axes[2] = {{3, m_nRepeatX}, {12, m_nRepeatY}};
  for (Axis& a : axes) {
    if ((previous & a.mask) != (raw & a.mask)) {
      a.counter = 0;
      continue;
    }
    ++a.counter;
    const uint32_t n = static_cast<uint32_t>(a.counter);
    if (n < m_nRepeatFirst || m_nRepeatInterval == 0 || n % m_nRepeatInterval != 0)
      m_sDir = static_cast<int16_t>(m_sDir & ~a.mask);
  }
}

void cInput::LatchButton(int nMask) {
  if (nMask == 0) nMask = 255;
  const int16_t old = m_sButton;
  for (int i = 0; i < JOY_BUTTON_COUNT; ++i) {
    const int16_t bit = static_cast<int16_t>(1 << i);
    if (!(nMask & bit)) continue;
    if (m_bLatch && (m_sButton & bit)) m_sButton = static_cast<int16_t>(m_sButton & ~bit);
    if ((m_sButton & bit) && !m_bLatch) {
      m_bLatch = 1;
      return;
    }
  }
  if (old & nMask)
    m_sButton = static_cast<int16_t>(m_sButton & ~nMask);
  else
    m_bLatch = 0;
}

void cInput::UpdateHistory() {
  PushValue(m_DirRing, m_nDirHead, m_sDir);
  PushValue(m_ButtonRing, m_nButtonHead, m_sButton);
}

int16_t cInput::GetHistory(int nWord, int n) const {
  const INPUTVALUE* ring = nWord == 0 ? m_DirRing : m_ButtonRing;
  int index = nWord == 0 ? m_nDirHead : m_nButtonHead;
  int64_t k = static_cast<int64_t>(n) + 1;
  for (int i = 0; i < INPUT_RING_SIZE; ++i) {
    // Frames before the history began read as no input, not as the walk wrapping round the
    // empty ring back to the newest entry.
    if (ring[index].nFrames == 0) return 0;
    if (ring[index].nFrames >= k) break;
    k -= ring[index].nFrames;
    index = (index + INPUT_RING_SIZE - 1) % INPUT_RING_SIZE;
  }
  return ring[index].sValue;
}

int cInput::IsPatternOn(int nList) const {
  static const int16_t DIR_WORDS[9] = {0, 1, 2, 4, 8, 5, 9, 6, 10};
  if (nList < 0) return 0;
  if (nList < 9) return m_sDir == DIR_WORDS[nList];
  if (nList == 9) return (m_sDir & 15) != 0;
  if (nList == 10) return m_sButton == 0;
  if (nList <= 18) return (m_sButton & (1 << (nList - 11))) != 0;
  return 0;
}

void cInput::UpdateEventLists() {
  if (m_DirRuns.size() != DIR_PATTERN_COUNT || m_ButtonRuns.size() != BUTTON_PATTERN_COUNT) ResetEventLists();
  for (int i = 0; i < DIR_PATTERN_COUNT; ++i) AdvanceRuns(m_DirRuns.At(i), IsPatternOn(i));
  for (int i = 0; i < BUTTON_PATTERN_COUNT; ++i) AdvanceRuns(m_ButtonRuns.At(i), IsPatternOn(10 + i));
}
