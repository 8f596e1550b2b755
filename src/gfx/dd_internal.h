// Helpers shared by the drawing layer's files.
#pragma once

#include <optional>

#include "gfx/dd.h"
#include "platform/raster/bmp_reader.h"

namespace t4::gfx {

t4::platform::raster::PixelFormat ToRasterFormat(D3DFORMAT format);
D3DFORMAT ToD3DFormat(t4::platform::raster::PixelFormat format);
// Copies a name into a record's char[260]; false (nothing copied) when it does not fit.
bool CopyName(char (&dst)[SURFACE_NAME_SIZE], const char* src);
// Reads a bitmap by the game's own relative path (what LoadImageA did for the layer).
std::optional<t4::platform::raster::Bitmap> LoadBitmapFile(const char* szFile);
t4::platform::raster::GraphicsSystem& System();
// The renderer's stage state for a draw with the given operations.
t4::platform::raster::StageState StageFor(D3DTEXTUREOP colorOp, D3DTEXTUREOP alphaOp);
// The record's own pixels: its texture level or back buffer (render mode) or its surface.
RasterSurface* PixelsOf(DDSURFACEDATA* lpSD);
// Routes error boxes through the layer while it owns a full screen.
void InstallMessageBoxHook();
void CheckTextureSize(int w, int h, const char* szWhat);
void FailTextureAndClose();

}  // namespace t4::gfx
