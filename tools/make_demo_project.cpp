// Writes the demo project: the project's own records for System.dat, the database, the world map,
// the common palette and the stages, and small bitmaps, sound effects and a MIDI song made here.
// Usage: make_demo_project OUTPUT_DIR
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data/data_file.h"
#include "data/database.h"
#include "data/palette.h"
#include "data/stage.h"
#include "data/world_map.h"
#include "persist/system_data.h"
#include "platform/files.h"
#include "support/bmp_writer.h"
#include "support/smf_writer.h"
#include "support/wav_writer.h"

namespace fs = std::filesystem;
using namespace t4::test;

namespace {

bool WriteBytes(const fs::path& path, const std::string& bytes) {
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// The 256 colours every picture of the demo is drawn with: black, a grey ramp, then colour ramps.
std::vector<uint32_t> DemoPalette() {
  std::vector<uint32_t> p(256);
  for (int i = 0; i < 256; ++i) {
    const int v = (i % 16) * 17;
    switch ((i / 16) % 4) {
      case 0: p[i] = (v << 16) | (v << 8) | v; break;
      case 1: p[i] = (v << 16) | ((v / 2) << 8); break;
      case 2: p[i] = (v / 3 << 16) | (v << 8) | (v / 3); break;
      default: p[i] = ((v / 2) << 8) | v; break;
    }
  }
  p[0] = 0xFF00FF;   // the transparent colour: the palette bitmap's top-left pixel
  p[16] = 0x203040;  // the empty screen between scenes
  return p;
}

std::string Picture(int w, int h, const std::vector<uint32_t>& palette, int (*index)(int x, int y)) {
  BmpImage img;
  img.width = w;
  img.height = h;
  img.bitCount = 8;
  img.palette = palette;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.pixels.push_back(static_cast<uint32_t>(index(x, y)));
  return EncodeBmp(img);
}

template <class T>
bool WriteList(const char* gamePath, std::vector<T> records) {
  FILE* fp = t4::platform::OpenFile(gamePath, "wb");
  if (!fp) return false;
  const int32_t version = 902;
  const int32_t count = static_cast<int32_t>(records.size());
  fwrite(&version, 4, 1, fp);
  fwrite(&count, 4, 1, fp);
  for (T& r : records) r.Save(fp);
  return fclose(fp) == 0;
}

bool WriteDatabase() {
  cSoundDef jump;
  jump.m_strFile = "wave\\jump.wav";
  cBgmDef song;
  song.m_strFile = "bgm\\title.mid";
  bool ok = WriteList("data\\database\\AnimeSet.dat", std::vector<cAnimeSet>(1));
  ok = ok && WriteList("data\\database\\Anime.dat", std::vector<cAnimeData>(1));
  ok = ok && WriteList("data\\database\\Bmp_CharaExc.dat", std::vector<cBmpCharaExc>(1));
  ok = ok && WriteList("data\\database\\SwordType.dat", std::vector<cSwordType>(1));
  ok = ok && WriteList("data\\database\\Effect.dat", std::vector<cEffectDef>(1));
  ok = ok && WriteList("data\\database\\CharaEffect.dat", std::vector<cCharaEffectDef>(1));
  ok = ok && WriteList("data\\database\\ScrEffect.dat", std::vector<cScrEffectDef>(1));
  ok = ok && WriteList("data\\database\\Picture.dat", std::vector<cPictureDef>(1));
  ok = ok && WriteList("data\\database\\Sound.dat", std::vector<cSoundDef>{cSoundDef(), jump});
  ok = ok && WriteList("data\\database\\Bgm.dat", std::vector<cBgmDef>{cBgmDef(), song});
  return ok;
}

bool WriteStage(const char* gamePath, const char* title, int width) {
  cStage stage;
  stage.m_strTitle = title;
  stage.m_nWidth = width;
  stage.m_nHeight = 15;
  cCharaDef hero;
  hero.m_sGraphicNo = 1;
  hero.m_cController = 0;
  stage.m_CharaPlaces.push_back(hero);
  return stage.SaveToFile(gamePath) != 0;
}

}  // namespace

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
  system.m_SceneBgm.At(SCENE_BGM_TITLE) = 1;
  bool ok = system.SaveToFile("data\\System.dat") != 0;
  ok = ok && WriteDatabase();
  cWorldMap map;
  ok = ok && map.SaveToFile("data\\WorldMap.dat") != 0;
  cPalette common;
  ok = ok && common.SaveToFile("data\\CommonPalette.cplt4") != 0;
  ok = ok && WriteStage("data\\stg4\\demo-1.stg4", "はじまりの草原", 40);
  ok = ok && WriteStage("data\\stg4\\demo-2.stg4", "石の洞窟", 60);

