#include "platform/ui/dialog_model.h"

#include <algorithm>

#include "platform/text_codec.h"
#include "platform/window/input_devices.h"

namespace t4::platform::ui {

size_t SjisPrevChar(std::string_view text, size_t pos) {
  pos = std::min(pos, text.size());
  size_t i = 0;
  size_t prev = 0;
  while (i < pos) {
    prev = i;
    i += IsSjisPairAt(text, i) ? 2 : 1;
  }
  return prev;
}

size_t SjisNextChar(std::string_view text, size_t pos) {
  if (pos >= text.size()) return text.size();
  return pos + (IsSjisPairAt(text, pos) ? 2 : 1);
}

namespace {

bool IsFocusable(ControlKind k) {
  return k == ControlKind::Edit || k == ControlKind::Button || k == ControlKind::DefButton || k == ControlKind::Check ||
         k == ControlKind::Radio || k == ControlKind::List;
}

// A one-line box keeps no line breaks or other control bytes (the trail byte of a double-byte
// character may look like one, so those pairs are kept whole).
std::string OneLine(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    if (IsSjisPairAt(text, i)) {
      out.append(text.substr(i, 2));
      i += 2;
      continue;
    }
    if (static_cast<unsigned char>(text[i]) >= 0x20 && text[i] != 0x7F) out.push_back(text[i]);
    ++i;
  }
  return out;
}

}  // namespace

DialogModel::DialogModel(const DialogTemplate& tmpl, BaseUnits units)
    : m_template(tmpl), m_units(units), m_caption(tmpl.caption) {
  const Rect client = DluToPixels(Rect{0, 0, tmpl.width, tmpl.height}, units);
  m_clientW = client.w;
  m_clientH = client.h;
  for (const ControlTemplate& t : tmpl.controls) {
    ControlState c;
    c.tmpl = t;
    c.rect = DluToPixels(t.dlu, units);
    c.text = t.text;
    m_controls.push_back(std::move(c));
  }
}

Rect DialogModel::WindowRect() const {
  const int caption = m_template.hasCaption ? DIALOG_CAPTION : 0;
  return Rect{m_x, m_y, m_clientW + 2 * DIALOG_BORDER, m_clientH + 2 * DIALOG_BORDER + caption};
}

void DialogModel::MoveTo(int frameX, int frameY) {
  m_x = frameX;
  m_y = frameY;
}

void DialogModel::KeepInside(int frameW, int frameH) {
  const Rect r = WindowRect();
  m_x = std::max(0, std::min(m_x, frameW - r.w));
  m_y = std::max(0, std::min(m_y, frameH - r.h));
}

const ControlState* DialogModel::Find(int id) const {
  for (const ControlState& c : m_controls)
    if (c.tmpl.id == id) return &c;
  return nullptr;
}

ControlState* DialogModel::FindMutable(int id) { return const_cast<ControlState*>(Find(id)); }

void DialogModel::SetText(int id, std::string_view textSjis) {
  ControlState* c = FindMutable(id);
  if (!c) return;
  c->text = c->tmpl.kind == ControlKind::Edit ? OneLine(textSjis) : std::string(textSjis);
  c->selStart = std::min(c->selStart, c->text.size());
  c->selEnd = std::min(c->selEnd, c->text.size());
  // An edit box tells of every change of its text, also one made by the program.
  if (c->tmpl.kind == ControlKind::Edit) Command(id, EN_UPDATE);
}

std::string DialogModel::Text(int id) const {
  const ControlState* c = Find(id);
  return c ? c->text : std::string();
}

void DialogModel::SetCheck(int id, bool checked) {
  if (ControlState* c = FindMutable(id)) c->checked = checked;
}

bool DialogModel::IsChecked(int id) const {
  const ControlState* c = Find(id);
  return c && c->checked;
}

void DialogModel::SetSel(int id, long start, long end) {
  ControlState* c = FindMutable(id);
  if (!c) return;
  const size_t n = c->text.size();
  auto clamp = [&](long v) { return v < 0 || static_cast<size_t>(v) > n ? n : static_cast<size_t>(v); };
  c->selStart = clamp(start);
  c->selEnd = clamp(end);
}

