// The stream MIDI player: conversion of the image into stream records, and whole songs played
// against the recording device with its manual clock (refills, tempo, loop, end, stop, pause,
// release), then through FluidSynth into a buffer.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "audio/midi_stream_player.h"
#include "core/report_log.h"
#include "platform/clock.h"
#include "platform/midi/fluid_midi_synth.h"
#include "platform/midi/manual_midi_out.h"
#include "support/smf_writer.h"
#include "support/temp_dir.h"

namespace {

using namespace t4::test;
namespace t4p = t4::platform;
using Kind = t4p::RecordingMidiSynth::Kind;

// One tick at division 100 and 1 000 000 microseconds a quarter note is 10 ms: 441 frames.
constexpr uint32_t FRAMES_PER_TICK = 441;

std::string Dword(uint32_t v) {
  return ByteString({static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF),
                     static_cast<int>(v >> 24)});
}
// A stream record as the player must write it.
std::string Record(uint32_t delta, uint32_t word, const std::string& params = "") {
  std::string r = Dword(delta) + Dword(0) + Dword(word) + params;
  while (r.size() % 4) r.push_back('\0');
  return r;
}
std::string ImageOf(const std::string& events) {
  const uint32_t n = static_cast<uint32_t>(events.size());
  return "MThd" + ByteString({0, 0, 0, 6, 0, 0, 0, 1, 0, 100}) + "MTrk" +
         ByteString({static_cast<int>(n >> 24), static_cast<int>((n >> 16) & 0xFF), static_cast<int>((n >> 8) & 0xFF),
                     static_cast<int>(n & 0xFF)}) +
         events;
}

struct Converted {
  MIDICONVERT result;
  std::string records;
};
Converted Convert(const std::string& image, uint32_t position, uint32_t bufferSize) {
  std::vector<BYTE> buffer(bufferSize, 0xCC);
  Converted c;
  c.result =
      cMidiStreamPlayer::ConvertEvents(reinterpret_cast<const BYTE*>(image.data()), static_cast<uint32_t>(image.size()),
                                       position, buffer.data(), bufferSize, "song.mid");
  c.records.assign(reinterpret_cast<const char*>(buffer.data()), c.result.nWritten);
  return c;
}

TEST(MidiConvertTest, WritesOneRecordPerEventAndSkipsOtherMetaEventsKeepingTheirTime) {
  const std::string events = Event(0, {0x90, 60, 100}) + Event(5, {0xC1, 7}) + Tempo(1, 250000) +
                             Meta(2, 0x01, "text") + Meta(3, 0x51, ByteString({1, 2})) +  // a tempo of the wrong length
                             SysEx(4, ByteString({0x41, 0x10, 0x42, 0x12, 0xF7})) + EndOfTrack(6) +
                             Event(0, {0x90, 1, 1});  // never reached
  const std::string image = ImageOf(events);
  const Converted c = Convert(image, 22, MIDI_BUFFER_SIZE);
  const std::string expected = Record(0, 0x00643C90) + Record(5, 0x000007C1) + Record(1, 0x0103D090) +
                               Record(2 + 3 + 4, 0x80000006, ByteString({0xF0, 0x41, 0x10, 0x42, 0x12, 0xF7})) +
                               Record(6, 0x40002FFF);
  EXPECT_EQ(c.records, expected);
  EXPECT_EQ(Record(0, 0x80000006, ByteString({0xF0, 1, 2, 3, 4, 5})).size(), 20u);  // 12 + 8
  EXPECT_EQ(c.result.nConsumed, image.size() - 22 - 4);
}

