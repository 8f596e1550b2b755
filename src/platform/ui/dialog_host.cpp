#include "platform/ui/dialog_host.h"

#include "platform/window/input_devices.h"

namespace t4::platform::ui {

namespace {

DialogHost* g_host = nullptr;

DialogSnapshot Snap(const DialogModel& model) {
  DialogSnapshot s;
  s.resourceId = model.Template().resourceId;
  s.caption = model.Caption();
  s.focus = model.Focus();
  s.window = model.WindowRect();
  s.cursorX = model.CursorX();
  s.cursorY = model.CursorY();
  s.clientX = model.ClientX();
  s.clientY = model.ClientY();
  s.controls = model.Controls();
  return s;
}

}  // namespace

const ControlState* DialogSnapshot::Find(int id) const {
  for (const ControlState& c : controls)
    if (c.tmpl.id == id) return &c;
  return nullptr;
}

void ScriptedDialogHost::RunModal(DialogModel& model, const std::function<bool()>& done,
                                  const std::function<void()>& serve) {
  if (done()) return;
  m_seen.push_back(Snap(model));
  while (!done() && !m_steps.empty()) {
    Step step = std::move(m_steps.front());
    m_steps.pop_front();
    step(model);
    if (serve) serve();
  }
  if (!done()) model.Key(VK_RETURN, true);
  if (serve) serve();
  if (!done()) model.RequestClose();
  if (serve) serve();
}

void ScriptedDialogHost::Key(int vk, bool shift) {
  Queue([vk, shift](DialogModel& m) {
    SetKeyDown(vk, true);
    m.Key(vk, true, shift);
    SetKeyDown(vk, false);
    m.Key(vk, false, shift);
  });
}

void ScriptedDialogHost::Type(std::string textSjis) {
  Queue([t = std::move(textSjis)](DialogModel& m) { m.TypeText(t); });
}

void ScriptedDialogHost::Compose(std::string textSjis) {
  Queue([t = std::move(textSjis)](DialogModel& m) { m.SetComposition(t); });
}

void ScriptedDialogHost::Click(int id) {
  Queue([id](DialogModel& m) {
    const ControlState* c = m.Find(id);
    if (!c) return;
    m.MouseDown(m.ClientX() + c->rect.x + c->rect.w / 2, m.ClientY() + c->rect.y + c->rect.h / 2, false);
  });
}

void ScriptedDialogHost::Close() {
  Queue([](DialogModel& m) { m.RequestClose(); });
}

void SetDialogHost(DialogHost* host) { g_host = host; }

DialogHost& GetDialogHost() {
  static ScriptedDialogHost unattended;
  return g_host ? *g_host : unattended;
}

}  // namespace t4::platform::ui
