#include "audio/midi_stream_player.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "core/path_helpers.h"
#include "core/report_log.h"
#include "core/thread.h"
#include "platform/messages.h"
#include "platform/thread.h"

namespace t4p = t4::platform;

namespace {

constexpr DWORD END_RECORD_EVENT = 0x002FFF;  // FF 2F 00 as the low bytes of an event word

uint32_t ReadImageBE32(const BYTE* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | p[3];
}

void PutDword(BYTE* lpBuffer, uint32_t nOffset, DWORD value) { std::memcpy(lpBuffer + nOffset, &value, 4); }

DWORD GetDword(const BYTE* lpBuffer, uint32_t nOffset) {
  DWORD value = 0;
  std::memcpy(&value, lpBuffer + nOffset, 4);
  return value;
}

uint32_t RecordBytes(uint64_t nParamBytes) { return static_cast<uint32_t>(12 + ((nParamBytes + 3) & ~uint64_t{3})); }

// Writes one record (with its parameter bytes padded to whole DWORDs) when it fits behind the
// bytes already written; false when it does not.
bool WriteRecord(DWORD dwDelta, DWORD dwWord, const BYTE* lpParams, uint32_t nParams, BYTE* lpBuffer,
                 uint32_t nBufferSize, uint32_t* lpnWritten) {
  const uint32_t size = RecordBytes(nParams);
  if (static_cast<uint64_t>(*lpnWritten) + size > nBufferSize) return false;
  PutDword(lpBuffer, *lpnWritten, dwDelta);
  PutDword(lpBuffer, *lpnWritten + 4, 0);
  PutDword(lpBuffer, *lpnWritten + 8, dwWord);
  if (nParams) std::memcpy(lpBuffer + *lpnWritten + 12, lpParams, nParams);
  *lpnWritten += size;
  return true;
}

// The bytes of an F0/F7/FF event whose length field starts `nLengthAt` bytes after its status,
// with its data length in *lpnLength; 0 when the event runs past the image.
uint32_t LengthEventBytes(const BYTE* lpEvent, uint32_t nAvail, uint32_t nLengthAt, uint32_t* lpnLength) {
  *lpnLength = 0;
  if (nLengthAt >= nAvail) return 0;
  const uint32_t used = cSmf::ReadVarLen(lpEvent + nLengthAt, nAvail - nLengthAt, lpnLength);
  const uint64_t bytes = uint64_t{nLengthAt} + used + *lpnLength;
  return used == 0 || bytes > nAvail ? 0 : static_cast<uint32_t>(bytes);
}

}  // namespace

// --- conversion -------------------------------------------------------------------------------

uint32_t cMidiStreamPlayer::PutShortEvent(DWORD dwDelta, const BYTE* lpEvent, uint32_t nAvail, BYTE* lpBuffer,
                                          uint32_t nBufferSize, uint32_t* lpnWritten) {
  const BYTE status = lpEvent[0];
  const uint32_t bytes = (status >= 0xC0 && status <= 0xDF) ? 2 : 3;
  if (bytes > nAvail) return 0;
  DWORD word = status | (static_cast<DWORD>(lpEvent[1]) << 8);
  if (bytes == 3) word |= static_cast<DWORD>(lpEvent[2]) << 16;
  return WriteRecord(dwDelta, word, nullptr, 0, lpBuffer, nBufferSize, lpnWritten) ? bytes : 0;
}

uint32_t cMidiStreamPlayer::PutLongEvent(DWORD dwDelta, const BYTE* lpEvent, uint32_t nAvail, BYTE* lpBuffer,
                                         uint32_t nBufferSize, uint32_t* lpnWritten) {
  uint32_t length = 0;
  const uint32_t bytes = LengthEventBytes(lpEvent, nAvail, 1, &length);
  if (bytes == 0) return 0;
  // A message whose record is larger than a whole buffer could never be sent.
  if (RecordBytes(uint64_t{length} + 1) > nBufferSize) return bytes;
  // The parameters are the status byte followed by the data.
  std::vector<BYTE> params(length + 1);
  params[0] = lpEvent[0];
  std::memcpy(params.data() + 1, lpEvent + bytes - length, length);
  return WriteRecord(dwDelta, t4p::MEVT_F_LONG | (length + 1), params.data(), length + 1, lpBuffer, nBufferSize,
                     lpnWritten)
             ? bytes
             : 0;
}

