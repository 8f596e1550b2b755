// The pieces of the demo-project builder. Every writer works in the current folder (the project
// folder) and returns false when a file could not be written.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace demo {

// Writes `bytes` to `path`, making its folders.
bool WriteBytes(const std::filesystem::path& path, const std::string& bytes);

// The 256 colours of every picture: entry 0 is the transparent colour, entry 16 the empty
// screen, and sixteen ramps of sixteen shades (ramp r, shade s is entry r x 16 + s).
std::vector<uint32_t> Colours();

// The project's pictures: the palette bitmap, loading, title and window pictures, the block,
// character, item and shot sheets, the world-map chips and point icons.
bool WritePictures();

// The 8-bit mixing tables bmp/hbt/hbt00.dat to hbt23.dat, one per palette variation, from Colours().
bool WriteColourTables();

// Sound.dat entries the definitions use.
constexpr int16_t SOUND_JUMP = 1;
constexpr int16_t SOUND_COIN = 2;
constexpr int16_t SOUND_SHOT = 3;
// Bgm.dat entries: the title's song (also the first stages'), the world map's, the fields' and
// the castle's.
constexpr int32_t BGM_STAGE = 1;
constexpr int32_t BGM_MAP = 2;
constexpr int32_t BGM_FIELD = 3;
constexpr int32_t BGM_CASTLE = 4;

// The database lists (also installed in g_Database, so that saving definitions keeps their
// references) and the sound files they name.
bool WriteDatabase();

// The common palette and the stages. The database must be in g_Database.
bool WriteStages();

// Stage files of the world map's points: a series of two stages, then a stage of its own.
inline constexpr const char* STAGE_SERIES_1 = "data\\stg4\\demo1-1.stg4";
inline constexpr const char* STAGE_SERIES_2 = "data\\stg4\\demo2-1.stg4";
inline constexpr const char* STAGE_SERIES_3 = "data\\stg4\\demo3-1.stg4";
inline constexpr const char* STAGE_SERIES_4 = "data\\stg4\\demo4-1.stg4";

bool WriteWorldMap();

// The songs of Bgm.dat's entries.
bool WriteSongs();

}  // namespace demo
