#include "app/dialog_ctrls.h"

#include "app/dialog.h"
#include "platform/text_codec.h"
#include "platform/ui/dialog_model.h"
#include "platform/window/input_devices.h"

namespace {

t4::platform::ui::DialogModel* ModelOf(cDialog* d) { return d ? d->Model() : nullptr; }

}  // namespace

void cCtrl::Create(cDialog* lpDialog, int nId) {
  m_lpDialog = lpDialog;
  m_hDialog = lpDialog ? lpDialog->m_hWnd : nullptr;
  m_hWnd = m_hDialog;
  m_sId = static_cast<int16_t>(nId);
}

void cCtrl::Enable(bool bEnable) {
  if (auto* m = ModelOf(m_lpDialog)) m->Enable(m_sId, bEnable);
}

void cCheckCtrl::ToCtrl() {
  auto* m = ModelOf(m_lpDialog);
  if (m && m_lpValue) m->SetCheck(m_sId, *m_lpValue != 0);
}

void cCheckCtrl::FromCtrl() {
  auto* m = ModelOf(m_lpDialog);
  if (m && m_lpValue && !m_lpDialog->m_bUpdating) *m_lpValue = m->IsChecked(m_sId) ? 1 : 0;
}

void cRadioCtrl::ToCtrl() {
  auto* m = ModelOf(m_lpDialog);
  if (m && m_lpValue) m->SetCheck(m_sId, *m_lpValue == m_nRadioValue);
}

void cRadioCtrl::FromCtrl() {
  auto* m = ModelOf(m_lpDialog);
  if (m && m_lpValue && !m_lpDialog->m_bUpdating && m->IsChecked(m_sId)) *m_lpValue = m_nRadioValue;
}

void cEditCtrl::Create(cDialog* lpDialog, const EDITDEF& def) {
  cCtrl::Create(lpDialog, def.nId);
  m_lpValue = def.lpValue;
  m_Limits.nBufferLength = def.nBufferLength > 0 ? def.nBufferLength : 4096;
  m_Limits.nMaxLineLength = def.nMaxLineLength > 0 ? def.nMaxLineLength : 1024;
  m_Limits.nMaxLines = def.nMaxLines > 0 ? def.nMaxLines : 32;
  m_Limits.bCountChars = def.bCountChars;
  if (auto* m = ModelOf(m_lpDialog)) m->SetText(m_sId, m_lpValue ? *m_lpValue : std::string());
  m_bInitialising = 1;
  OnChange();
  m_bInitialising = 0;
}

void cEditCtrl::ToCtrl() {
  auto* m = ModelOf(m_lpDialog);
  if (m && m_lpValue) m->SetText(m_sId, *m_lpValue);
}

void cEditCtrl::FromCtrl() {
  auto* m = ModelOf(m_lpDialog);
  if (m && m_lpValue && !m_lpDialog->m_bUpdating) *m_lpValue = m->Text(m_sId);
}

void cEditCtrl::OnChange() {
  auto* m = ModelOf(m_lpDialog);
  if (!m || m_bBusy) return;
  m_bBusy = 1;
  // The text as a buffer of the control's size reads it: the terminating zero takes one place.
  const int count = m_Limits.bCountChars ? m_Limits.nBufferLength * 2 - 1 : m_Limits.nBufferLength;
  const std::string full = m->Text(m_sId);
  EDITSTATE now;
  now.strText = full.substr(0, t4::platform::SjisCutLength(full, count > 0 ? static_cast<size_t>(count - 1) : 0));
  m->GetSel(m_sId, now.nSelStart, now.nSelEnd);
  m_nSavedSelStart = now.nSelStart;
  m_nSavedSelEnd = now.nSelEnd;
  const bool bBackspace = (GetAsyncKeyState(VK_BACK) & 0x8000) != 0;
  const EDITSTATE out =
      CheckEditText(now, m_strPrev, m_Limits, bBackspace, m_bInitialising != 0, m_lpValue ? *m_lpValue : std::string());
  m->SetText(m_sId, out.strText);
  if (!m_bInitialising) m->SetSel(m_sId, static_cast<long>(out.nSelStart), static_cast<long>(out.nSelEnd));
  m_strPrev = m->Text(m_sId);
  m_bBusy = 0;
}