uint32_t cMidiStreamPlayer::PutMetaEvent(DWORD dwDelta, const BYTE* lpEvent, uint32_t nAvail, BYTE* lpBuffer,
                                         uint32_t nBufferSize, uint32_t* lpnWritten) {
  uint32_t length = 0;
  const uint32_t bytes = LengthEventBytes(lpEvent, nAvail, 2, &length);
  if (bytes == 0) return 0;
  // Only a tempo event of three bytes makes a record; one of another length is passed over like
  // every other meta event.
  if (lpEvent[1] != 0x51 || length != 3) return bytes;
  const BYTE* data = lpEvent + bytes - 3;
  const DWORD word = (static_cast<DWORD>(t4p::MEVT_TEMPO) << 24) | (static_cast<DWORD>(data[0]) << 16) |
                     (static_cast<DWORD>(data[1]) << 8) | data[2];
  return WriteRecord(dwDelta, word, nullptr, 0, lpBuffer, nBufferSize, lpnWritten) ? bytes : 0;
}

uint32_t cMidiStreamPlayer::PutEndEvent(DWORD dwDelta, const BYTE* lpEvent, uint32_t nAvail, BYTE* lpBuffer,
                                        uint32_t nBufferSize, uint32_t* lpnWritten) {
  if (nAvail < 3 || lpEvent[1] != 0x2F || lpEvent[2] != 0x00) return 0;
  return WriteRecord(dwDelta, t4p::MEVT_F_CALLBACK | END_RECORD_EVENT, nullptr, 0, lpBuffer, nBufferSize, lpnWritten)
             ? 3
             : 0;
}

MIDICONVERT cMidiStreamPlayer::ConvertEvents(const BYTE* lpImage, uint32_t nImageSize, uint32_t nPosition,
                                             BYTE* lpBuffer, uint32_t nBufferSize, const char* lpFile) {
  std::memset(lpBuffer, 0, nBufferSize);
  MIDICONVERT result;
  uint32_t pos = nPosition;
  uint32_t committed = nPosition;  // image position after the last record written
  uint64_t pendingDelta = 0;       // delta times of passed-over events, added to the next record
  int64_t lastRecord = -1;
  while (pos < nImageSize) {
    const BYTE* p = lpImage + pos;
    const uint32_t avail = nImageSize - pos;
    uint32_t delta = 0;
    const uint32_t n = cSmf::ReadVarLen(p, avail, &delta);
    if (n == 0 || n >= avail) break;  // no whole event left
    const uint64_t due = pendingDelta + delta;
    // A delta that grew past 32 bits by passed-over events is clamped (never reached by real files).
    const DWORD dwDue = static_cast<DWORD>(due > 0xFFFFFFFFu ? 0xFFFFFFFFu : due);
    const BYTE* event = p + n;
    const uint32_t eventAvail = avail - n;
    const BYTE status = event[0];
    const bool isEnd = status == 0xFF && eventAvail >= 3 && event[1] == 0x2F && event[2] == 0x00;
    const uint32_t before = result.nWritten;
    uint32_t used = 0;
    if (status == 0xF0 || status == 0xF7) {
      used = PutLongEvent(dwDue, event, eventAvail, lpBuffer, nBufferSize, &result.nWritten);
    } else if (isEnd) {
      used = PutEndEvent(dwDue, event, eventAvail, lpBuffer, nBufferSize, &result.nWritten);
    } else if (status == 0xFF) {
      used = PutMetaEvent(dwDue, event, eventAvail, lpBuffer, nBufferSize, &result.nWritten);
    } else {
      used = PutShortEvent(dwDue, event, eventAvail, lpBuffer, nBufferSize, &result.nWritten);
    }
    if (used == 0) break;  // the record does not fit (or the event is cut off)
    pos += n + used;
    if (result.nWritten == before) {
      // Passed over without a record: its time goes to the next record.
      if (status != 0xFF) {
        uint32_t length = 0;
        LengthEventBytes(event, eventAvail, 1, &length);
        WriteReportLogAndDebugLog("Midi %s SysEx %u バイトはバッファに入らないため飛ばします", lpFile ? lpFile : "",
                                  length + 1);
      }
      pendingDelta = due;
      continue;
    }
    lastRecord = before;
    committed = pos;
    pendingDelta = 0;
    if (isEnd) {
      // The end record carries its own callback flag.
      result.nConsumed = committed - nPosition;
      return result;
    }
  }
  // The buffer is full (or the image ended): its last record tells when it has played out.
  // Skipped events after that record are walked again with the next buffer, so their delta
  // times still count.
  if (lastRecord >= 0) {
    const uint32_t at = static_cast<uint32_t>(lastRecord) + 8;
    PutDword(lpBuffer, at, GetDword(lpBuffer, at) | t4p::MEVT_F_CALLBACK);
  }
  result.nConsumed = committed - nPosition;
  return result;
}

