// The picture command: pictures shown, replaced and removed by number or by picture ID, with
// their surfaces kept in step with the scene's picture list.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "core/globals.h"
#include "core/message_box.h"
#include "core/report_log.h"
#include "core/system_report.h"
#include "data/database.h"
#include "data/flow_command.h"
#include "flow/cmd_params.h"
#include "flow/cmd_effect.h"
#include "gfx/dd.h"
#include "gfx/scene_surfaces.h"
#include "persist/system_data.h"
#include "persist/system_ini.h"
#include "stage/chara_base.h"
#include "stage/game.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"

namespace {

// DirectDraw memory of a picture: video memory for unstretched pictures (or when stretching
// from video memory is allowed) unless little of it is left; system memory otherwise.
int32_t PictureMemory(int32_t scale) {
  if (g_bUseD3D) return 0;
  if (scale != 100 && !g_SystemIni.m_nDDVideoStretch) return 1;
  int freeMB = 0, totalMB = 0;
  GetVideoMemoryMB(&freeMB, &totalMB);
  return totalMB > 0 && static_cast<int64_t>(freeMB) * 100 / totalMB < 20 ? 1 : 0;
}

template <class L>
typename L::iterator Nth(L& list, size_t i) {
  return i < list.size() ? std::next(list.begin(), static_cast<std::ptrdiff_t>(i)) : list.end();
}

// Loads the picture's bitmap into a new surface at `pos` of the surface list (the end for
// none). False after the failure has been reported; the surface and its load record are gone
// again, so the surface list stays in step with the picture list.
bool LoadPicture(size_t pos, const std::string& file, int32_t scale) {
  IMAGESLOT slot;
  std::strncpy(slot.szFile, file.c_str(), sizeof(slot.szFile) - 1);
  slot.bColorKey = 1;
  slot.nDDMemory = PictureMemory(scale);
  auto surface = Off_Picture.insert(Nth(Off_Picture, pos), DDSURFACEDATA());
  auto record = g_PictureSlots.insert(Nth(g_PictureSlots, pos), slot);
  const int result =
      DDCreateSurfaceFromFile(&*surface, file.c_str(), TRUE, g_nBpp, slot.nDDMemory, 0, nullptr, FALSE, 0, 0, FALSE);
  if (DDCheckSurfaceError(result)) return true;
  ErrorBoxf("%s 読み込み失敗！", file.c_str());
  DebugLogf("%s 読み込み失敗！", file.c_str());
  PostCloseToMainWindow();
  DDReleaseSurface(&*surface);
  Off_Picture.erase(surface);
  g_PictureSlots.erase(record);
  return false;
}

}  // namespace

void ExecPicture(cCharaBase* c, cFlowCommand& cmd) {
  cScenePlay* scene = g_lpScenePlay;
  if (!scene || scene->m_bClosing.load()) return;
  auto& pictures = scene->m_Pictures;
  const int16_t n = static_cast<int16_t>(CmdParam(cmd, 0));
  const int32_t hasId = CmdParam(cmd, 12);
  const int32_t pictureId = CmdParam(cmd, 13);
  if (n == 0 && hasId == 0) {
    scene->ClearPictures();
    return;
  }
  // A number that names no picture shows nothing and leaves the shown ones as they are; it is
  // logged instead of closing the program as a checked access would, so a careless number loses
  // one picture, not the game.
  const auto& defs = g_Database.m_Pictures;
  if (n != 0 && (n < 0 || n >= static_cast<int>(defs.size()))) {
    WriteReportLog("picture %d does not exist", n);
    return;
  }
  const int32_t scale = CmdParam(cmd, 7);
  bool hasPlace = false;
  size_t place = 0;
  bool load = true;
  if (hasId) {
    size_t i = 0;
    auto it = pictures.begin();
    for (; it != pictures.end() && !(it->m_bHasId && it->m_nPictureId == pictureId); ++it) ++i;
    if (it == pictures.end()) {
      if (n == 0) return;
    } else {
      auto surface = Nth(Off_Picture, i);
      pictures.erase(it);
      if (n == 0) {
        if (surface != Off_Picture.end()) DDRemoveSurfaceFromList(Off_Picture, g_PictureSlots, &*surface);
        return;
      }
      hasPlace = true;
      place = i;
      // The same file keeps its surface and its place in the drawing order.
      const std::string& file = defs[static_cast<size_t>(n)].m_strFile;
      if (surface != Off_Picture.end() && std::strcmp(file.c_str(), surface->szFile) == 0)
        load = false;
      else if (surface != Off_Picture.end())
        DDRemoveSurfaceFromList(Off_Picture, g_PictureSlots, &*surface);
    }
  }
  if (load && !LoadPicture(hasPlace ? place : Off_Picture.size(), defs[static_cast<size_t>(n)].m_strFile, scale))
    return;
  auto surface = hasPlace ? Nth(Off_Picture, place) : std::prev(Off_Picture.end());
  const int32_t imageW = surface->nWidth, imageH = surface->nHeight;

  const int32_t placement = CmdParam(cmd, 1);
  const int32_t mode = CmdParam(cmd, 8);
  const int32_t freeze = CmdParam(cmd, 10);
  const int32_t countdown = CmdParam(cmd, 14) ? 1 : TenthsToFrames(CmdParam(cmd, 9));
  int32_t charaId = 0;
  if (placement == PLACE_CHARA && c) charaId = c->m_nId;
  if (placement == PLACE_HERO && !g_Heroes.empty()) charaId = g_Heroes.At(0).m_nId;
  cPictureObj pic;
  pic.Set(n, placement, CmdParam(cmd, 15), CmdParam(cmd, 2), CmdParam(cmd, 3), CmdParam(cmd, 4), CmdParam(cmd, 5),
          imageW, imageH, CmdParam(cmd, 11), CmdParam(cmd, 6), scale, mode, countdown, freeze, charaId, hasId,
          pictureId);
  if (charaId != 0) {
    if (cCharaBase* followed = FindCharaById(charaId)) {
      pic.m_dCentreX = followed->m_dX + (followed->m_nHitWidth >> 1);
      pic.m_dCentreY = followed->m_dY + (followed->m_nHitHeight >> 1);
    }
  }
  if (!g_SystemData.CompatPictureFollow() && (placement == PLACE_CHARA || placement == PLACE_HERO))
    pic.GetPosition(&pic.m_nX, &pic.m_nY);
  auto shown = pictures.insert(hasPlace ? Nth(pictures, place) : pictures.end(), pic);
  if (!freeze) return;

  // A freezing picture holds the game until the advance key or its time, then goes. Shown until
  // the stage ends, it has no end of its own while frozen: it waits for the advance key too.
  if (mode == PICTURE_TIMED)
    scene->m_Wait.Set(WAIT_PICTURE, 0, countdown, 0);
  else
    scene->m_Wait.Set(WAIT_PICTURE, 1, 0, 0);
  scene->RunPauseThread(0);
  const size_t index = static_cast<size_t>(std::distance(pictures.begin(), shown));
  pictures.erase(shown);
  if (auto s = Nth(Off_Picture, index); s != Off_Picture.end())
    DDRemoveSurfaceFromList(Off_Picture, g_PictureSlots, &*s);
  if (scene->m_bClosing.load()) PostCloseToMainWindow();
}
