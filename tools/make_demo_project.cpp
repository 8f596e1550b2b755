// Writes the demo project: the project's own records for System.dat, the database, the world map,
// the common palette and three stages, and the bitmaps, sound effects and MIDI song made here.
// Usage: make_demo_project OUTPUT_DIR
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "data/data_file.h"
#include "data/database.h"
#include "data/project_refs.h"
#include "persist/system_data.h"
#include "platform/files.h"
#include "demo_project.h"
#include "support/wav_writer.h"

namespace fs = std::filesystem;
using namespace t4::test;

namespace demo {

bool WriteBytes(const fs::path& path, const std::string& bytes) {
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

namespace {

template <class T>
bool WriteList(const char* gamePath, cSafeVector<T>& records) {
  FILE* fp = t4::platform::OpenFile(gamePath, "wb");
  if (!fp) return false;
  const int32_t version = 902;
  const int32_t count = static_cast<int32_t>(records.size());
  fwrite(&version, 4, 1, fp);
  fwrite(&count, 4, 1, fp);
  for (T& r : records) r.Save(fp);
  return fclose(fp) == 0;
}

cSoundDef Sound(const char* name, const char* file) {
  cSoundDef sound;
  sound.m_strName = name;
  sound.m_strFile = file;
  return sound;
}

// A short square-wave blip that falls off: `period` samples per half wave.
std::string Blip(int period, int length) {
  std::vector<int> samples;
  for (int i = 0; i < length; ++i) samples.push_back(128 + ((i / period) % 2 ? 40 : -40) * (length - i) / length);
  WavSpec spec;
  spec.samples = Pcm8(samples);
  return MakeWav(spec);
}

// Notes one after another, each `length` samples of a square wave with `period` samples per half
// wave that falls off.
std::string Tune(std::initializer_list<std::pair<int, int>> notes) {
  std::vector<int> samples;
  for (const auto& [period, length] : notes)
    for (int i = 0; i < length; ++i) samples.push_back(128 + ((i / period) % 2 ? 40 : -40) * (length - i) / length);
  WavSpec spec;
  spec.samples = Pcm8(samples);
  return MakeWav(spec);
}

}  // namespace

// The system sounds that are not the plain accept blip: cursor, cancel, buzzer, spring, time
// warning, stage clear and extra life.
bool WriteSystemSounds(cSafeVector<std::string>& names) {
  struct SystemSound {
    int id;
    const char* name;
    std::string wav;
  };
  const SystemSound sounds[] = {
      {0, "cursor.wav", Tune({{8, 900}})},
      {2, "cancel.wav", Tune({{14, 1000}, {22, 1400}})},
      {3, "buzz.wav", Tune({{60, 3000}})},
      {10, "spring.wav", Tune({{30, 700}, {20, 700}, {12, 900}})},
      {13, "warning.wav", Tune({{10, 1500}})},
      {14, "clear.wav", Tune({{21, 2000}, {17, 2000}, {14, 2000}, {10, 5000}})},
      {15, "extra.wav", Tune({{14, 1200}, {11, 1200}, {9, 1200}, {7, 3000}})},
  };
  bool ok = true;
  for (const SystemSound& sound : sounds) {
    names.At(sound.id) = std::string("wave\\") + sound.name;
    ok = ok && WriteBytes(std::string("wave/") + sound.name, sound.wav);
  }
  return ok;
}

bool WriteDatabase() {
  cDatabase& db = g_Database;
  db.SetDefault();
  db.m_AnimeSets.resize(1);
  db.m_Animes.resize(1);
  db.m_CharaExcs.resize(1);
  db.m_SwordTypes.resize(1);
  db.m_Effects.resize(1);
  db.m_CharaEffects.resize(1);
  db.m_ScrEffects.resize(1);
  db.m_Pictures.resize(1);
  db.m_Sounds.assign(1, cSoundDef());
  db.m_Sounds.push_back(Sound("ジャンプ", "wave\\jump.wav"));
  db.m_Sounds.push_back(Sound("コイン", "wave\\coin.wav"));
  db.m_Sounds.push_back(Sound("ショット", "wave\\shot.wav"));
  db.m_Bgms.assign(1, cBgmDef());
  for (const char* file : {"bgm\\title.mid", "bgm\\map.mid", "bgm\\field.mid", "bgm\\castle.mid"}) {
    cBgmDef song;
    song.m_strFile = file;
    db.m_Bgms.push_back(song);
  }
  bool ok = WriteList("data\\database\\AnimeSet.dat", db.m_AnimeSets);
  ok = ok && WriteList("data\\database\\Anime.dat", db.m_Animes);
  ok = ok && WriteList("data\\database\\Bmp_CharaExc.dat", db.m_CharaExcs);
  ok = ok && WriteList("data\\database\\SwordType.dat", db.m_SwordTypes);
  ok = ok && WriteList("data\\database\\Effect.dat", db.m_Effects);
  ok = ok && WriteList("data\\database\\CharaEffect.dat", db.m_CharaEffects);
  ok = ok && WriteList("data\\database\\ScrEffect.dat", db.m_ScrEffects);
  ok = ok && WriteList("data\\database\\Picture.dat", db.m_Pictures);
  ok = ok && WriteList("data\\database\\Sound.dat", db.m_Sounds);
  ok = ok && WriteList("data\\database\\Bgm.dat", db.m_Bgms);
  const std::pair<const char*, int> blips[] = {
      {"wave/accept.wav", 20}, {"wave/jump.wav", 12}, {"wave/coin.wav", 6}, {"wave/shot.wav", 30}};
  for (const auto& [file, period] : blips) ok = ok && WriteBytes(file, Blip(period, 2205));
  // Definitions saved from here on keep their references into these lists.
  SetDataRefs(&g_ProjectDataRefs);
  return ok;
}

}  // namespace demo

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_demo_project OUTPUT_DIR\n");
    return 2;
  }
  const fs::path root = argv[1];
  fs::create_directories(root);
  fs::current_path(root);
  for (const char* dir : {"data/database", "data/stg4", "bmp/plt", "bmp/hbt", "wave", "bgm", "user_data"})
    fs::create_directories(dir);
  g_nDataVersion = 902;

  cSystemData system;
  system.SetDefaults();
  system.m_strTitle = "ターンウィック4 デモ";
  for (std::string& sound : system.m_SystemSounds) sound = "wave\\accept.wav";
  bool ok = demo::WriteSystemSounds(system.m_SystemSounds);
  // The status line shows score, stage score, HP and lives: the hero has no SP.
  system.m_StatusItems.At(3).m_bShown = 0;
  system.m_SceneBgm.At(SCENE_BGM_TITLE) = 1;
  system.m_SceneBgm.At(SCENE_BGM_WORLD_MAP) = demo::BGM_MAP;
  system.m_SceneBgm.At(SCENE_BGM_CHALLENGE) = demo::BGM_MAP;
  // The title menu as a framed list of the project's captions (the demo has no menu-item picture).
  system.m_bPlainTitleMenu = 0;
  // Three challenge stages, all open from the start; the list keeps each one's best.
  system.m_nChallengeCount = 3;
  system.m_bAllChallengesOpen = 1;
  ok = ok && system.SaveToFile("data\\System.dat") != 0;
  ok = ok && demo::WriteDatabase();
  ok = ok && demo::WriteStages();
  ok = ok && demo::WriteWorldMap();
  ok = ok && demo::WritePictures();
  ok = ok && demo::WriteColourTables();

  ok = ok && demo::WriteSongs();

  // A window of the game's own size, Direct3D drawing, no start-up question.
  ok = ok && demo::WriteBytes("System.ini", "Direct3D=1\nWindowMode=1\nShowFps=0\nExit\n");
  if (!ok) {
    std::fprintf(stderr, "make_demo_project: could not write the demo project in %s\n", argv[1]);
    return 1;
  }
  return 0;
}
