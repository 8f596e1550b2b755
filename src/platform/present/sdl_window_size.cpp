#include "platform/present/sdl_window_size.h"

#include <SDL.h>

#ifdef T4_HAVE_X11
#include <SDL_syswm.h>
#endif

namespace t4::platform {

bool RealWindowSize(SDL_Window* window, int& width, int& height) {
#if defined(T4_HAVE_X11) && defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes)) return false;
  width = attributes.width;
  height = attributes.height;
  return width > 0 && height > 0;
#else
  (void)window;
  (void)width;
  (void)height;
  return false;
#endif
}

}  // namespace t4::platform