void DialogModel::GetSel(int id, size_t& start, size_t& end) const {
  const ControlState* c = Find(id);
  start = c ? c->selStart : 0;
  end = c ? c->selEnd : 0;
}

void DialogModel::Enable(int id, bool enabled) {
  ControlState* c = FindMutable(id);
  if (!c) return;
  c->enabled = enabled;
  if (!enabled && m_focus == id) MoveFocus(1);
}

void DialogModel::Show(int id, bool visible) {
  ControlState* c = FindMutable(id);
  if (!c) return;
  c->visible = visible;
  if (!visible && m_focus == id) MoveFocus(1);
}

void DialogModel::SetItems(int id, std::vector<std::string> itemsSjis) {
  ControlState* c = FindMutable(id);
  if (!c) return;
  c->items = std::move(itemsSjis);
  c->curSel = -1;
  c->topItem = 0;
}

void DialogModel::SetCurSel(int id, int index) {
  ControlState* c = FindMutable(id);
  if (!c) return;
  c->curSel = index >= 0 && index < static_cast<int>(c->items.size()) ? index : -1;
  if (c->curSel < 0) return;
  const int rows = std::max(1, (c->rect.h - 4) / LineHeight());
  if (c->curSel < c->topItem) c->topItem = c->curSel;
  if (c->curSel >= c->topItem + rows) c->topItem = c->curSel - rows + 1;
}

int DialogModel::CurSel(int id) const {
  const ControlState* c = Find(id);
  return c ? c->curSel : -1;
}

bool DialogModel::TakesFocus(size_t index) const {
  const ControlState& c = m_controls[index];
  if (!IsFocusable(c.tmpl.kind) || !c.enabled || !c.visible) return false;
  if (c.tmpl.kind != ControlKind::Radio) return true;
  // One stop per radio group: its checked button, or its first when none is checked.
  const size_t first = GroupStart(index);
  const size_t end = GroupEnd(index);
  for (size_t i = first; i < end; ++i)
    if (m_controls[i].checked) return i == index;
  return index == first;
}

size_t DialogModel::GroupStart(size_t index) const {
  while (index > 0 && m_controls[index - 1].tmpl.kind == ControlKind::Radio) --index;
  return index;
}

size_t DialogModel::GroupEnd(size_t index) const {
  while (index < m_controls.size() && m_controls[index].tmpl.kind == ControlKind::Radio) ++index;
  return index;
}

void DialogModel::FocusIndex(size_t index) {
  const int old = m_focus;
  ControlState& c = m_controls[index];
  if (old == c.tmpl.id) return;
  m_focus = c.tmpl.id;
  if (c.tmpl.kind == ControlKind::Edit) {
    c.selStart = 0;
    c.selEnd = c.text.size();
  }
  const ControlState* before = Find(old);
  if (before && before->tmpl.kind == ControlKind::Edit) Command(old, EN_KILLFOCUS);
}

void DialogModel::SetFocus(int id) {
  for (size_t i = 0; i < m_controls.size(); ++i)
    if (m_controls[i].tmpl.id == id && IsFocusable(m_controls[i].tmpl.kind) && m_controls[i].visible) {
      FocusIndex(i);
      return;
    }
}

void DialogModel::EnsureFocus() {
  if (m_focus != 0) return;
  for (size_t i = 0; i < m_controls.size(); ++i)
    if (TakesFocus(i)) {
      FocusIndex(i);
      return;
    }
}

void DialogModel::MoveFocus(int step) {
  const int n = static_cast<int>(m_controls.size());
  if (n == 0) return;
  int at = -1;
  for (int i = 0; i < n; ++i)
    if (m_controls[i].tmpl.id == m_focus) at = i;
  if (at < 0) at = step > 0 ? n - 1 : 0;
  for (int k = 1; k <= n; ++k) {
    const int i = ((at + step * k) % n + n) % n;
    if (TakesFocus(static_cast<size_t>(i))) {
      FocusIndex(static_cast<size_t>(i));
      return;
    }
  }
}

void DialogModel::Command(int id, int code) {
  if (m_onCommand) m_onCommand(id, code);
}

