// Standard MIDI Files made in code: events as bytes, tracks, and the file around them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace t4::test {

// A variable-length quantity of up to four bytes (larger values are written as their low 28 bits).
std::string VarLen(uint32_t value);
// Raw bytes.
std::string ByteString(std::initializer_list<int> bytes);
// One event: its delta time, then the bytes as given (status included or left out for running
// status).
std::string Event(uint32_t delta, std::initializer_list<int> bytes);
// A meta event FF type with its length and data.
std::string Meta(uint32_t delta, int type, const std::string& data);
// A tempo event (FF 51 03) in microseconds per quarter note.
std::string Tempo(uint32_t delta, uint32_t microseconds);
// A system-exclusive event: status (F0 or F7), length, data.
std::string SysEx(uint32_t delta, const std::string& data, int status = 0xF0);
// FF 2F 00.
std::string EndOfTrack(uint32_t delta = 0);

struct SmfSpec {
  int format = 1;
  int division = 96;
  std::vector<std::string> tracks;  // event bytes of each track, end-of-track included
  int trackCount = -1;              // the header's count; -1: the number of tracks
};

// "MThd", length 6, format, track count, division, then each track as "MTrk", length, events.
std::string MakeSmf(const SmfSpec& spec);

}  // namespace t4::test
