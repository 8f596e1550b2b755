// The program's entry after main: the command line, the back ends of the run, the single
// instance, the main window, start-up, the game thread, the window thread's message pump and the
// shutdown.
#pragma once

#include <string>

struct RUNOPTIONS {
  std::string strProjectDir;
  std::string strTestPlayStage;
  std::string strScreenshot;
  std::string strSoundFont;
  std::string strEditorSocket;
  int nWindowMode = -1;  // -1 System.ini, 0 full screen, 1 window
  int nScale = 0;
  int nFrames = 0;
  bool bHeadless = false;
  bool bTestPlay = false;
};

// Parses the options after the program name. False with `error` set for a bad command line.
bool ParseRunOptions(int argc, char** argv, RUNOPTIONS& options, std::string& error);
// Runs the game in the current folder; returns the exit status.
int RunProgram(const RUNOPTIONS& options);