TEST(MidiConvertTest, AFullBufferFlagsItsLastRecordAndTheNextBufferGoesOnWithTheSkippedTime) {
  const std::string image = ImageOf(Event(1, {0x90, 1, 1}) + Event(2, {0x90, 2, 1}) + Meta(3, 0x06, "mark") +
                                    Event(4, {0x90, 3, 1}) + EndOfTrack(5));
  const Converted first = Convert(image, 22, 24);
  EXPECT_EQ(first.records, Record(1, 0x00010190) + Record(2, 0x40010290));
  // The marker after the last record is walked again, so its delta time still counts.
  EXPECT_EQ(first.result.nConsumed, 8u);
  const Converted second = Convert(image, 22 + first.result.nConsumed, 24);
  EXPECT_EQ(second.records, Record(3 + 4, 0x00010390) + Record(5, 0x40002FFF));
}

TEST(MidiConvertTest, EachKindOfEventPutsItsRecordOnlyWhenItFits) {
  using Put = uint32_t (*)(DWORD, const BYTE*, uint32_t, BYTE*, uint32_t, uint32_t*);
  struct Case {
    const char* name;
    Put put;
    std::string event;   // from the status byte on
    uint32_t consumed;   // image bytes of the event
    std::string record;  // "" when the event makes none
  };
  const Case cases[] = {
      {"note", cMidiStreamPlayer::PutShortEvent, ByteString({0x90, 60, 100}), 3, Record(7, 0x00643C90)},
      {"program", cMidiStreamPlayer::PutShortEvent, ByteString({0xC3, 5}), 2, Record(7, 0x000005C3)},
      {"sysex", cMidiStreamPlayer::PutLongEvent, ByteString({0xF0, 5, 1, 2, 3, 4, 0xF7}), 7,
       Record(7, 0x80000006, ByteString({0xF0, 1, 2, 3, 4, 0xF7}))},
      {"tempo", cMidiStreamPlayer::PutMetaEvent, ByteString({0xFF, 0x51, 3, 7, 0xA1, 0x20}), 6, Record(7, 0x0107A120)},
      {"text", cMidiStreamPlayer::PutMetaEvent, ByteString({0xFF, 0x01, 2, 'h', 'i'}), 5, ""},
      {"end", cMidiStreamPlayer::PutEndEvent, ByteString({0xFF, 0x2F, 0}), 3, Record(7, 0x40002FFF)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto* event = reinterpret_cast<const BYTE*>(c.event.data());
    const uint32_t avail = static_cast<uint32_t>(c.event.size());
    std::vector<BYTE> buffer(64, 0);
    uint32_t written = 4;  // behind a record already there
    EXPECT_EQ(c.put(7, event, avail, buffer.data(), 64, &written), c.consumed);
    EXPECT_EQ(written, 4 + c.record.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data()) + 4, c.record.size()), c.record);
    if (c.record.empty()) continue;
    // No room for the record, or the event cut off by the end of the image: nothing is put.
    written = 64 - static_cast<uint32_t>(c.record.size()) + 4;
    EXPECT_EQ(c.put(7, event, avail, buffer.data(), 64, &written), 0u);
    EXPECT_EQ(written, 64 - c.record.size() + 4);
    written = 0;
    EXPECT_EQ(c.put(7, event, avail - 1, buffer.data(), 64, &written), 0u);
    EXPECT_EQ(written, 0u);
  }
}

TEST(MidiConvertTest, SysExLargerThanAWholeBufferIsDroppedSoTheSongGoesOn) {
  t4::test::TempDir dir;
  ASSERT_TRUE(InitReportLog((dir.Path() / "Report_Game.txt").string().c_str()));
  const std::string image =
      ImageOf(SysEx(7, std::string(MIDI_BUFFER_SIZE, '\x01')) + Event(1, {0x90, 1, 1}) + EndOfTrack(0));
  const Converted c = Convert(image, 22, MIDI_BUFFER_SIZE);
  EXPECT_EQ(c.records, Record(8, 0x00010190) + Record(0, 0x40002FFF));
  EXPECT_NE(dir.ReadFile("Report_Game.txt").find("Midi song.mid SysEx 24001"), std::string::npos);
}