const char* cMidiStreamPlayer::GetErrorText(MMRESULT result) {
  static char text[512];
  t4p::mciGetErrorStringA(result, text, sizeof(text));
  return text;
}

// --- player -----------------------------------------------------------------------------------

cMidiStreamPlayer::cMidiStreamPlayer(const char* lpFile) : cSmf(lpFile) {
  if (GetImage()) Open();
}

void cMidiStreamPlayer::Log(const char* lpStep, MMRESULT result) const {
  WriteReportLogAndDebugLog("Midi %s %s %s", m_strFile.c_str(), lpStep, GetErrorText(result));
}

void cMidiStreamPlayer::Open() {
  std::lock_guard lock(m_Mutex);
  m_dwEnd = std::min<uint64_t>(uint64_t{SMF_IMAGE_HEADER_BYTES} + ReadImageBE32(GetImage() + 18), GetImageSize());
  m_nNextBuffer = 0;
  m_cBufferCount = MIDI_BUFFER_COUNT;
  m_dwBufferSize = MIDI_BUFFER_SIZE;
  m_Buffers.assign(m_cBufferCount, std::vector<char>(m_dwBufferSize, 0));
  m_Headers.assign(m_cBufferCount, MIDIHDR{});
  for (int i = 0; i < m_cBufferCount; ++i) {
    m_Headers[i].lpData = m_Buffers[i].data();
    m_Headers[i].dwBufferLength = m_dwBufferSize;
    m_Headers[i].dwUser = static_cast<uintptr_t>(i);
  }
  m_hThread = t4p::StartThread(MidiThreadProc, this, &m_dwThreadId);
  if (m_hThread) {
    // The stream posts to the thread's queue, which exists once the thread has begun: a matter of
    // microseconds, so the wait yields instead of sleeping a whole millisecond per try (a song
    // started on every frame would otherwise hold the game for several of them).
    while (!t4p::PostThreadMessage(m_dwThreadId, THREAD_START_MSG, 0, 0)) std::this_thread::yield();
  }
  UINT device = t4p::MIDI_MAPPER;
  MMRESULT r = t4p::midiStreamOpen(&m_hStream, &device, 1, m_dwThreadId, 0, t4p::CALLBACK_THREAD);
  if (r != t4p::MMSYSERR_NOERROR) Log("Open", r);
  t4p::MIDIPROPTIMEDIV division;
  division.dwTimeDiv = (static_cast<DWORD>(GetImage()[12]) << 8) | GetImage()[13];
  r = t4p::midiStreamProperty(m_hStream, reinterpret_cast<BYTE*>(&division), t4p::MIDIPROP_SET | t4p::MIDIPROP_TIMEDIV);
  if (r != t4p::MMSYSERR_NOERROR) Log("Property", r);
  m_dwPosition = SMF_IMAGE_HEADER_BYTES;
  m_nState = MIDISTATE_STOPPED;
  FillBufferLocked();
}

cMidiStreamPlayer::~cMidiStreamPlayer() {
  if (!GetImage()) return;
  {
    std::lock_guard lock(m_Mutex);
    m_bClosing = 1;
    MMRESULT r = t4p::midiOutReset(m_hStream);
    if (r != t4p::MMSYSERR_NOERROR) Log("Reset", r);
    for (MIDIHDR& header : m_Headers) {
      r = t4p::midiOutUnprepareHeader(m_hStream, &header, sizeof(MIDIHDR));
      if (r != t4p::MMSYSERR_NOERROR) Log("Unprepare", r);
    }
    r = t4p::midiStreamClose(m_hStream);
    if (r != t4p::MMSYSERR_NOERROR) Log("Close", r);
    m_hStream = nullptr;
  }
  if (!m_hThread) return;
  if (t4p::GetCurrentThreadId() == m_dwThreadId) {
    // Never joined from itself; it ends at the WM_QUIT below once its handler returns.
    t4p::PostThreadMessage(m_dwThreadId, WM_QUIT, 0, 0);
    t4p::AbandonThread(m_hThread);
    return;
  }
  // The thread ends at WM_QUIT; position callbacks queued before it see the closing flag. Closing
  // the handle joins it.
  t4p::PostThreadMessage(m_dwThreadId, WM_QUIT, 0, 0);
  t4p::CloseThreadHandle(m_hThread);
  m_hThread = nullptr;
}

int32_t cMidiStreamPlayer::GetState() const {
  std::lock_guard lock(m_Mutex);
  return m_nState;
}

uint32_t cMidiStreamPlayer::GetPosition() const {
  std::lock_guard lock(m_Mutex);
  return m_dwPosition;
}

