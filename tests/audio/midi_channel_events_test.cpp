// Channel events of every kind through the MIDI file reader and the stream conversion: program
// change and channel pressure carry one data byte, the five other kinds two. A length taken wrong
// shifts every later byte, so each case follows its event with one in running status and a note.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "audio/midi_file.h"
#include "audio/midi_stream_player.h"
#include "core/report_log.h"
#include "support/smf_writer.h"
#include "support/temp_dir.h"

namespace {

using namespace t4::test;

struct ChannelKind {
  const char* name;
  int status;  // on channel 2
  int dataBytes;
};
constexpr ChannelKind CHANNEL_KINDS[] = {
    {"note off", 0x82, 2},       {"note on", 0x92, 2},          {"key pressure", 0xA2, 2}, {"control change", 0xB2, 2},
    {"program change", 0xC2, 1}, {"channel pressure", 0xD2, 1}, {"pitch bend", 0xE2, 2},
};

// An event of `kind` with data bytes 0x11 (and 0x22), or in running status without its status.
std::string KindEvent(uint32_t delta, const ChannelKind& kind, bool running, int first = 0x11) {
  std::string bytes = running ? "" : ByteString({kind.status});
  bytes += ByteString({first});
  if (kind.dataBytes == 2) bytes += ByteString({0x22});
  return VarLen(delta) + bytes;
}

class MidiChannelEvents : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(InitReportLog((m_dir.Path() / "Report_Game.txt").string().c_str())); }
  TempDir m_dir;
};

TEST_F(MidiChannelEvents, TheReaderTakesEachKindWithItsOwnNumberOfDataBytes) {
  for (const ChannelKind& kind : CHANNEL_KINDS) {
    const std::string track =
        KindEvent(0, kind, false) + KindEvent(10, kind, true, 0x33) + Event(10, {0x90, 60, 100}) + EndOfTrack(5);
    const std::string file = MakeSmf({0, 96, {track}});
    cSmf smf("song.mid", reinterpret_cast<const BYTE*>(file.data()), static_cast<uint32_t>(file.size()));
    ASSERT_NE(smf.GetImage(), nullptr) << kind.name;
    const std::string image(reinterpret_cast<const char*>(smf.GetImage()), smf.GetImageSize());
    // Every event of the image carries its own status.
    const std::string expected =
        KindEvent(0, kind, false) + KindEvent(10, kind, false, 0x33) + Event(10, {0x90, 60, 100}) + EndOfTrack(5);
    EXPECT_EQ(image.substr(SMF_IMAGE_HEADER_BYTES), expected) << kind.name;
  }
}

TEST_F(MidiChannelEvents, TheStreamConversionPacksEachKindIntoOneShortMessage) {
  for (const ChannelKind& kind : CHANNEL_KINDS) {
    const std::string events = KindEvent(0, kind, false) + Event(7, {0x90, 60, 100}) + EndOfTrack();
    const std::string image = "MThd" + ByteString({0, 0, 0, 6, 0, 0, 0, 1, 0, 96}) + "MTrk" +
                              ByteString({0, 0, 0, static_cast<int>(events.size())}) + events;
    std::vector<BYTE> buffer(MIDI_BUFFER_SIZE, 0);
    const MIDICONVERT c = cMidiStreamPlayer::ConvertEvents(reinterpret_cast<const BYTE*>(image.data()),
                                                           static_cast<uint32_t>(image.size()), SMF_IMAGE_HEADER_BYTES,
                                                           buffer.data(), MIDI_BUFFER_SIZE, "song.mid");
    // Three records of 12 bytes: (delta, stream id, message word).
    ASSERT_EQ(c.nWritten, 36u) << kind.name;
    uint32_t record[9];
    std::memcpy(record, buffer.data(), sizeof(record));
    const uint32_t word = static_cast<uint32_t>(kind.status) | 0x11u << 8 | (kind.dataBytes == 2 ? 0x22u << 16 : 0u);
    EXPECT_EQ(record[2], word) << kind.name;
    EXPECT_EQ(record[3], 7u) << kind.name;
    EXPECT_EQ(record[5], 0x00643C90u) << kind.name;
  }
}

}  // namespace
