#include "app/boot_dialog.h"

#include "app/dialog_resources.h"
#include "app/main_window.h"
#include "stage/private_messages.h"
#include "core/message_box.h"
#include "persist/project_layout.h"
#include "persist/system_data.h"
#include "persist/system_ini.h"
#include "persist/user_records.h"
#include "platform/messages.h"
#include "platform/ui/dialog_model.h"

cBootDialog* cBootDialog::s_lpInstance = nullptr;

namespace {

constexpr int ID_START = 1000;
constexpr int ID_CANCEL_GAME = 1001;
constexpr int ID_DIRECT3D = 1002;
constexpr int ID_DIRECTDRAW = 1003;
constexpr int ID_NO_ASK = 1004;
constexpr int ID_NOTE = 1005;
constexpr int ID_GROUP = 1006;

}  // namespace

cBootDialog::cBootDialog() {
  SetTemplate(IDD_BOOT, static_cast<cWnd*>(nullptr), nullptr);
  m_bTemplate = 1;
  s_lpInstance = this;
  SetGeometry(0, 0, 100, 100, 640, 480, 0, 0, 0, 0, 0, 0);
  const POINT main = MainWindowPosition();
  m_nPlaceX = static_cast<int32_t>((main.x + 320.0) - 187.0);
  m_nPlaceY = static_cast<int32_t>((main.y + 240.0) - 136.0);
  SetCursorPos(static_cast<int>(m_nPlaceX + 181.9), static_cast<int>(m_nPlaceY + 198.9));
  m_Radios = {cRadioCtrl(&g_BootData.m_nDrawMode, 1), cRadioCtrl(&g_BootData.m_nDrawMode, 0)};
  m_Checks = {cCheckCtrl(&g_BootData.m_bNoBootDialog)};
  m_Statics = {cStaticCtrl()};
}

cBootDialog::~cBootDialog() {
  if (s_lpInstance == this) s_lpInstance = nullptr;
}

int cBootDialog::OnInitDialog(WPARAM wParam, LPARAM lParam) {
  cDialog::OnInitDialog(wParam, lParam);
  t4::platform::ui::DialogModel* model = Model();
  if (model) model->SetCaption(g_SystemData.m_strTitle);
  m_Radios[0].Create(this, ID_DIRECT3D);
  AddCtrl(&m_Radios[0]);
  m_Radios[1].Create(this, ID_DIRECTDRAW);
  AddCtrl(&m_Radios[1]);
  m_Checks[0].Create(this, ID_NO_ASK);
  AddCtrl(&m_Checks[0]);
  m_Statics[0].Create(this, ID_NOTE);
  AddCtrl(&m_Statics[0]);
  UpdateCtrls();
  if (g_SystemIni.m_nEnglish && model) {
    model->SetText(ID_GROUP, "Drawing mode");
    model->SetText(ID_START, "Start");
    model->SetText(ID_CANCEL_GAME, "Cancel");
    const struct {
      int id;
      const char* text;
    } attached[] = {{ID_NOTE, "Configure the detail settings at \"System.ini\"."},
                    {ID_NO_ASK, "Do not ask this dialog again"}};
    for (const auto& a : attached) {
      if (!FindCtrl(a.id)) {
        DebugErrorBoxf("コントロールID 【%u】 が見つかりません！", static_cast<unsigned>(a.id));
        t4::platform::PostMessage(g_MainWindow.m_hWnd, WM_CLOSE, 0, 0);
        continue;
      }
      model->SetText(a.id, a.text);
    }
  }
  return 0;
}

int cBootDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  cDialog::OnCommand(wParam, lParam);
  const int id = LOWORD(wParam);
  if (id == ID_START) {
    UpdateData();
    // A choice that cannot be stored still holds for this run.
    g_BootData.SaveToFile(g_Paths[PATH_BOOT]);
    End(1);
  } else if (id == ID_CANCEL_GAME) {
    End(0);
  }
  return 0;
}
