#include "audio/midi_output.h"

#include "audio/ggs_player.h"
#include "audio/midi_stream_player.h"
#include "audio/ogg_player.h"
#include "audio/sound_effects.h"
#include "core/report_log.h"
#include "platform/midi/midi_synth.h"

cMidiOutput g_MidiOutput;

void cMidiOutput::SetSoundFont(const char* lpPath) {
  std::lock_guard lock(m_Mutex);
  m_Preload = {};
  m_strSoundFont = lpPath ? lpPath : "";
  m_lpSynth.reset();
  m_bFailed = 0;
}

void cMidiOutput::SetSynthMaker(SynthMaker maker) {
  std::lock_guard lock(m_Mutex);
  m_Preload = {};
  m_SynthMaker = std::move(maker);
  m_lpSynth.reset();
  m_bFailed = 0;
}

void cMidiOutput::PreloadSynth() {
  std::lock_guard lock(m_Mutex);
  if (m_lpSynth || m_bFailed || !m_SynthMaker || m_Preload.valid()) return;
  m_Preload =
      std::async(std::launch::async,
                 [maker = m_SynthMaker, path = t4::platform::ChooseSoundFont(m_strSoundFont)] { return maker(path); });
}

void cMidiOutput::FinishPreload() {
  std::lock_guard lock(m_Mutex);
  if (m_Preload.valid()) m_Preload.wait();
}

std::shared_ptr<t4::platform::MidiSynth> cMidiOutput::Synth() {
  std::lock_guard lock(m_Mutex);
  if (m_lpSynth || m_bFailed || !m_SynthMaker) return m_lpSynth;
  const std::string path = t4::platform::ChooseSoundFont(m_strSoundFont);
  m_lpSynth = m_Preload.valid() ? m_Preload.get() : m_SynthMaker(path);
  if (!m_lpSynth) {
    m_bFailed = 1;
    WriteReportLogAndDebugLog("Midi SoundFont %s を読み込めません", path.empty() ? "(なし)" : path.c_str());
  }
  return m_lpSynth;
}

bool cMidiOutput::CanPlay() { return DS_HasOutput() && Synth() != nullptr; }

bool cMidiOutput::Attach(std::shared_ptr<t4::platform::MixerStream> stream) { return DS_AddStream(std::move(stream)); }

void cMidiOutput::Detach(const t4::platform::MixerStream* stream) { DS_RemoveStream(stream); }

void InstallMusicPlayers(cBgm& bgm) {
  t4::platform::SetMidiOutDevice(&g_MidiOutput);
  bgm.SetBackends(std::make_unique<cOggPlayer>(), std::make_unique<cGgsPlayer>(),
                  std::make_unique<cMidiPlayerList>([] { return g_MidiOutput.CanPlay(); }));
}

void SetUpMusic(cBgm& bgm, bool bMusicOn, BGMOGGSLOT* lpOggTable, BGMMIDISLOT* lpMidiTable, int nSlots,
                bool bDirectMusic) {
  InstallMusicPlayers(bgm);
  if (bMusicOn) bgm.Init(1, lpOggTable, lpMidiTable, nSlots, bDirectMusic);
}
