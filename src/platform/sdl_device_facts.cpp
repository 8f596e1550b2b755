#include <SDL.h>
#include <fontconfig/fontconfig.h>

#include "platform/system_info.h"

namespace t4::platform {

DisplaySize SdlDeviceFacts::GetDisplaySize() {
  DisplaySize size;
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return size;
  SDL_DisplayMode mode{};
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
    size.width = mode.w;
    size.height = mode.h;
  }
  return size;
}

SystemUiFont SdlDeviceFacts::GetSystemUiFont() {
  SystemUiFont font;
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (!config) return font;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif:lang=ja"));
  if (pattern) {
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(config, pattern, &result)) {
      FcChar8* family = nullptr;
      if (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch && family) {
        font.family = reinterpret_cast<const char*>(family);
      }
      double pixelSize = 0;
      if (FcPatternGetDouble(match, FC_PIXEL_SIZE, 0, &pixelSize) == FcResultMatch) {
        font.pixelSize = static_cast<int>(pixelSize + 0.5);
      }
      int spacing = FC_PROPORTIONAL;
      if (FcPatternGetInteger(match, FC_SPACING, 0, &spacing) == FcResultMatch) {
        font.fixedPitch = spacing == FC_MONO || spacing == FC_CHARCELL;
      }
      FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
  }
  FcConfigDestroy(config);
  return font;
}

}  // namespace t4::platform
