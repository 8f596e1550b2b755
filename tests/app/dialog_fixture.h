// Dialog tests: a project folder of their own, the scripted dialog host and message boxes, a
// headless main window (work area 3200 x 2400) and the settings the dialogs read, put back after.
#pragma once

#include <gtest/gtest.h>

#include "stage/game.h"
#include "app/hook.h"
#include "app/main_window.h"
#include "app/wnd.h"
#include "persist/system_data.h"
#include "persist/system_ini.h"
#include "persist/user_records.h"
#include "platform/message_box.h"
#include "platform/messages.h"
#include "platform/ui/dialog_host.h"
#include "platform/window/input_devices.h"
#include "platform/window/window_host.h"
#include "support/temp_dir.h"

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    t4::platform::ResetMessageLayerForTests();
    t4::platform::EnsureMessageQueue();
    t4::platform::ResetInputDevices();
    RecordMainWindowPosition(0, 0);
    g_SystemIni.m_nEnglish = 0;
    g_SystemIni.m_nWindowMode = 1;
    g_Game.m_nTitleChoice = 0;
  }
  void TearDown() override {
    UnhookKeyboard();
    RecordMainWindowPosition(0, 0);
    g_SystemIni = m_ini;
    g_Game.m_nTitleChoice = m_titleChoice;
    g_OptionData.m_strFixedRankingName = m_rankName;
    g_BootData.m_nDrawMode = m_drawMode;
    g_BootData.m_bNoBootDialog = m_noBoot;
    g_SystemData.m_strTitle = m_title;
    t4::platform::ResetMessageLayerForTests();
  }

  // Whether the pointer was put on control `id` when the dialog opened.
  static bool PointerOn(const t4::platform::ui::DialogSnapshot& s, int id) {
    const t4::platform::ui::ControlState* c = s.Find(id);
    if (!c) return false;
    const t4::platform::ui::Rect r{s.clientX + c->rect.x, s.clientY + c->rect.y, c->rect.w, c->rect.h};
    return r.Contains(s.cursorX, s.cursorY);
  }

  t4::test::TempDir dir;
  t4::test::ScopedCurrentDir cd{dir.Path()};
  t4::platform::ui::ScriptedDialogHost host;
  t4::platform::ScriptedMessageBoxBackend boxes;
  t4::platform::HeadlessWindowHost window;
  t4::platform::ui::ScopedDialogHost installedHost{host};
  t4::platform::ScopedMessageBoxBackend installedBoxes{boxes};
  ScopedMainWindowHost installedWindow{window};

 private:
  cSystemIni m_ini = g_SystemIni;
  int32_t m_titleChoice = g_Game.m_nTitleChoice;
  std::string m_rankName = g_OptionData.m_strFixedRankingName;
  int32_t m_drawMode = g_BootData.m_nDrawMode;
  int32_t m_noBoot = g_BootData.m_bNoBootDialog;
  std::string m_title = g_SystemData.m_strTitle;
};
