// The event loop of the window demos: keeps presenting the drawn frame, as the game does, says
// READY once the window has shown it, and returns when the test creates `doneFile`.
#pragma once

#include <SDL.h>

#include <cstdio>
#include <filesystem>

#include "gfx/dd.h"
#include "platform/present/sdl_display.h"

namespace t4::test {

inline void PresentUntilDone(t4::platform::SdlDisplay& display, const char* doneFile) {
  for (int i = 0; i < 2000 && !std::filesystem::exists(doneFile); ++i) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
    }
    display.Pump();
    if (i == 5) {
      std::printf("READY\n");
      std::fflush(stdout);
    }
    if (i % 10 == 0) DDFlip(60);  // keep frames coming, as the game does
    SDL_Delay(10);
  }
}

}  // namespace t4::test