// --- whole songs against the recording device --------------------------------------------------

class MidiPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(InitReportLog((m_dir.Path() / "Report_Game.txt").string().c_str())); }

  // Writes a format-0 song at division 100 (tempo 1 s a quarter note set by its first event).
  std::string Song(const std::string& name, const std::string& events) {
    m_dir.WriteFile("bgm/" + name, MakeSmf({0, 100, {Tempo(0, 1000000) + events}}));
    return "bgm\\" + name;
  }
  // Advances the clock, then waits until the player's thread has taken every callback.
  void Step(cMidiStreamPlayer& player, size_t frames) {
    m_device.Advance(frames);
    auto* stream = player.GetStream();
    for (int i = 0; i < 5000 && player.GetHandledCallbacks() != stream->PostedCallbacks(); ++i) t4p::SleepReal(1);
    ASSERT_EQ(player.GetHandledCallbacks(), stream->PostedCallbacks());
  }
  // Frames (relative to `from`) of the channel messages sent so far.
  std::vector<uint64_t> NoteFrames(uint64_t from = 0) const {
    std::vector<uint64_t> frames;
    for (const auto& e : m_synth->Events()) {
      if (e.kind == Kind::Short) frames.push_back(e.frame - from);
    }
    return frames;
  }
  int Count(Kind kind) const {
    int n = 0;
    for (const auto& e : m_synth->Events()) n += e.kind == kind;
    return n;
  }
  static int ThreadCount() { return static_cast<int>(ThreadIds().size()); }
  // The process's thread ids: a thread that ended and one started in its place differ.
  static std::set<std::string> ThreadIds() {
    std::set<std::string> ids;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task"))
      ids.insert(entry.path().filename().string());
    return ids;
  }

  TempDir m_dir;
  ScopedCurrentDir m_cwd{m_dir.Path()};
  std::shared_ptr<t4p::RecordingMidiSynth> m_synth = std::make_shared<t4p::RecordingMidiSynth>();
  t4p::ManualMidiOutDevice m_device{m_synth};
  t4p::ScopedMidiOutDevice m_installedDevice{m_device};
};

TEST_F(MidiPlayerTest, PlaysEveryEventAtItsTickAcrossBufferRefillsAndTempoChanges) {
  // 6000 notes (one a tick) and markers: more than three buffers of records. The tempo halves
  // at tick 2999.
  std::string events;
  std::vector<uint64_t> expected;
  for (uint32_t t = 0; t < 6000; ++t) {
    if (t == 2999) events += Tempo(1, 2000000);
    if (t % 7 == 0) events += Meta(t == 0 || t == 2999 ? 0 : 1, 0x06, "m");
    const uint32_t delta = t == 0 || t == 2999 || t % 7 == 0 ? 0 : 1;
    events += Event(delta, {t % 2 ? 0x80 : 0x90, static_cast<int>(t % 128), 1});
    expected.push_back(t <= 2999 ? t * FRAMES_PER_TICK : 2999 * FRAMES_PER_TICK + (t - 2999) * 2 * FRAMES_PER_TICK);
  }
  ASSERT_GE(expected.size() * 12, 3 * MIDI_BUFFER_SIZE);
  cMidiStreamPlayer player(Song("long.mid", events + EndOfTrack(0)).c_str());
  ASSERT_NE(player.GetImage(), nullptr);
  const uint64_t start = m_synth->Frame();
  player.Play(false);
  for (uint64_t done = 0; done < expected.back() + 10 * FRAMES_PER_TICK; done += 50 * FRAMES_PER_TICK) {
    Step(player, 50 * FRAMES_PER_TICK);
  }
  EXPECT_EQ(NoteFrames(start), expected);
  // Played out without loop: stopped, rewound, the first buffer waits again.
  EXPECT_EQ(player.GetState(), MIDISTATE_STOPPED);
  EXPECT_GT(player.GetPosition(), 22u);
  EXPECT_LT(player.GetPosition(), 22 + MIDI_BUFFER_SIZE);
}