void cMidiStreamPlayer::FillBuffer() {
  std::lock_guard lock(m_Mutex);
  FillBufferLocked();
}

void cMidiStreamPlayer::FillBufferLocked() {
  if (!GetImage() || m_bClosing || m_dwPosition >= m_dwEnd) return;
  MIDIHDR& header = m_Headers[static_cast<size_t>(m_nNextBuffer)];
  if (t4p::LoadHeaderFlags(&header) & t4p::MHDR_INQUEUE) return;
  const MIDICONVERT converted = ConvertEvents(GetImage(), m_dwEnd, m_dwPosition, reinterpret_cast<BYTE*>(header.lpData),
                                              m_dwBufferSize, m_strFile.c_str());
  // An image that gives no record any more has nothing left to play.
  m_dwPosition = converted.nConsumed == 0 ? m_dwEnd : m_dwPosition + converted.nConsumed;
  if (converted.nWritten == 0) return;
  header.dwBytesRecorded = converted.nWritten;
  t4p::StoreHeaderFlags(&header, 0);
  header.lpNext = nullptr;
  header.reserved = 0;
  header.dwOffset = 0;
  std::memset(header.dwReserved, 0, sizeof(header.dwReserved));
  MMRESULT r = t4p::midiOutPrepareHeader(m_hStream, &header, sizeof(MIDIHDR));
  if (r != t4p::MMSYSERR_NOERROR) Log("Prepare", r);
  r = t4p::midiStreamOut(m_hStream, &header, sizeof(MIDIHDR));
  if (r != t4p::MMSYSERR_NOERROR) Log("Out", r);
  m_nNextBuffer = (m_nNextBuffer + 1) % m_cBufferCount;
}

void cMidiStreamPlayer::Play(bool bLoop) {
  std::lock_guard lock(m_Mutex);
  PlayLocked(bLoop);
}

void cMidiStreamPlayer::PlayLocked(bool bLoop) {
  if (!GetImage() || m_bClosing) return;
  m_bLoop = bLoop ? 1 : 0;
  if (m_nState == MIDISTATE_PLAYING) return;
  MMRESULT r = t4p::midiStreamRestart(m_hStream);
  if (r != t4p::MMSYSERR_NOERROR) Log("Restart", r);
  const int32_t previous = m_nState;
  m_nState = MIDISTATE_PLAYING;
  // From a pause both buffers are normally still queued and this does nothing; it refills one
  // whose callback came in while paused.
  if (previous == MIDISTATE_PAUSED || m_dwPosition < m_dwEnd) FillBufferLocked();
}

void cMidiStreamPlayer::Restart(bool bLoop) {
  std::lock_guard lock(m_Mutex);
  if (!GetImage() || m_bClosing) return;
  MMRESULT r = t4p::midiOutReset(m_hStream);
  if (r != t4p::MMSYSERR_NOERROR) Log("Reset", r);
  // A newly opened stream starts at the default tempo; a song whose tempo event comes later
  // would otherwise begin at the tempo it last played in.
  t4p::MIDIPROPTEMPO tempo;
  tempo.dwTempo = t4p::MIDI_DEFAULT_TEMPO;
  r = t4p::midiStreamProperty(m_hStream, reinterpret_cast<BYTE*>(&tempo), t4p::MIDIPROP_SET | t4p::MIDIPROP_TEMPO);
  if (r != t4p::MMSYSERR_NOERROR) Log("Property", r);
  m_nState = MIDISTATE_STOPPED;
  m_dwPosition = SMF_IMAGE_HEADER_BYTES;
  m_nNextBuffer = 0;
  FillBufferLocked();
  PlayLocked(bLoop);
}

void cMidiStreamPlayer::Stop(bool bPause) {
  std::lock_guard lock(m_Mutex);
  StopLocked(bPause);
}

void cMidiStreamPlayer::StopLocked(bool bPause) {
  if (!GetImage() || m_bClosing) return;
  if (bPause) {
    if (m_nState != MIDISTATE_PLAYING) return;
    MMRESULT r = t4p::midiStreamPause(m_hStream);
    if (r != t4p::MMSYSERR_NOERROR) Log("Pause", r);
    m_nState = MIDISTATE_PAUSED;
    return;
  }
  MMRESULT r = t4p::midiStreamStop(m_hStream);
  if (r != t4p::MMSYSERR_NOERROR) Log("Stop", r);
  m_nState = MIDISTATE_STOPPED;
  m_dwPosition = SMF_IMAGE_HEADER_BYTES;
  FillBufferLocked();
}

