// The requests the game thread sends to the main window, and their completion flags.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/win_types.h"

constexpr UINT WM_USER_NAME_ENTRY = WM_USER + 1;
constexpr UINT WM_USER_LOAD_STAGE = WM_USER + 2;
constexpr UINT WM_USER_LOAD_REPLAY = WM_USER + 3;
constexpr UINT WM_USER_SAVE_REPLAY = WM_USER + 4;
constexpr UINT WM_USER_SOUND = WM_USER + 5;
constexpr UINT WM_USER_MUSIC = WM_USER + 6;
constexpr UINT WM_USER_RESTORE_DEVICE = WM_USER + 100;

// wParam of a WM_CLOSE that must not ask (the frame limit, a termination signal, a second copy
// taking over).
constexpr WPARAM CLOSE_WITHOUT_QUESTION = 1;

extern std::atomic<int32_t> g_bNameEntryDone;

// The modal dialogs of the requests (the program installs the file selection and the name entry;
// without them a request counts as cancelled). Mode 0 load a stage, 1 load a replay, 2 save a
// replay (with `defaultName`); true with the chosen path.
using FileDialogFn = bool (*)(int nMode, const std::string& defaultName, std::string& path);
using NameDialogFn = void (*)();
void SetRequestDialogs(FileDialogFn fileDialog, NameDialogFn nameDialog);

// The program's own dialogs for the requests.
bool RunFileDialog(int nMode, const std::string& defaultName, std::string& path);
void RunNameDialog();