TEST_F(MidiPlayerTest, EndRecordStopsTheSongAndALoopingSongStartsAgain) {
  const std::string events = Event(0, {0x90, 60, 1}) + Event(10, {0x80, 60, 0}) + EndOfTrack(10);
  for (bool loop : {false, true}) {
    m_synth->ClearEvents();
    cMidiStreamPlayer player(Song("short.mid", events).c_str());
    const uint64_t start = m_synth->Frame();
    player.Play(loop);
    // The whole song sits in the first buffer; the end record comes at tick 20.
    Step(player, 20 * FRAMES_PER_TICK + 1);
    EXPECT_EQ(Count(Kind::NotesOff), 1);
    Step(player, 20 * FRAMES_PER_TICK);
    const std::vector<uint64_t> notes = NoteFrames(start);
    if (loop) {
      ASSERT_EQ(notes.size(), 4u);
      EXPECT_EQ(notes[1], 10 * FRAMES_PER_TICK);
      EXPECT_EQ(notes[2], 20 * FRAMES_PER_TICK + 1);  // at once when the thread restarted it
      EXPECT_EQ(notes[3] - notes[2], 10 * FRAMES_PER_TICK);
      EXPECT_EQ(player.GetState(), MIDISTATE_PLAYING);
    } else {
      EXPECT_EQ(notes, (std::vector<uint64_t>{0, 10 * FRAMES_PER_TICK}));
      EXPECT_EQ(player.GetState(), MIDISTATE_STOPPED);
    }
  }
}

TEST_F(MidiPlayerTest, PauseHoldsThePlaceAndStopRewinds) {
  const std::string events =
      Event(0, {0x90, 1, 1}) + Event(10, {0x90, 2, 1}) + Event(10, {0x90, 3, 1}) + EndOfTrack(10);
  cMidiStreamPlayer player(Song("three.mid", events).c_str());
  player.Stop(true);  // pausing a stopped player does nothing
  EXPECT_EQ(player.GetState(), MIDISTATE_STOPPED);
  const uint64_t start = m_synth->Frame();
  player.Play(false);
  Step(player, 15 * FRAMES_PER_TICK);
  player.Stop(true);
  EXPECT_EQ(player.GetState(), MIDISTATE_PAUSED);
  Step(player, 100 * FRAMES_PER_TICK);
  player.Play(false);
  Step(player, 10 * FRAMES_PER_TICK);
  EXPECT_EQ(NoteFrames(start), (std::vector<uint64_t>{0, 10 * FRAMES_PER_TICK, 120 * FRAMES_PER_TICK}));

  player.Stop(false);
  EXPECT_EQ(Count(Kind::NotesOff), 1);
  EXPECT_EQ(player.GetState(), MIDISTATE_STOPPED);
  const uint64_t again = m_synth->Frame();
  player.Play(false);
  Step(player, 10 * FRAMES_PER_TICK + 1);
  const std::vector<uint64_t> notes = NoteFrames(again);
  EXPECT_EQ(std::vector<uint64_t>(notes.end() - 2, notes.end()), (std::vector<uint64_t>{0, 10 * FRAMES_PER_TICK}));
}

TEST_F(MidiPlayerTest, ReleasingAPlayerResetsAndClosesItsStreamAndEndsItsThread) {
  const int threadsBefore = ThreadCount();
  {
    cMidiStreamPlayer player(Song("a.mid", Event(0, {0x90, 1, 1}) + EndOfTrack(1000)).c_str());
    EXPECT_EQ(ThreadCount(), threadsBefore + 1);
    EXPECT_TRUE(m_device.HasStream());
    player.Play(true);
    Step(player, 1000);
  }
  EXPECT_EQ(Count(Kind::Reset), 1);
  EXPECT_FALSE(m_device.HasStream());
  EXPECT_EQ(ThreadCount(), threadsBefore);
}

