// The MIDI out device of the program: a General MIDI synthesiser whose sound mixes into the sound
// effects' output. The synthesiser and its soundfont are loaded on the first song.
#pragma once

#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>

#include "audio/bgm.h"
#include "platform/midi/winmm_midi.h"

class cMidiOutput final : public t4::platform::MidiOutDevice {
 public:
  // The soundfont to load: `lpPath` when it names a file (the --soundfont option), otherwise the
  // installed General MIDI soundfonts. Takes effect at the next load.
  void SetSoundFont(const char* lpPath);
  // What loads a synthesiser from a soundfont file (the program gives FluidSynth's). Without one
  // there is no synthesiser and MIDI songs stay silent.
  using SynthMaker = std::function<std::shared_ptr<t4::platform::MidiSynth>(const std::string& soundFont)>;
  void SetSynthMaker(SynthMaker maker);

  // Starts loading the synthesiser on a thread of its own, so that the first song does not wait
  // for the soundfont. The first Synth() takes what it loaded (and reports a failure then, as it
  // would have reported its own).
  void PreloadSynth();
  // Waits for a preload still running, so that a process that ends without its static destructors
  // (the end that leaves an abandoned thread behind) leaves no finished thread unjoined.
  void FinishPreload();

  std::shared_ptr<t4::platform::MidiSynth> Synth() override;
  // A song can be heard: there is a sound device, and a synthesiser (loaded now if need be).
  bool CanPlay();
  bool Attach(std::shared_ptr<t4::platform::MixerStream> stream) override;
  void Detach(const t4::platform::MixerStream* stream) override;

 private:
  std::mutex m_Mutex;
  std::string m_strSoundFont;
  SynthMaker m_SynthMaker;
  std::shared_ptr<t4::platform::MidiSynth> m_lpSynth;
  int32_t m_bFailed = 0;                                            // the load failed (logged once)
  std::future<std::shared_ptr<t4::platform::MidiSynth>> m_Preload;  // the synthesiser being loaded
};

extern cMidiOutput g_MidiOutput;

// Gives the music manager its three players (Ogg, the outside MIDI library, the stream MIDI
// players) and makes g_MidiOutput the device the stream players open.
void InstallMusicPlayers(cBgm& bgm);

// Start-up's music: the players are installed whatever the option says, so that the options scene
// can switch music on later with cBgm::Init; the manager itself starts only when music is on.
void SetUpMusic(cBgm& bgm, bool bMusicOn, BGMOGGSLOT* lpOggTable, BGMMIDISLOT* lpMidiTable, int nSlots,
                bool bDirectMusic);