  const std::vector<uint32_t> pal = DemoPalette();
  struct Bitmap {
    const char* file;
    int w, h;
    int (*index)(int, int);
  };
  const Bitmap bitmaps[] = {
      {"bmp/plt/Palette.bmp", 16, 16, [](int x, int y) { return y * 16 + x; }},
      {"bmp/Loading.bmp", 640, 480, [](int x, int y) { return (x / 32 + y / 32) % 2 ? 16 : 40; }},
      {"bmp/Debug.bmp", 64, 64, [](int x, int) { return 1 + x % 15; }},
      {"bmp/Symbol.bmp", 256, 16, [](int x, int y) { return (x + y) % 16 ? 0 : 240; }},
      {"bmp/Window.bmp", 96, 96, [](int x, int y) { return x < 2 || y < 2 || x > 93 || y > 93 ? 241 : 20; }},
      {"bmp/Title.bmp", 640, 480, [](int x, int y) { return 32 + (y / 30) % 16 + ((x / 80) % 2) * 16; }},
      {"bmp/GameMode.bmp", 320, 64, [](int x, int) { return 48 + x % 16; }},
      {"bmp/Accessory.bmp", 256, 256, [](int x, int y) { return (x / 16 + y / 16) % 2 ? 0 : 210; }},
      {"bmp/Block.bmp", 320, 320, [](int x, int y) { return x % 32 == 0 || y % 32 == 0 ? 33 : 36 + (x / 32) % 8; }},
      {"bmp/Character1.bmp", 256, 256,
       [](int x, int y) { return (x % 32 - 16) * (x % 32 - 16) + (y % 32 - 16) * (y % 32 - 16) < 150 ? 56 : 0; }},
      {"bmp/Character2.bmp", 256, 256, [](int x, int y) { return (x % 32) > 4 && (y % 32) > 8 ? 24 : 0; }},
      {"bmp/Item.bmp", 256, 32, [](int x, int y) { return (x % 32 - 16) * (x % 32 - 16) + (y - 16) * (y - 16) < 60 ? 60 : 0; }},
      {"bmp/Item_Mini.bmp", 128, 16, [](int x, int) { return x % 16 > 4 ? 61 : 0; }},
      {"bmp/Shot.bmp", 128, 16, [](int x, int y) { return (x % 16 - 8) * (x % 16 - 8) + (y - 8) * (y - 8) < 16 ? 28 : 0; }},
      {"bmp/Mark.bmp", 480, 480, [](int, int) { return 0; }},
      {"bmp/StatusWindow.bmp", 640, 32, [](int, int y) { return y < 2 ? 241 : 18; }},
      {"bmp/Word.bmp", 256, 64, [](int x, int) { return 240 + x % 2; }},
  };
  for (const Bitmap& b : bitmaps) ok = ok && WriteBytes(b.file, Picture(b.w, b.h, pal, b.index));

  for (const char* name : {"wave/accept.wav", "wave/jump.wav"}) {
    std::vector<int> samples;
    for (int i = 0; i < 2205; ++i) samples.push_back(128 + ((i / 20) % 2 ? 40 : -40) * (2205 - i) / 2205);
    WavSpec spec;
    spec.samples = Pcm8(samples);
    ok = ok && WriteBytes(name, MakeWav(spec));
  }
  std::string track = Tempo(0, 500000) + Event(0, {0xC0, 0});
  for (int note : {60, 64, 67, 72, 67, 64}) track += Event(0, {0x90, note, 90}) + Event(96, {0x80, note, 0});
  track += EndOfTrack();
  SmfSpec smf;
  smf.format = 0;
  smf.tracks = {track};
  ok = ok && WriteBytes("bgm/title.mid", MakeSmf(smf));

  // A window of the game's own size, Direct3D drawing, no start-up question.
  ok = ok && WriteBytes("System.ini", "Direct3D=1\nWindowMode=1\nShowFps=0\nExit\n");
  if (!ok) {
    std::fprintf(stderr, "make_demo_project: could not write the demo project in %s\n", argv[1]);
    return 1;
  }
  return 0;
}
