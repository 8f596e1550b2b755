// The size the window system really gave a window, which can differ from SDL's own idea of it: a
// full-screen window on an X server without a window manager keeps its size, while SDL takes it
// to be as large as the desktop.
#pragma once

struct SDL_Window;

namespace t4::platform {

// True with the window's drawable size in pixels when the window system can tell it.
bool RealWindowSize(SDL_Window* window, int& width, int& height);

}  // namespace t4::platform