TEST_F(MidiPlayerTest, ListPlaysOnlyMidFilesAndGivesEverySongANewPlayer) {
  const std::string a = Song("a.mid", Event(0, {0x90, 1, 1}) + EndOfTrack(100));
  const std::string b = Song("b.mid", Event(0, {0x90, 2, 1}) + EndOfTrack(100));
  cMidiPlayerList list;
  list.SetChannels(1);
  EXPECT_FALSE(list.Play(0, "bgm\\a.MID", true));
  EXPECT_EQ(list.GetPlayer(0), nullptr);
  EXPECT_FALSE(list.Play(0, "bgm\\missing.mid", true));
  ASSERT_NE(list.GetPlayer(0), nullptr);  // kept without an image until the next song
  EXPECT_EQ(list.GetPlayer(0)->GetImage(), nullptr);

  ASSERT_TRUE(list.Play(0, a.c_str(), true));
  cMidiStreamPlayer* first = list.GetPlayer(0);
  EXPECT_EQ(first->GetState(), MIDISTATE_PLAYING);
  list.StopAll(true);
  EXPECT_EQ(first->GetState(), MIDISTATE_PAUSED);
  ASSERT_TRUE(list.Play(0, b.c_str(), false));
  EXPECT_EQ(list.GetPlayer(0)->GetFileName(), b);
  EXPECT_EQ(Count(Kind::Reset), 1);  // the first song's stream was reset and closed

  EXPECT_EQ(list.At(0), list.GetPlayer(0));
  EXPECT_THROW(list.At(1), std::out_of_range);
  EXPECT_FALSE(list.Play(3, a.c_str(), false));
  EXPECT_NE(m_dir.ReadFile("Report_Game.txt").find("err V[3] ( 1 , 8 )"), std::string::npos);
  list.Clear();
  EXPECT_FALSE(m_device.HasStream());
}

TEST_F(MidiPlayerTest, TheSameSongAskedForAgainStartsOverOnItsPlayerWithoutANewThread) {
  // Two notes a second apart: after the first one and a restart, the first note sounds again.
  const std::string a = Song("a.mid", Event(0, {0x90, 1, 1}) + Event(100, {0x90, 2, 1}) + EndOfTrack(100));
  cMidiPlayerList list;
  list.SetChannels(1);
  ASSERT_TRUE(list.Play(0, a.c_str(), true));
  cMidiStreamPlayer* first = list.GetPlayer(0);
  Step(*first, 150 * FRAMES_PER_TICK);
  const std::set<std::string> threads = ThreadIds();
  const uint64_t restart = m_synth->Frame();
  for (bool loop : {false, true}) {
    ASSERT_TRUE(list.Play(0, a.c_str(), loop));
    EXPECT_EQ(list.GetPlayer(0), first);
    EXPECT_EQ(first->GetState(), MIDISTATE_PLAYING);
  }
  EXPECT_EQ(ThreadIds(), threads) << "no thread ended, none started";
  EXPECT_EQ(Count(Kind::Reset), 2) << "the synthesiser is reset as for a new player";
  Step(*first, 50 * FRAMES_PER_TICK);
  EXPECT_EQ(NoteFrames(restart).back(), 0u) << "the song starts over from its first note";
  // Another song still gets a new player.
  const std::string b = Song("b.mid", Event(0, {0x90, 3, 1}) + EndOfTrack(100));
  ASSERT_TRUE(list.Play(0, b.c_str(), true));
  EXPECT_EQ(list.GetPlayer(0)->GetFileName(), b);
}