uint32_t cMidiStreamPlayer::GetHandledCallbacks() const {
  std::lock_guard lock(m_Mutex);
  return m_dwHandled;
}

void cMidiStreamPlayer::OnPosition(const MIDIHDR* lpHeader) {
  std::lock_guard lock(m_Mutex);
  ++m_dwHandled;
  // A callback that was on its way while the window thread stopped or paused the song (or began to
  // delete the player) is stale: acting on it would restart a song that was told to stop.
  if (m_bClosing || m_nState != MIDISTATE_PLAYING || !lpHeader) return;
  bool ours = false;
  for (const MIDIHDR& h : m_Headers) ours = ours || &h == lpHeader;
  if (!ours || static_cast<uint64_t>(lpHeader->dwOffset) + 12 > m_dwBufferSize) return;
  const DWORD word = GetDword(reinterpret_cast<const BYTE*>(lpHeader->lpData), lpHeader->dwOffset + 8);
  if ((word & 0x00FFFFFF) == END_RECORD_EVENT) {
    StopLocked(false);
    if (m_bLoop) PlayLocked(true);
    return;
  }
  if (m_dwPosition < m_dwEnd) FillBufferLocked();
}

unsigned MidiThreadProc(void* lpParam) {
  auto* player = static_cast<cMidiStreamPlayer*>(lpParam);
  MSG msg;
  while (t4p::GetMessage(&msg)) {
    if (msg.message == t4p::MOM_POSITIONCB) player->OnPosition(reinterpret_cast<const MIDIHDR*>(msg.lParam));
  }
  return 0;
}

// --- player list ------------------------------------------------------------------------------

cMidiPlayerList::~cMidiPlayerList() { Clear(); }

void cMidiPlayerList::SetChannels(int nChannels) {
  const size_t n = static_cast<size_t>(nChannels > 0 ? nChannels : 0);
  for (size_t i = n; i < m_Players.size(); ++i) delete m_Players[i];
  m_Players.resize(n, nullptr);
}

void cMidiPlayerList::StopAll(bool bPause) {
  for (cMidiStreamPlayer* player : m_Players) {
    if (player) player->Stop(bPause);
  }
}

void cMidiPlayerList::Clear() {
  for (cMidiStreamPlayer*& player : m_Players) {
    delete player;
    player = nullptr;
  }
  m_Players.clear();
}

bool cMidiPlayerList::Play(int nChannel, const char* lpFile, bool bLoop) {
  StopAll(true);
  // The song that this channel's player holds, asked for again (a music command run on every
  // frame): it starts again on that player. A new player would cost its thread's end and a new
  // thread's start on every request, each a wait on the scheduler.
  if (cMidiStreamPlayer* same = GetPlayer(nChannel);
      same && same->GetImage() && lpFile && same->GetFileName() == lpFile &&
      std::count(m_Players.begin(), m_Players.end(), nullptr) + 1 == static_cast<std::ptrdiff_t>(m_Players.size())) {
    same->Restart(bLoop);
    return true;
  }
  for (cMidiStreamPlayer*& player : m_Players) {
    delete player;
    player = nullptr;
  }
  char szExt[MAX_PATH] = {};
  if (!lpFile || !GetExtension(szExt, lpFile) || std::strcmp(szExt, "mid") != 0) return false;
  if (nChannel < 0 || nChannel >= static_cast<int>(m_Players.size())) {
    // Logged and the program asked to close, like every bad index; nothing is stored elsewhere.
    ReportBadIndex('V', nChannel, static_cast<int>(m_Players.size()), static_cast<int>(sizeof(cMidiStreamPlayer*)));
    return false;
  }
  // Nothing could be heard: the request fails at once instead of reading the song and opening a
  // stream only to log each of its steps failing (the missing device or soundfont is logged once
  // where it was found missing).
  if (m_OutputReady && !m_OutputReady()) return false;
  cMidiStreamPlayer* player = new cMidiStreamPlayer(lpFile);
  At(nChannel) = player;
  if (!player->GetImage()) return false;
  player->Play(bLoop);
  return true;
}

cMidiStreamPlayer*& cMidiPlayerList::At(int nChannel) {
  if (nChannel < 0 || nChannel >= static_cast<int>(m_Players.size()))
    throw std::out_of_range("invalid vector<T> subscript");
  return m_Players[static_cast<size_t>(nChannel)];
}

cMidiStreamPlayer* cMidiPlayerList::GetPlayer(int nChannel) const {
  if (nChannel < 0 || nChannel >= static_cast<int>(m_Players.size())) return nullptr;
  return m_Players[static_cast<size_t>(nChannel)];
}
