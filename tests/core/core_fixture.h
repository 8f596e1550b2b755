// A report log in a temporary folder and a main window on the test thread, so that tests can read
// the exact log bytes and see the close requests and sound requests that reach the main window.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/globals.h"
#include "core/report_log.h"
#include "platform/messages.h"
#include "support/temp_dir.h"

namespace t4::test {

class CoreFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    t4::platform::ResetMessageLayerForTests();
    m_logPath = (m_dir.Path() / "Report_Game.txt").string();
    ASSERT_EQ(InitReportLog(m_logPath.c_str()), 1);
    s_received.clear();
    g_hWnd = t4::platform::CreateMessageWindow(&CoreFixture::MainProc, nullptr);
  }
  void TearDown() override {
    g_hWnd = nullptr;
    t4::platform::ResetMessageLayerForTests();
  }

  std::string Log() const { return m_dir.ReadFile("Report_Game.txt"); }

  // Messages posted to the main window so far (taken from the queue and dispatched).
  std::vector<MSG> DrainMainWindow() {
    MSG msg;
    while (t4::platform::PeekMessage(&msg, PM_REMOVE)) t4::platform::DispatchMessage(&msg);
    return s_received;
  }
  int CloseRequests() {
    int n = 0;
    for (const MSG& m : DrainMainWindow()) n += m.message == WM_CLOSE;
    return n;
  }

  static LRESULT MainProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    s_received.push_back(MSG{hWnd, msg, wParam, lParam});
    return 0;
  }

  TempDir m_dir;
  std::string m_logPath;
  static inline std::vector<MSG> s_received;
};

}  // namespace t4::test
