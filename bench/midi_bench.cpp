// One minute of MIDI music (a generated song on all 16 channels, and the demo's busiest song
// played in a loop) played by the stream MIDI player and rendered through FluidSynth and the mixer,
// as the sound device would pull it. Times are the processor time of the whole process (the
// player's refill thread included); the "cpu_per_audio_second" counter is the cost as a share of
// one core.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/midi_output.h"
#include "audio/midi_stream_player.h"
#include "audio/sound_effects.h"
#include "platform/audio/audio_output.h"
#include "platform/clock.h"
#include "platform/midi/fluid_midi_synth.h"

namespace {

constexpr int SONG_SECONDS = 60;
constexpr uint32_t BLOCK_FRAMES = 1024;

std::string VarLen(uint32_t v) {
  std::string out(1, static_cast<char>(v & 0x7F));
  while (v >>= 7) out.insert(out.begin(), static_cast<char>((v & 0x7F) | 0x80));
  return out;
}

void PutBE(std::string& out, uint32_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// Format 1, 480 ticks a quarter at 120 bpm: every channel plays a chord of `chord` notes `perBeat`
// times a beat, with its own instrument (channel 10 drums), volume and pan.
std::string MakeSong(int perBeat, int chord) {
  std::vector<std::string> tracks;
  std::string tempo =
      VarLen(0) + std::string("\xFF\x51\x03\x07\xA1\x20", 6) + VarLen(0) + std::string("\xFF\x2F\x00", 3);
  tracks.push_back(tempo);
  const int eighths = SONG_SECONDS * 2 * perBeat;
  const uint32_t step = 480 / static_cast<uint32_t>(perBeat);
  for (int ch = 0; ch < 16; ++ch) {
    std::string t;
    auto ev = [&](uint32_t delta, std::initializer_list<int> bytes) {
      t += VarLen(delta);
      for (int b : bytes) t.push_back(static_cast<char>(b));
    };
    ev(0, {0xC0 | ch, (ch * 8) % 128});
    ev(0, {0xB0 | ch, 7, 90});
    ev(0, {0xB0 | ch, 10, (ch * 8) % 128});
    for (int i = 0; i < eighths; ++i) {
      const int root = ch == 9 ? 35 + (i % 12) : 36 + ((ch * 5 + i * 3) % 48);
      for (int n = 0; n < chord; ++n) ev(0, {0x90 | ch, root + 4 * n, 70 + (i % 40)});
      ev(step * 5 / 6, {0x80 | ch, root, 0});
      for (int n = 1; n < chord; ++n) ev(0, {0x80 | ch, root + 4 * n, 0});
      if (i + 1 < eighths) t += VarLen(step - step * 5 / 6), t += std::string("\xFF\x01\x00", 3);  // a marker
    }
    ev(0, {0xFF, 0x2F, 0x00});
    tracks.push_back(t);
  }
  std::string out = "MThd";
  PutBE(out, 6, 4);
  PutBE(out, 1, 2);
  PutBE(out, static_cast<uint32_t>(tracks.size()), 2);
  PutBE(out, 480, 2);
  for (const std::string& t : tracks) {
    out += "MTrk";
    PutBE(out, static_cast<uint32_t>(t.size()), 4);
    out += t;
  }
  return out;
}

// Plays `path` (looped when `loop`) for a minute through the synthesiser and the mixer.
void PlayMinute(benchmark::State& state, const std::string& path, bool loop) {
  t4::platform::HeadlessAudioOutput output;
  t4::platform::SetAudioOutput(&output);
  DS_Init(nullptr, 22050, 8, 1);
  t4::platform::SetMidiOutDevice(&g_MidiOutput);
  g_MidiOutput.SetSynthMaker(
      [](const std::string& soundFont) { return t4::platform::FluidMidiSynth::Create(soundFont); });
  if (!g_MidiOutput.Synth()) {
    state.SkipWithError("no General MIDI soundfont");
    return;
  }
  std::vector<float> block(2 * BLOCK_FRAMES);
  double peak = 0.0;
  for (auto _ : state) {
    cMidiPlayerList players;
    players.SetChannels(1);
    players.Play(0, path.c_str(), loop);
    cMidiStreamPlayer* player = players.GetPlayer(0);
    for (uint32_t done = 0; done < SONG_SECONDS * t4::platform::OUTPUT_RATE; done += BLOCK_FRAMES) {
      output.RenderFloat(block, 2, t4::platform::OUTPUT_RATE);
      for (float x : block) peak = std::max<double>(peak, x < 0 ? -x : x);
      // A real device gives the refill thread the time of a block; here it is let catch up,
      // sleeping, so that the wait costs no processor time.
      while (player->GetHandledCallbacks() != player->GetStream()->PostedCallbacks()) t4::platform::SleepReal(1);
    }
    benchmark::DoNotOptimize(block.data());
  }
  state.counters["cpu_per_audio_second"] = benchmark::Counter(
      static_cast<double>(SONG_SECONDS), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["peak"] = peak;
  t4::platform::SetMidiOutDevice(nullptr);
  DS_Release();
  t4::platform::SetAudioOutput(nullptr);
}

void BM_MidiMinuteThroughSynthAndMixer(benchmark::State& state) {
  char dir[] = "/tmp/t4_midi_bench_XXXXXX";
  if (!mkdtemp(dir)) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const std::string path = std::string(dir) + "/song.mid";
  const std::string song = MakeSong(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(song.data(), 1, song.size(), f);
  std::fclose(f);
  PlayMinute(state, path, false);
  std::remove(path.c_str());
  std::remove(dir);
}

// The demo project's busiest song (the most notes a second), looped for the minute.
void BM_MidiMinuteOfDemoSong(benchmark::State& state) { PlayMinute(state, T4_DEMO_DIR "/bgm/field.mid", true); }
// Arguments: notes a beat per channel, notes per chord. {1, 1} is a busy game song (16 voices
// striking every beat), {2, 2} a dense stress case.
BENCHMARK(BM_MidiMinuteThroughSynthAndMixer)
    ->Args({1, 1})
    ->Args({2, 2})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->MeasureProcessCPUTime();
BENCHMARK(BM_MidiMinuteOfDemoSong)->Unit(benchmark::kMillisecond)->Iterations(2)->MeasureProcessCPUTime();

}  // namespace

BENCHMARK_MAIN();
