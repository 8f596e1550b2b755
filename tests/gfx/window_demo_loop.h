// The event loop of the window demos: keeps presenting the drawn frame, as the game does, says
// READY once the window is shown on the screen and a frame has been presented into it, and
// returns when the test creates `doneFile`.
#pragma once

#include <SDL.h>

#include <cstdio>
#include <filesystem>

#include "gfx/dd.h"
#include "platform/present/sdl_display.h"

namespace t4::test {

inline void PresentUntilDone(t4::platform::SdlDisplay& display, const char* doneFile) {
  bool shown = false;
  bool ready = false;
  for (int i = 0; i < 2000 && !std::filesystem::exists(doneFile); ++i) {
    SDL_Event e;
    bool exposed = false;
    while (SDL_PollEvent(&e)) {
      if (e.type == SDL_WINDOWEVENT &&
          (e.window.event == SDL_WINDOWEVENT_SHOWN || e.window.event == SDL_WINDOWEVENT_EXPOSED))
        exposed = true;
    }
    // The server shows the window some time after it was made: present again once it is there.
    if (exposed || i % 10 == 0) DDFlip(60);  // keep frames coming, as the game does
    shown = shown || exposed;
    const bool presented = display.Pump();
    if (shown && presented && !ready) {
      ready = true;
      std::printf("READY\n");
      std::fflush(stdout);
    }
    SDL_Delay(10);
  }
  if (!ready) {
    std::printf("NOT SHOWN\n");
    std::fflush(stdout);
  }
}

}  // namespace t4::test