TEST_F(MidiPlayerTest, TheSameSongAskedForAgainStartsAtTheTempoOfANewStream) {
  // No tempo event before tick 100: the first 100 ticks go at the stream's default of half a
  // second a quarter note (division 100: 5 ms a tick), the next 100 at a second a quarter note.
  // Notes at 0, 0.5 s and 1.5 s: frames 0, 22050 and 66150 at 44100 frames a second.
  const std::string events = Event(0, {0x90, 1, 1}) + Event(100, {0x90, 2, 1}) + Tempo(0, 1000000) +
                             Event(100, {0x90, 3, 1}) + EndOfTrack(100);
  m_dir.WriteFile("bgm/late.mid", MakeSmf({0, 100, {events}}));
  const std::string song = "bgm\\late.mid";
  cMidiPlayerList list;
  list.SetChannels(1);
  for (int request = 0; request < 2; ++request) {
    SCOPED_TRACE(request ? "asked again" : "first");
    const uint64_t start = m_synth->Frame();
    ASSERT_TRUE(list.Play(0, song.c_str(), false));
    Step(*list.GetPlayer(0), 66150 + 1);
    const std::vector<uint64_t> notes = NoteFrames(start);
    ASSERT_GE(notes.size(), 3u);
    EXPECT_EQ(std::vector<uint64_t>(notes.end() - 3, notes.end()), (std::vector<uint64_t>{0, 22050, 66150}));
  }
}

TEST_F(MidiPlayerTest, WithoutAnOutputToHearItASongIsRefusedBeforeAnyPlayerOrThread) {
  const std::string a = Song("a.mid", Event(0, {0x90, 1, 1}) + EndOfTrack(100));
  int asked = 0;
  cMidiPlayerList list([&] {
    ++asked;
    return false;
  });
  list.SetChannels(1);
  const int threads = ThreadCount();
  for (int i = 0; i < 30; ++i) EXPECT_FALSE(list.Play(0, a.c_str(), true));
  EXPECT_EQ(asked, 30);
  EXPECT_EQ(list.GetPlayer(0), nullptr);
  EXPECT_EQ(ThreadCount(), threads);
  EXPECT_FALSE(m_device.HasStream());
  EXPECT_EQ(m_dir.ReadFile("Report_Game.txt").find("Midi"), std::string::npos) << "nothing logged per request";
  // A bad channel is still the bad index it always is.
  EXPECT_FALSE(list.Play(3, a.c_str(), true));
  EXPECT_NE(m_dir.ReadFile("Report_Game.txt").find("err V[3] ( 1 , 8 )"), std::string::npos);
}

// --- FluidSynth into a buffer ------------------------------------------------------------------

float Peak(const std::vector<float>& samples, size_t from) {
  float peak = 0.0f;
  for (size_t i = from; i < samples.size(); ++i) peak = std::max(peak, std::fabs(samples[i]));
  return peak;
}

TEST_F(MidiPlayerTest, FluidSynthSoundsAfterANoteOnAndFallsSilentAfterStop) {
  std::shared_ptr<t4p::MidiSynth> synth = t4p::FluidMidiSynth::Create(t4p::SOUNDFONT_SMALL);
  if (!synth) GTEST_SKIP() << "no General MIDI soundfont installed";
  t4p::ManualMidiOutDevice device(synth);
  t4p::ScopedMidiOutDevice installed(device);
  cMidiStreamPlayer player(
      Song("piano.mid", Event(0, {0xC0, 0}) + Event(0, {0x90, 60, 110}) + Event(1000, {0x80, 60, 0}) + EndOfTrack())
          .c_str());
  std::vector<float> before(2 * 4410);
  device.Render(before);
  EXPECT_LT(Peak(before, 0), 1e-5f);  // paused until Play
  player.Play(false);
  std::vector<float> playing(2 * 22050);
  device.Render(playing);
  EXPECT_GT(Peak(playing, 0), 0.01f);
  player.Stop(false);
  std::vector<float> after(2 * 44100 * 2);
  device.Render(after);
  EXPECT_LT(Peak(after, after.size() - 2 * 4410), 1e-4f);
}

}  // namespace
