// The demo's songs, written as Standard MIDI Files: the title's short fanfare, and a melody over
// a bass line for the world map, the fields and the castle.
#include <string>
#include <vector>

#include "demo_project.h"
#include "support/smf_writer.h"

namespace demo {
namespace {

using t4::test::EndOfTrack;
using t4::test::Event;
using t4::test::MakeSmf;
using t4::test::SmfSpec;
using t4::test::Tempo;

// A note number, or 0 for a rest, held for `eighths` eighth notes.
struct Note {
  int key;
  int eighths;
};

// One channel's part: program change, then the notes one after another (96 ticks a quarter).
std::string Part(int channel, int program, int velocity, const std::vector<Note>& notes, int repeats) {
  std::string track = Event(0, {0xC0 | channel, program});
  uint32_t rest = 0;
  for (int r = 0; r < repeats; ++r)
    for (const Note& n : notes) {
      const uint32_t length = static_cast<uint32_t>(n.eighths) * 48;
      if (n.key == 0) {
        rest += length;
        continue;
      }
      track += Event(rest, {0x90 | channel, n.key, velocity}) + Event(length, {0x80 | channel, n.key, 0});
      rest = 0;
    }
  return track + EndOfTrack(rest);
}

std::string Song(uint32_t microsPerQuarter, const std::vector<std::string>& parts) {
  SmfSpec smf;
  smf.format = 1;
  smf.tracks.push_back(Tempo(0, microsPerQuarter) + EndOfTrack());
  for (const std::string& part : parts) smf.tracks.push_back(part);
  return MakeSmf(smf);
}

}  // namespace

bool WriteSongs() {
  // The title: a rising fanfare (format 0, one track).
  std::string title = Tempo(0, 500000) + Event(0, {0xC0, 0});
  for (int note : {60, 64, 67, 72, 67, 64}) title += Event(0, {0x90, note, 90}) + Event(96, {0x80, note, 0});
  title += EndOfTrack();
  SmfSpec titleSmf;
  titleSmf.format = 0;
  titleSmf.tracks = {title};

  // clang-format off
  // The map: a calm walk on a flute over a plucked bass.
  const std::string map =
      Song(600000, {Part(0, 73, 80,
                         {{72, 2}, {74, 2}, {76, 4}, {79, 2}, {76, 2}, {74, 4}, {72, 2}, {69, 2}, {67, 4}, {69, 2},
                          {72, 2}, {74, 4}},
                         2),
                    Part(1, 32, 70, {{48, 4}, {55, 4}, {45, 4}, {52, 4}, {41, 4}, {48, 4}, {43, 4}, {50, 4}}, 2)});
  // The fields: a quick, bright tune.
  const std::string field =
      Song(400000, {Part(0, 80, 80,
                         {{76, 1}, {76, 1}, {0, 1}, {76, 1}, {0, 1}, {72, 1}, {76, 2}, {79, 4}, {67, 4}, {72, 3},
                          {67, 3}, {64, 2}, {69, 2}, {71, 2}, {70, 1}, {69, 3}},
                         3),
                    Part(1, 33, 75,
                         {{48, 2}, {55, 2}, {48, 2}, {55, 2}, {43, 2}, {50, 2}, {43, 2}, {50, 2}, {45, 2}, {52, 2},
                          {41, 2}, {48, 2}, {43, 2}, {47, 2}, {48, 4}},
                         3)});
  // The castle: slow and minor, on an organ.
  const std::string castle =
      Song(700000, {Part(0, 19, 75,
                         {{69, 2}, {72, 2}, {76, 4}, {75, 2}, {72, 2}, {71, 4}, {69, 2}, {68, 2}, {69, 4}, {64, 4}},
                         2),
                    Part(1, 19, 65, {{45, 8}, {44, 8}, {45, 8}, {40, 8}}, 2)});

  // clang-format on
  return WriteBytes("bgm/title.mid", MakeSmf(titleSmf)) && WriteBytes("bgm/map.mid", map) &&
         WriteBytes("bgm/field.mid", field) && WriteBytes("bgm/castle.mid", castle);
}

}  // namespace demo