void DialogModel::PressDefault() {
  for (const ControlState& c : m_controls)
    if (c.tmpl.kind == ControlKind::DefButton) {
      if (c.enabled) Command(c.tmpl.id, BN_CLICKED);
      return;
    }
  Command(ID_OK, BN_CLICKED);
}

void DialogModel::Click(ControlState& c) {
  if (!c.enabled) return;
  const int id = c.tmpl.id;
  switch (c.tmpl.kind) {
    case ControlKind::Check:
      c.checked = !c.checked;
      Command(id, BN_CLICKED);
      break;
    case ControlKind::Radio: {
      size_t index = static_cast<size_t>(&c - m_controls.data());
      for (size_t i = GroupStart(index); i < GroupEnd(index); ++i) m_controls[i].checked = i == index;
      Command(id, BN_CLICKED);
      break;
    }
    case ControlKind::Button:
    case ControlKind::DefButton: Command(id, BN_CLICKED); break;
    default: break;
  }
}

void DialogModel::RadioStep(size_t index, int step) {
  const size_t first = GroupStart(index);
  const size_t end = GroupEnd(index);
  const int n = static_cast<int>(end - first);
  for (int k = 1; k < n; ++k) {
    const size_t i = first + static_cast<size_t>(((static_cast<int>(index - first) + step * k) % n + n) % n);
    if (m_controls[i].enabled) {
      FocusIndex(i);
      Click(m_controls[i]);
      return;
    }
  }
}

void DialogModel::EditKey(ControlState& c, int vk, bool shift) {
  const size_t lo = std::min(c.selStart, c.selEnd);
  const size_t hi = std::max(c.selStart, c.selEnd);
  const size_t n = c.text.size();
  auto place = [&](size_t caret) {
    c.selEnd = caret;
    if (!shift) c.selStart = caret;
  };
  switch (vk) {
    case VK_LEFT: place(shift || lo == hi ? SjisPrevChar(c.text, c.selEnd) : lo); break;
    case VK_RIGHT: place(shift || lo == hi ? SjisNextChar(c.text, c.selEnd) : hi); break;
    case VK_HOME: place(0); break;
    case VK_END: place(n); break;
    case VK_BACK:
    case VK_DELETE: {
      if (lo == hi && (vk == VK_BACK ? lo == 0 : lo == n)) return;
      const size_t from = lo != hi ? lo : vk == VK_BACK ? SjisPrevChar(c.text, lo) : lo;
      const size_t to = lo != hi ? hi : vk == VK_BACK ? lo : SjisNextChar(c.text, lo);
      c.text.erase(from, to - from);
      c.selStart = c.selEnd = from;
      Command(c.tmpl.id, EN_UPDATE);
      break;
    }
    default: break;
  }
}

void DialogModel::ListKey(ControlState& c, int vk) {
  const int n = static_cast<int>(c.items.size());
  if (n == 0) return;
  const int rows = std::max(1, (c.rect.h - 4) / LineHeight());
  int sel = c.curSel;
  switch (vk) {
    case VK_UP: sel = sel < 0 ? 0 : std::max(0, sel - 1); break;
    case VK_DOWN: sel = sel < 0 ? 0 : std::min(n - 1, sel + 1); break;
    case VK_PRIOR: sel = std::max(0, sel - rows); break;
    case VK_NEXT: sel = std::min(n - 1, std::max(0, sel) + rows); break;
    case VK_HOME: sel = 0; break;
    case VK_END: sel = n - 1; break;
    default: return;
  }
  if (sel == c.curSel) return;
  SetCurSel(c.tmpl.id, sel);
  Command(c.tmpl.id, LBN_SELCHANGE);
}

