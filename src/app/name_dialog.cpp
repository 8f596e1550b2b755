#include "app/name_dialog.h"

#include "app/dialog_resources.h"
#include "stage/game.h"
#include "stage/scene_play.h"
#include "persist/system_ini.h"
#include "persist/user_records.h"
#include "platform/ui/dialog_model.h"

cNameDialog* cNameDialog::s_lpInstance = nullptr;

namespace {

constexpr int ID_OK_BUTTON = 1000;
constexpr int ID_NAME = 1003;
constexpr int ID_LABEL = 1007;
constexpr int TITLE_CHOICE_OPTIONS = 5;

// The options' ranking name, else the new ranking entry of the play scene that asks.
std::string* BoundName() {
  if (g_Game.m_nTitleChoice == TITLE_CHOICE_OPTIONS) return &g_OptionData.m_strFixedRankingName;
  return g_lpScenePlay ? &g_lpScenePlay->m_strRankName : nullptr;
}

}  // namespace

cNameDialog::cNameDialog() {
  SetTemplate(IDD_NAME_ENTRY, static_cast<cWnd*>(nullptr), nullptr);
  m_bTemplate = 1;
  s_lpInstance = this;
  SetGeometry(0, 0, 100, 100, 640, 480, 0, 0, 0, 0, 0, 0);
  const POINT main = g_SystemIni.m_nWindowMode != 0 ? MainWindowPosition() : POINT{0, 0};
  m_nPlaceX = main.x + 240;
  m_nPlaceY = main.y + 220;
  SetCursorPos(m_nPlaceX + 80, m_nPlaceY + 65);
  if (std::string* name = BoundName()) {
    EDITDEF def;
    def.nId = ID_NAME;
    def.lpValue = name;
    def.nBufferLength = 4;
    def.nMaxLineLength = 3;
    def.nMaxLines = 1;
    def.bCountChars = 1;
    m_EditDefs.push_back(def);
  }
}

cNameDialog::~cNameDialog() {
  if (s_lpInstance == this) s_lpInstance = nullptr;
}

int cNameDialog::OnInitDialog(WPARAM wParam, LPARAM lParam) {
  cDialog::OnInitDialog(wParam, lParam);
  m_Edits.assign(m_EditDefs.size(), cEditCtrl());
  for (size_t i = 0; i < m_EditDefs.size(); ++i) {
    m_Edits[i].Create(this, m_EditDefs[i]);
    AddCtrl(&m_Edits[i]);
  }
  UpdateCtrls();
  t4::platform::ui::DialogModel* model = Model();
  // With no name to enter, the box is not shown: only the label and OK.
  if (m_Edits.empty() && model) model->Show(ID_NAME, false);
  if (!m_Edits.empty() && model) {
    // The whole old name is selected, so that typing replaces it.
    model->SetFocus(ID_NAME);
    model->SetSel(ID_NAME, 0, t4::platform::ui::SEL_TO_END);
  }
  if (g_SystemIni.m_nEnglish && model) model->SetText(ID_LABEL, "     Name");
  return 0;
}

int cNameDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  cDialog::OnCommand(wParam, lParam);
  if (LOWORD(wParam) == ID_OK_BUTTON) {
    UpdateData();
    End(1);
  }
  return 0;
}
