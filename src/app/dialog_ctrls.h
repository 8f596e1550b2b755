// The control objects a dialog binds to the controls of its description: each one moves one
// program variable into its control and back, and an edit control keeps its text within its
// length limits while the player types.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/win_types.h"

class cDialog;

constexpr int32_t CTRL_STATIC = 0;
constexpr int32_t CTRL_EDIT = 2;
constexpr int32_t CTRL_CHECK = 5;
constexpr int32_t CTRL_RADIO = 6;

class cCtrl {
 public:
  virtual ~cCtrl() = default;
  virtual void Enable(bool bEnable);
  virtual void ToCtrl() {}
  virtual void FromCtrl() {}
  virtual void OnChange() {}
  virtual int OnNotify(int, LPARAM) { return 0; }
  virtual int OnScroll(WPARAM, LPARAM) { return 0; }
  virtual void Nop7() {}
  virtual void Nop8() {}
  virtual void OnLeave() {}
  virtual void Nop10() {}
  virtual void OnKey(int, LPARAM, bool) {}

  void Create(cDialog* lpDialog, int nId);

  HWND m_hWnd = nullptr;  // controls are parts of the dialog's window here
  cDialog* m_lpDialog = nullptr;
  HWND m_hDialog = nullptr;
  int32_t m_nKind = CTRL_STATIC;
  int16_t m_sId = 0;
};

class cStaticCtrl : public cCtrl {
 public:
  cStaticCtrl() { m_nKind = CTRL_STATIC; }
};

class cCheckCtrl : public cCtrl {
 public:
  explicit cCheckCtrl(int32_t* lpValue = nullptr) : m_lpValue(lpValue) { m_nKind = CTRL_CHECK; }
  void ToCtrl() override;
  void FromCtrl() override;
  int32_t* m_lpValue;
};

class cRadioCtrl : public cCtrl {
 public:
  cRadioCtrl(int32_t* lpValue = nullptr, int32_t nValue = 0) : m_lpValue(lpValue), m_nRadioValue(nValue) {
    m_nKind = CTRL_RADIO;
  }
  void ToCtrl() override;
  void FromCtrl() override;
  int32_t* m_lpValue;
  int32_t m_nRadioValue;
};

// How a dialog describes one edit control; zeros take the defaults.
struct EDITDEF {
  int nId = 0;
  std::string* lpValue = nullptr;
  int nBufferLength = 0;
  int nMaxLineLength = 0;
  int nMaxLines = 0;
  int32_t bCountChars = 0;  // a double-byte character counts as one
};

// The limits of an edit control and the text its change check works on.
struct EDITLIMITS {
  int nBufferLength = 4096;
  int nMaxLineLength = 1024;
  int nMaxLines = 32;
  int32_t bCountChars = 0;
};

struct EDITSTATE {
  std::string strText;
  size_t nSelStart = 0;
  size_t nSelEnd = 0;
};

// The change check of an edit control on its text `now` (as read back, selection included):
// lines too long are wrapped, a change that makes too many lines is refused (the previous text
// and selection come back), a Backspace that would join two lines into one too long is refused.
// In initialising mode a text with too many lines gives way to the bound value cut to one line.
EDITSTATE CheckEditText(const EDITSTATE& now, const std::string& strPrev, const EDITLIMITS& limits, bool bBackspaceDown,
                        bool bInitialising, const std::string& strBound);

class cEditCtrl : public cCtrl {
 public:
  cEditCtrl() { m_nKind = CTRL_EDIT; }
  void Create(cDialog* lpDialog, const EDITDEF& def);
  void ToCtrl() override;
  void FromCtrl() override;
  void OnChange() override;

  std::string* m_lpValue = nullptr;
  EDITLIMITS m_Limits;
  std::string m_strPrev;
  size_t m_nSavedSelStart = 0;
  size_t m_nSavedSelEnd = 0;
  int32_t m_bBusy = 0;
  int32_t m_bInitialising = 0;
};