void DialogModel::Key(int vk, bool down, bool shift) {
  if (m_keyFilter && m_keyFilter(vk, down)) return;
  if (!down) return;
  if (IsComposing()) {
    // The composition takes the editing keys: Enter confirms it, Escape drops it.
    if (vk == VK_RETURN) {
      const std::string text = m_composition;
      m_composition.clear();
      TypeText(text);
    } else if (vk == VK_ESCAPE) {
      m_composition.clear();
    } else if (vk == VK_BACK) {
      m_composition.erase(SjisPrevChar(m_composition, m_composition.size()));
    }
    return;
  }
  if (vk == VK_TAB) {
    MoveFocus(shift ? -1 : 1);
    return;
  }
  ControlState* focused = FindMutable(m_focus);
  const ControlKind kind = focused ? focused->tmpl.kind : ControlKind::Static;
  if (vk == VK_RETURN) {
    if (focused && (kind == ControlKind::Button || kind == ControlKind::DefButton))
      Click(*focused);
    else
      PressDefault();
    return;
  }
  if (vk == VK_ESCAPE) {
    Command(ID_CANCEL, BN_CLICKED);
    return;
  }
  if (!focused) return;
  switch (kind) {
    case ControlKind::Edit: EditKey(*focused, vk, shift); break;
    case ControlKind::List: ListKey(*focused, vk); break;
    case ControlKind::Radio:
      if (vk == VK_LEFT || vk == VK_UP) RadioStep(static_cast<size_t>(focused - m_controls.data()), -1);
      if (vk == VK_RIGHT || vk == VK_DOWN) RadioStep(static_cast<size_t>(focused - m_controls.data()), 1);
      if (vk == VK_SPACE) Click(*focused);
      break;
    case ControlKind::Check:
    case ControlKind::Button:
    case ControlKind::DefButton:
      if (vk == VK_SPACE) Click(*focused);
      break;
    default: break;
  }
}

void DialogModel::TypeText(std::string_view textSjis) {
  ControlState* c = FindMutable(m_focus);
  if (!c || c->tmpl.kind != ControlKind::Edit || !c->enabled) return;
  const std::string add = OneLine(textSjis);
  if (add.empty()) return;
  const size_t lo = std::min(c->selStart, c->selEnd);
  const size_t hi = std::max(c->selStart, c->selEnd);
  c->text.replace(lo, hi - lo, add);
  c->selStart = c->selEnd = lo + add.size();
  Command(c->tmpl.id, EN_UPDATE);
}

void DialogModel::MouseDown(int frameX, int frameY, bool doubleClick) {
  const int cx = frameX - ClientX();
  const int cy = frameY - ClientY();
  for (size_t i = 0; i < m_controls.size(); ++i) {
    ControlState& c = m_controls[i];
    if (!IsFocusable(c.tmpl.kind) || !c.enabled || !c.visible || !c.rect.Contains(cx, cy)) continue;
    FocusIndex(i);
    if (c.tmpl.kind == ControlKind::Edit) {
      c.selStart = c.selEnd = c.text.size();
    } else if (c.tmpl.kind == ControlKind::List) {
      const int row = c.topItem + (cy - c.rect.y - 2) / LineHeight();
      if (row >= 0 && row < static_cast<int>(c.items.size())) {
        if (row != c.curSel) {
          SetCurSel(c.tmpl.id, row);
          Command(c.tmpl.id, LBN_SELCHANGE);
        }
        if (doubleClick) Command(c.tmpl.id, LBN_DBLCLK);
      }
    } else {
      Click(c);
    }
    return;
  }
}

void DialogModel::JoyButton(int button) {
  if (button == 1) {
    Key(VK_ESCAPE, true);
    return;
  }
  if (button != 0) return;
  const ControlState* c = Find(m_focus);
  const bool space = c && (c->tmpl.kind == ControlKind::Check || c->tmpl.kind == ControlKind::Radio);
  Key(space ? VK_SPACE : VK_RETURN, true);
}

void DialogModel::JoyDirection(int dx, int dy) {
  const ControlState* c = Find(m_focus);
  const ControlKind kind = c ? c->tmpl.kind : ControlKind::Static;
  if (dy != 0) {
    if (kind == ControlKind::List)
      Key(dy < 0 ? VK_UP : VK_DOWN, true);
    else
      Key(VK_TAB, true, dy < 0);
  } else if (dx != 0) {
    Key(dx < 0 ? VK_LEFT : VK_RIGHT, true);
  }
}

void DialogModel::RequestClose() {
  if (m_onClose) m_onClose();
}

}  // namespace t4::platform::ui
