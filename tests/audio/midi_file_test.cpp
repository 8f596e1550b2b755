// The MIDI file reader: variable-length quantities, the format-0 image it builds from format 0
// and 1 files, and every damaged form refused or ended safely.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/midi_file.h"
#include "core/report_log.h"
#include "support/smf_writer.h"
#include "support/temp_dir.h"

namespace {

using namespace t4::test;

class MidiFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(InitReportLog((m_dir.Path() / "Report_Game.txt").string().c_str())); }

  // The image of `file` as a string ("" when refused).
  static std::string Image(const std::string& file) {
    cSmf smf("song.mid", reinterpret_cast<const BYTE*>(file.data()), static_cast<uint32_t>(file.size()));
    return smf.GetImage() ? std::string(reinterpret_cast<const char*>(smf.GetImage()), smf.GetImageSize()) : "";
  }
  // The events of an image (after its 22-byte header), checking the header.
  static std::string Events(const std::string& image, int division = 96) {
    EXPECT_GE(image.size(), 22u);
    if (image.size() < 22) return "";
    const std::string header = "MThd" + ByteString({0, 0, 0, 6, 0, 0, 0, 1, division >> 8, division & 0xFF}) + "MTrk";
    EXPECT_EQ(image.substr(0, 18), header);
    const uint32_t length = (static_cast<uint8_t>(image[18]) << 24) | (static_cast<uint8_t>(image[19]) << 16) |
                            (static_cast<uint8_t>(image[20]) << 8) | static_cast<uint8_t>(image[21]);
    EXPECT_EQ(length, image.size() - 22);
    return image.substr(22);
  }
  std::string Log() const { return m_dir.ReadFile("Report_Game.txt"); }

  TempDir m_dir;
};

