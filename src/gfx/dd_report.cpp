// The drawing layer's part of the display report: the mode, depth and video memory, and in
// Direct3D mode the device lines with the table of resource-format checks.
#include <cstdio>
#include <string>

#include "core/report_log.h"
#include "core/system_report.h"
#include "gfx/dd.h"
#include "platform/raster/device.h"

namespace {

namespace raster = t4::platform::raster;

void FillDisplayInfo(DISPLAYREPORTINFO* pInfo) {
  pInfo->nWindowMode = g_nWindowMode;
  pInfo->nBpp = g_nBpp;
  pInfo->bDirectDraw = g_lpDD != nullptr && g_lpDDCon != nullptr;
  raster::GraphicsSystem* system = raster::GetGraphicsSystem();
  if (pInfo->bDirectDraw && system) {
    pInfo->dVramTotal = static_cast<double>(system->videoMemoryBytes);
    pInfo->dVramFree = static_cast<double>(system->videoMemoryBytes - system->VideoMemoryUsed());
    pInfo->nRefreshRate = static_cast<uint32_t>(system->GetDisplay().RefreshRate());
  }
}

// What the software renderer supports for each resource usage the report asks about: render
// targets and dynamic, write-only or software-processed resources; no mipmaps, depth buffers,
// displacement maps, patches or point sprites.
struct FORMATCHECKROW {
  const char* szSurface;
  const char* szTexture;
  bool bSurface;
  bool bTexture;
};
constexpr FORMATCHECKROW FORMAT_CHECKS[] = {
    {"AU-SU", "AU-TE", false, false}, {"DE-SU", "DE-TE", false, false}, {"DM-SU", "DM-TE", false, false},
    {"DO-SU", "DO-TE", true, true},   {"DY-SU", "DY-TE", false, true},  {"NP-SU", "NP-TE", false, false},
    {"PO-SU", "PO-TE", false, false}, {"RT-SU", "RT-TE", false, false}, {"RE-SU", "RE-TE", true, true},
    {"SO-SU", "SO-TE", true, true},   {"WR-SU", "WR-TE", true, true},
};

int WriteDirect3DLines(FILE* f, bool bFormatChecks) {
  raster::GraphicsSystem* system = raster::GetGraphicsSystem();
  if (!lpDTCon || !system) return 0;
  std::string line;
  FormatString(line, "TextureMem : %dMB\n",
               static_cast<int>((system->videoMemoryBytes - system->VideoMemoryUsed()) >> 20));
  WriteTextMode(f, line.c_str());
  // The software renderer is the one adapter.
  WriteTextMode(f, "---デバイス0\n");
  WriteTextMode(f, "Description : Software renderer\n");
  FormatString(line, "Driver : t4raster %d\n", system->driverDdiVersion);
  WriteTextMode(f, line.c_str());
  const raster::DeviceCaps& caps = system->caps;
  FormatString(line, "TextureMaxSize : (%d,%d)\n", caps.maxTextureWidth, caps.maxTextureHeight);
  WriteTextMode(f, line.c_str());
  WriteTextMode(f, "TextureMaxBlend : (1,1)\n");
  if (caps.alphaFullScreenFlipOrDiscard) WriteTextMode(f, "D3DCAPS3_ALPHA_FULLSCREEN_FLIP_OR_DISCARD\n");
  if (caps.pow2Textures) WriteTextMode(f, "D3DPTEXTURECAPS_POW2\n");
  if (caps.squareTextures) WriteTextMode(f, "D3DPTEXTURECAPS_SQUAREONLY\n");
  if (caps.dynamicTextures) WriteTextMode(f, "D3DCAPS2_DYNAMICTEXTURES\n");
  if (bFormatChecks) {
    for (const FORMATCHECKROW& row : FORMAT_CHECKS) {
      FormatString(line, "%s%s%s%s\n", row.szSurface, row.bSurface ? "○ " : "× ", row.szTexture,
                   row.bTexture ? "○ " : "× ");
      WriteTextMode(f, line.c_str());
    }
  }
  return 1;
}

}  // namespace

void DDInstallReportHooks() { SetDisplayReportHooks(FillDisplayInfo, WriteDirect3DLines); }
