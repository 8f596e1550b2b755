// The live state of one dialog of the UI kit: its controls with their texts, checks, selections
// and list lines, the keyboard focus and the IME composition, and the rules by which keys, typed
// text, mouse clicks and joystick buttons change them. The dialog's owner hears of every change
// through commands in the window system's form (control id, notification code).
//
// The model knows no screen: a host (an SDL window or a script) feeds it input and draws it.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/dialog_template.h"

namespace t4::platform::ui {

// Notification codes of a command.
constexpr int BN_CLICKED = 0;
constexpr int LBN_SELCHANGE = 1;
constexpr int LBN_DBLCLK = 2;
constexpr int EN_KILLFOCUS = 0x0200;
constexpr int EN_UPDATE = 0x0400;
// The ids Enter (without a default button) and Escape send.
constexpr int ID_OK = 1;
constexpr int ID_CANCEL = 2;
// A selection end past any text: "to the end".
constexpr long SEL_TO_END = 0x7FFFFFFF;

struct ControlState {
  ControlTemplate tmpl;
  Rect rect;  // pixels, relative to the client area
  std::string text;
  bool checked = false;
  bool enabled = true;
  bool visible = true;
  // Edit boxes: the selection in bytes; the caret stands at selEnd.
  size_t selStart = 0;
  size_t selEnd = 0;
  // List boxes.
  std::vector<std::string> items;
  int curSel = -1;
  int topItem = 0;
};

class DialogModel {
 public:
  using CommandFn = std::function<void(int id, int code)>;
  // Sees every key before the dialog does; true swallows it.
  using KeyFilterFn = std::function<bool(int vk, bool down)>;

  DialogModel(const DialogTemplate& tmpl, BaseUnits units);

  const DialogTemplate& Template() const { return m_template; }
  BaseUnits Units() const { return m_units; }
  const std::string& Caption() const { return m_caption; }
  void SetCaption(std::string_view captionSjis) { m_caption = captionSjis; }
  int ClientWidth() const { return m_clientW; }
  int ClientHeight() const { return m_clientH; }
  // The outer window (border and caption included) in frame coordinates.
  Rect WindowRect() const;
  // Frame coordinates of the client area's top-left corner.
  int ClientX() const { return m_x + DIALOG_BORDER; }
  int ClientY() const { return m_y + DIALOG_BORDER + (m_template.hasCaption ? DIALOG_CAPTION : 0); }
  void MoveTo(int frameX, int frameY);
  // Keeps the whole window inside a frame of the given size.
  void KeepInside(int frameW, int frameH);
  // Pixel height of one list line.
  int LineHeight() const { return m_units.y + 2; }

  const std::vector<ControlState>& Controls() const { return m_controls; }
  const ControlState* Find(int id) const;

  void OnCommand(CommandFn fn) { m_onCommand = std::move(fn); }
  void OnClose(std::function<void()> fn) { m_onClose = std::move(fn); }
  void SetKeyFilter(KeyFilterFn fn) { m_keyFilter = std::move(fn); }

  // What the owner calls. Unknown ids do nothing (and read as empty). A text set into an edit box
  // raises its EN_UPDATE, as a typed one does.
  void SetText(int id, std::string_view textSjis);
  std::string Text(int id) const;
  void SetCheck(int id, bool checked);
  bool IsChecked(int id) const;
  // Selection of an edit box; SEL_TO_END or a value past the text selects up to its end.
  void SetSel(int id, long start, long end);
  void GetSel(int id, size_t& start, size_t& end) const;
  void SetFocus(int id);
  int Focus() const { return m_focus; }
  // Focuses the first control that takes the focus, when none has it.
  void EnsureFocus();
  void Enable(int id, bool enabled);
  // A hidden control is not drawn and takes no input.
  void Show(int id, bool visible);
  void SetItems(int id, std::vector<std::string> itemsSjis);
  void SetCurSel(int id, int index);
  int CurSel(int id) const;

  // Input.
  void Key(int vk, bool down, bool shift = false);
  void TypeText(std::string_view textSjis);
  // The IME's pending composition (empty: none).
  void SetComposition(std::string_view textSjis) { m_composition = textSjis; }
  const std::string& Composition() const { return m_composition; }
  bool IsComposing() const { return !m_composition.empty(); }
  // Where the mouse pointer is put when the dialog opens (frame coordinates; -1: left alone).
  void SetCursor(int frameX, int frameY) {
    m_cursorX = frameX;
    m_cursorY = frameY;
  }
  int CursorX() const { return m_cursorX; }
  int CursorY() const { return m_cursorY; }
  // A click at frame coordinates.
  void MouseDown(int frameX, int frameY, bool doubleClick);
  // Joystick: button 0 presses what has the focus, button 1 is Escape; directions move the focus
  // (or the line of a list box, or the radio button of a group).
  void JoyButton(int button);
  void JoyDirection(int dx, int dy);
  // The window's close box.
  void RequestClose();

 private:
  ControlState* FindMutable(int id);
  bool TakesFocus(size_t index) const;
  void MoveFocus(int step);
  void FocusIndex(size_t index);
  void Click(ControlState& c);
  void Command(int id, int code);
  void PressDefault();
  void EditKey(ControlState& c, int vk, bool shift);
  void ListKey(ControlState& c, int vk);
  void RadioStep(size_t index, int step);
  size_t GroupStart(size_t index) const;
  size_t GroupEnd(size_t index) const;

  DialogTemplate m_template;
  BaseUnits m_units;
  std::string m_caption;
  int m_x = 0;
  int m_y = 0;
  int m_clientW = 0;
  int m_clientH = 0;
  std::vector<ControlState> m_controls;
  int m_focus = 0;  // control id, 0 = none
  std::string m_composition;
  int m_cursorX = -1;
  int m_cursorY = -1;
  CommandFn m_onCommand;
  std::function<void()> m_onClose;
  KeyFilterFn m_keyFilter;
};

// Byte offset of the character before / after `pos` in Shift-JIS text.
size_t SjisPrevChar(std::string_view text, size_t pos);
size_t SjisNextChar(std::string_view text, size_t pos);

}  // namespace t4::platform::ui