TEST(MidiVarLenTest, ReadsAndWritesUpToFourBytes) {
  struct Case {
    uint32_t value;
    std::vector<BYTE> bytes;
  };
  const Case cases[] = {{0, {0x00}},
                        {0x7F, {0x7F}},
                        {0x80, {0x81, 0x00}},
                        {0x3FFF, {0xFF, 0x7F}},
                        {0x4000, {0x81, 0x80, 0x00}},
                        {0x1FFFFF, {0xFF, 0xFF, 0x7F}},
                        {0x200000, {0x81, 0x80, 0x80, 0x00}},
                        {0x0FFFFFFF, {0xFF, 0xFF, 0xFF, 0x7F}}};
  for (const Case& c : cases) {
    BYTE out[4] = {};
    ASSERT_EQ(cSmf::WriteVarLen(out, c.value), c.bytes.size()) << c.value;
    EXPECT_EQ(std::vector<BYTE>(out, out + c.bytes.size()), c.bytes);
    uint32_t value = 1;
    EXPECT_EQ(cSmf::ReadVarLen(c.bytes.data(), static_cast<uint32_t>(c.bytes.size()), &value), c.bytes.size());
    EXPECT_EQ(value, c.value);
    // One byte short of the quantity reads nothing.
    EXPECT_EQ(cSmf::ReadVarLen(c.bytes.data(), static_cast<uint32_t>(c.bytes.size() - 1), &value), 0u);
  }
  BYTE out[5] = {0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
  EXPECT_EQ(cSmf::WriteVarLen(out, 0x10000000), 0u);
  EXPECT_EQ(out[0], 0xAA);
  const BYTE tooLong[5] = {0x81, 0x80, 0x80, 0x80, 0x00};
  uint32_t value = 0;
  EXPECT_EQ(cSmf::ReadVarLen(tooLong, 5, &value), 0u);
}

TEST_F(MidiFileTest, FormatZeroGetsEveryStatusWrittenAndKeepsMetaAndSysEx) {
  const std::string track =
      Event(0, {0xC0, 5}) + Tempo(0, 400000) + Event(0, {0x90, 60, 100}) + Event(96, {62, 90}) +  // running status
      Meta(10, 0x01, "hi") + SysEx(5, ByteString({0x41, 0x10, 0xF7})) + Event(0x80, {0x80, 60, 0}) + EndOfTrack(20);
  const std::string file = MakeSmf({0, 480, {track}});
  const std::string expected = Event(0, {0xC0, 5}) + Tempo(0, 400000) + Event(0, {0x90, 60, 100}) +
                               Event(96, {0x90, 62, 90}) + Meta(10, 0x01, "hi") +
                               SysEx(5, ByteString({0x41, 0x10, 0xF7})) + Event(0x80, {0x80, 60, 0}) + EndOfTrack(20);
  EXPECT_EQ(Events(Image(file), 480), expected);
}

TEST_F(MidiFileTest, FormatOneMergesTracksInTimeOrderWithOneEndAtTheLatestEnd) {
  // Equal ticks: the lower track first. Track ends at 1920 and 3840: one end event at 3840.
  const std::string t0 = Event(0, {0x90, 60, 1}) + Event(100, {0x90, 61, 1}) + EndOfTrack(1820);
  const std::string t1 =
      Event(50, {0x91, 70, 1}) + Event(50, {0x91, 71, 1}) + Event(3740, {0x81, 71, 0}) + EndOfTrack();
  const std::string expected = Event(0, {0x90, 60, 1}) + Event(50, {0x91, 70, 1}) + Event(50, {0x90, 61, 1}) +
                               Event(0, {0x91, 71, 1}) + Event(3740, {0x81, 71, 0}) + EndOfTrack(0);
  EXPECT_EQ(Events(Image(MakeSmf({1, 96, {t0, t1}}))), expected);

  // Many tracks are fine: 300 tracks of one note each, merged by tick.
  SmfSpec many{1, 96, {}};
  std::string manyExpected;
  for (int t = 0; t < 300; ++t) many.tracks.push_back(Event(299 - t, {0x90, t % 128, 1}) + EndOfTrack());
  for (int t = 299; t >= 0; --t) manyExpected += Event(t == 299 ? 0 : 1, {0x90, t % 128, 1});
  EXPECT_EQ(Events(Image(MakeSmf(many))), manyExpected + EndOfTrack(0));
}

TEST_F(MidiFileTest, RefusesFilesThatAreNotMidiOrNotFormatZeroOrOne) {
  const std::string track = Event(0, {0x90, 60, 1}) + EndOfTrack();
  std::string headerLength7 = MakeSmf({0, 96, {track}});
  headerLength7[7] = 7;
  std::string secondTag = MakeSmf({0, 96, {track}});
  secondTag[14] = 'X';
  struct Case {
    std::string file;
    const char* message;
  };
  const Case cases[] = {
      {"RIFF" + MakeSmf({0, 96, {track}}).substr(4), "Midi song.mid Init 標準MIDIでない(4)"},
      {headerLength7, "Midi song.mid Init 標準MIDIでない(6)"},
      {MakeSmf({2, 96, {track}}), "Midi song.mid Init 対応フォーマットが2でない"},
      {MakeSmf({3, 96, {track}}), "Midi song.mid Init 対応フォーマットが0または1でない"},
      {secondTag, "Midi song.mid Init 標準MIDIでない(4)"},
      {MakeSmf({1, 96, {track}, 0}), "Midi song.mid Init 標準MIDIでない(4)"},  // no track announced
      {"MTh", "Midi song.mid Init 標準MIDIでない(4)"},
      {MakeSmf({0, 96, {}}).substr(0, 12), "Midi song.mid Init 標準MIDIでない(6)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Image(c.file), "");
    EXPECT_NE(Log().find(std::string(c.message) + "\r\n"), std::string::npos) << c.message;
  }
}

TEST_F(MidiFileTest, DamagedTracksAreRefusedOrEndWhereTheirDataEnds) {
  const std::string notes = Event(0, {0x90, 60, 1}) + Event(10, {0x80, 60, 0});
  const std::string played = Event(0, {0x90, 60, 1}) + Event(10, {0x80, 60, 0}) + EndOfTrack(0);
  struct Case {
    const char* name;
    std::string file;
    std::string events;  // "" when refused
    const char* message;
  };
  const Case cases[] = {
      // Without an end event the track (and the file) ends with its last event.
      {"missing end", MakeSmf({0, 96, {notes}}), played, nullptr},
      // It ends where its declared length ends when the next track starts there.
      {"missing end, more tracks", MakeSmf({1, 96, {notes, Event(0, {0x91, 1, 1}) + EndOfTrack()}}),
       Event(0, {0x90, 60, 1}) + Event(0, {0x91, 1, 1}) + Event(10, {0x80, 60, 0}) + EndOfTrack(0), nullptr},
      // An event cut short by the end of the file is dropped.
      {"cut event", MakeSmf({0, 96, {notes + Event(5, {0x90, 61})}}), played, nullptr},
      {"cut delta", MakeSmf({0, 96, {notes + ByteString({0x81, 0x80})}}), played, nullptr},
      {"data past the end", MakeSmf({0, 96, {notes + ByteString({0, 0xF0, 0x8F, 0xFF, 0xFF, 0x7F, 1, 2})}}), played,
       nullptr},
      {"meta cut", MakeSmf({0, 96, {notes + ByteString({0, 0xFF, 0x01, 0x05, 'a'})}}), played, nullptr},
      {"bad delta", MakeSmf({0, 96, {notes + ByteString({0x80, 0x80, 0x80, 0x80, 0x00, 0x90, 1, 1}) + EndOfTrack()}}),
       "", "Midi song.mid Init 可変長数値が不正"},
      {"bad length", MakeSmf({0, 96, {notes + ByteString({0, 0xF0, 0x80, 0x80, 0x80, 0x80, 0x01}) + EndOfTrack()}}), "",
       "Midi song.mid Init 可変長数値が不正"},
      // The ticks of a track add up past what one delta can hold.
      {"delta overflow", MakeSmf({0, 96, {Event(0x0FFFFFFF, {0x90, 1, 1}) + Event(1, {0x80, 1, 0}) + EndOfTrack()}}),
       "", "Midi song.mid Init デルタタイムが大きすぎる"},
  };
  for (const Case& c : cases) {
    const std::string image = Image(c.file);
    if (c.events.empty()) {
      EXPECT_EQ(image, "") << c.name;
      EXPECT_NE(Log().find(std::string(c.message) + "\r\n"), std::string::npos) << c.name;
    } else {
      EXPECT_EQ(Events(image), c.events) << c.name;
    }
  }
  // A track without an end event whose declared length is wrong reads on into the next header;
  // what it finds there is kept within the file and closed by the one end event.
  std::string wrongLength = MakeSmf({1, 96, {notes, Event(0, {0x91, 1, 1}) + EndOfTrack()}});
  wrongLength[21] = 3;
  const std::string events = Events(Image(wrongLength));
  EXPECT_EQ(events.substr(0, notes.size()), notes);
  EXPECT_EQ(events.substr(events.size() - 3), ByteString({0xFF, 0x2F, 0x00}));

  // Every tick up to the largest delta is still fine.
  EXPECT_EQ(Events(Image(MakeSmf({0, 96, {Event(0x0FFFFFFF, {0x90, 1, 1}) + EndOfTrack()}}))),
            Event(0x0FFFFFFF, {0x90, 1, 1}) + EndOfTrack(0));
}

TEST_F(MidiFileTest, LoadsFromTheProjectFolderAndLogsAMissingFile) {
  ScopedCurrentDir cwd(m_dir.Path());
  m_dir.WriteFile("bgm/Song.mid", MakeSmf({0, 96, {Event(0, {0x90, 60, 1}) + EndOfTrack()}}));
  cSmf loaded("bgm\\song.mid");
  ASSERT_NE(loaded.GetImage(), nullptr);
  EXPECT_EQ(loaded.GetImageSize(), 22u + 4u + 4u);
  cSmf missing("bgm\\none.mid");
  EXPECT_EQ(missing.GetImage(), nullptr);
  EXPECT_NE(Log().find("Midi bgm\\none.mid Create ファイルが開けません\r\n"), std::string::npos);
}

}  // namespace
