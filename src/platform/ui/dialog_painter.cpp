#include "platform/ui/dialog_painter.h"

#include <algorithm>

#include "platform/text/rasterizer.h"

namespace t4::platform::ui {

namespace {

constexpr uint32_t FACE = 0xD4D0C8;
constexpr uint32_t LIGHT = 0xFFFFFF;
constexpr uint32_t SHADOW = 0x808080;
constexpr uint32_t DARK = 0x404040;
constexpr uint32_t BLACK = 0x000000;
constexpr uint32_t WHITE = 0xFFFFFF;
constexpr uint32_t CAPTION = 0x0A246A;
constexpr uint32_t SELECTION = 0x0A246A;
constexpr uint32_t GREY_TEXT = 0x808080;

Rect Intersect(const Rect& a, const Rect& b) {
  const int x0 = std::max(a.x, b.x);
  const int y0 = std::max(a.y, b.y);
  const int x1 = std::min(a.x + a.w, b.x + b.w);
  const int y1 = std::min(a.y + a.h, b.y + b.h);
  return Rect{x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0)};
}

class Painter {
 public:
  Painter(Frame& frame, text::Face& face) : m_frame(frame), m_face(face) {}

  void Fill(Rect r, uint32_t rgb) {
    r = Intersect(r, Rect{0, 0, m_frame.width, m_frame.height});
    for (int y = r.y; y < r.y + r.h; ++y)
      std::fill_n(m_frame.pixels.begin() + static_cast<ptrdiff_t>(y) * m_frame.width + r.x, r.w, rgb);
  }
  void Dot(int x, int y, uint32_t rgb) {
    if (x >= 0 && y >= 0 && x < m_frame.width && y < m_frame.height)
      m_frame.pixels[static_cast<size_t>(y) * m_frame.width + x] = rgb;
  }
  // Top-left lines in `tl`, bottom-right lines in `br`.
  void Edge(const Rect& r, uint32_t tl, uint32_t br) {
    Fill(Rect{r.x, r.y, r.w, 1}, tl);
    Fill(Rect{r.x, r.y, 1, r.h}, tl);
    Fill(Rect{r.x, r.y + r.h - 1, r.w, 1}, br);
    Fill(Rect{r.x + r.w - 1, r.y, 1, r.h}, br);
  }
  void Raised(const Rect& r) {
    Edge(r, LIGHT, DARK);
    Edge(Rect{r.x + 1, r.y + 1, r.w - 2, r.h - 2}, FACE, SHADOW);
  }
  void Sunken(const Rect& r) {
    Edge(r, SHADOW, LIGHT);
    Edge(Rect{r.x + 1, r.y + 1, r.w - 2, r.h - 2}, DARK, FACE);
  }
  void Dotted(const Rect& r) {
    for (int x = r.x; x < r.x + r.w; x += 2) {
      Dot(x, r.y, BLACK);
      Dot(x, r.y + r.h - 1, BLACK);
    }
    for (int y = r.y; y < r.y + r.h; y += 2) {
      Dot(r.x, y, BLACK);
      Dot(r.x + r.w - 1, y, BLACK);
    }
  }
  int TextWidth(std::string_view s) { return m_face.MeasureLine(s).width; }
  int Cell() { return m_face.CellHeight(); }
  int Text(int x, int y, std::string_view s, uint32_t rgb, const Rect& clip) {
    return PaintText(m_frame, m_face, x, y, s, rgb, clip);
  }
  // Text broken into lines that fit `r`'s width (at any character, as Japanese text breaks).
  void Wrapped(const Rect& r, std::string_view s, uint32_t rgb) {
    int y = r.y;
    size_t start = 0;
    while (start < s.size() && y < r.y + r.h) {
      size_t end = start;
      while (end < s.size() && s[end] != '\n') {
        const size_t next = std::min(s.size(), end + static_cast<size_t>(text::CharLengthAt(s.data() + end)));
        if (end > start && TextWidth(s.substr(start, next - start)) > r.w) break;
        end = next;
      }
      Text(r.x, y, s.substr(start, end - start), rgb, r);
      start = end < s.size() && s[end] == '\n' ? end + 1 : end;
      y += Cell();
    }
  }

 private:
  Frame& m_frame;
  text::Face& m_face;
};

void PaintEdit(Painter& p, const ControlState& c, const Rect& r, bool focused, const std::string& composition) {
  p.Sunken(r);
  const Rect inner{r.x + 2, r.y + 2, r.w - 4, r.h - 4};
  p.Fill(inner, c.enabled ? WHITE : FACE);
  const int ty = r.y + (r.h - p.Cell()) / 2;
  const int tx = inner.x + 1;
  const size_t lo = std::min(c.selStart, c.selEnd);
  const size_t hi = std::max(c.selStart, c.selEnd);
  const std::string_view text = c.text;
  int x = p.Text(tx, ty, text.substr(0, lo), c.enabled ? BLACK : GREY_TEXT, inner);
  if (focused && hi > lo) {
    const int w = p.TextWidth(text.substr(lo, hi - lo));
    p.Fill(Intersect(Rect{x, ty, w, p.Cell()}, inner), SELECTION);
    x = p.Text(x, ty, text.substr(lo, hi - lo), WHITE, inner);
  } else {
    x = p.Text(x, ty, text.substr(lo, hi - lo), BLACK, inner);
  }
  int caret = x;
  if (focused && !composition.empty()) {
    // The pending composition stands at the caret, underlined.
    const int end = p.Text(x, ty, composition, BLACK, inner);
    p.Fill(Intersect(Rect{x, ty + p.Cell() - 1, end - x, 1}, inner), BLACK);
    caret = end;
    x = end;
  }
  p.Text(x, ty, text.substr(hi), BLACK, inner);
  if (focused && hi == lo) p.Fill(Intersect(Rect{caret, ty, 1, p.Cell()}, inner), BLACK);
}

void PaintList(Painter& p, const ControlState& c, const Rect& r, bool focused, int lineH) {
  p.Sunken(r);
  const Rect inner{r.x + 2, r.y + 2, r.w - 4, r.h - 4};
  p.Fill(inner, WHITE);
  int y = inner.y;
  for (int i = c.topItem; i < static_cast<int>(c.items.size()) && y < inner.y + inner.h; ++i, y += lineH) {
    const bool sel = i == c.curSel;
    const Rect row = Intersect(Rect{inner.x, y, inner.w, lineH}, inner);
    if (sel) p.Fill(row, focused ? SELECTION : FACE);
    p.Text(inner.x + 2, y + 1, c.items[static_cast<size_t>(i)], sel && focused ? WHITE : BLACK, row);
    if (sel && focused) p.Dotted(row);
  }
}

void PaintCheckOrRadio(Painter& p, const ControlState& c, const Rect& r, bool focused) {
  const int box = 13;
  const int by = r.y + (r.h - box) / 2;
  const Rect b{r.x, by, box, box};
  if (c.tmpl.kind == ControlKind::Check) {
    p.Sunken(b);
    p.Fill(Rect{b.x + 2, b.y + 2, 9, 9}, WHITE);
    if (c.checked)
      for (int i = 0; i < 7; ++i) {
        const int y = i < 3 ? b.y + 6 + i : b.y + 8 - (i - 2);
        p.Fill(Rect{b.x + 3 + i, y - 1, 1, 3}, BLACK);
      }
  } else {
    // A round box: a filled disc with a dark rim, and a dot when checked.
    for (int dy = 0; dy < box; ++dy)
      for (int dx = 0; dx < box; ++dx) {
        const int ex = 2 * dx - (box - 1);
        const int ey = 2 * dy - (box - 1);
        const int d2 = ex * ex + ey * ey;
        if (d2 <= 144) p.Dot(b.x + dx, b.y + dy, d2 >= 100 ? (ey < 0 ? SHADOW : LIGHT) : WHITE);
        if (c.checked && d2 <= 20) p.Dot(b.x + dx, b.y + dy, BLACK);
      }
  }
  const int tx = r.x + box + 4;
  const int ty = r.y + (r.h - p.Cell()) / 2;
  const Rect clip{tx, r.y, r.w - box - 4, r.h};
  const int end = p.Text(tx, ty, c.text, c.enabled ? BLACK : GREY_TEXT, clip);
  if (focused) p.Dotted(Intersect(Rect{tx - 1, ty - 1, end - tx + 2, p.Cell() + 2}, clip));
}

void PaintButton(Painter& p, const ControlState& c, const Rect& r, bool focused) {
  Rect b = r;
  if (c.tmpl.kind == ControlKind::DefButton) {
    p.Edge(b, BLACK, BLACK);
    b = Rect{b.x + 1, b.y + 1, b.w - 2, b.h - 2};
  }
  p.Fill(b, FACE);
  p.Raised(b);
  const int w = p.TextWidth(c.text);
  const int tx = b.x + (b.w - w) / 2;
  const int ty = b.y + (b.h - p.Cell()) / 2;
  p.Text(tx, ty, c.text, c.enabled ? BLACK : GREY_TEXT, Rect{b.x + 2, b.y + 2, b.w - 4, b.h - 4});
  if (focused) p.Dotted(Rect{b.x + 4, b.y + 4, b.w - 8, b.h - 8});
}

}  // namespace

int PaintText(Frame& frame, text::Face& face, int x, int y, std::string_view textSjis, uint32_t rgb, const Rect& clip) {
  const Rect c = Intersect(clip, Rect{0, 0, frame.width, frame.height});
  const std::string owned(textSjis);
  const char* p = owned.c_str();
  const char* end = p + owned.size();
  while (p < end && *p != '\n') {
    const int len = text::CharLengthAt(p);
    const text::CharCode code = text::CharCodeAt(p, len);
    const text::GlyphBitmap g = face.Render(code, text::GlyphMode::Mono);
    for (int gy = 0; gy < g.height; ++gy)
      for (int gx = 0; gx < g.width; ++gx) {
        if (g.coverage[static_cast<size_t>(gy) * g.width + gx] < 128) continue;
        const int px = x + g.left + gx;
        const int py = y + g.top + gy;
        if (c.Contains(px, py)) frame.pixels[static_cast<size_t>(py) * frame.width + px] = rgb;
      }
    x += g.advance;
    p += len;
  }
  return x;
}

void PaintDialog(const DialogModel& model, text::Face& face, Frame& frame) {
  Painter p(frame, face);
  const Rect w = model.WindowRect();
  p.Fill(w, FACE);
  p.Raised(w);
  if (model.Template().hasCaption) {
    const Rect bar{w.x + DIALOG_BORDER, w.y + DIALOG_BORDER, w.w - 2 * DIALOG_BORDER, DIALOG_CAPTION - 1};
    p.Fill(bar, CAPTION);
    p.Text(bar.x + 4, bar.y + (bar.h - p.Cell()) / 2, model.Caption(), WHITE, bar);
  }
  const int left = model.ClientX();
  const int top = model.ClientY();
  for (const ControlState& c : model.Controls()) {
    const Rect r{left + c.rect.x, top + c.rect.y, c.rect.w, c.rect.h};
    if (!c.visible) continue;
    const bool focused = model.Focus() == c.tmpl.id;
    switch (c.tmpl.kind) {
      case ControlKind::Picture: break;
      case ControlKind::Static: p.Wrapped(r, c.text, c.enabled ? BLACK : GREY_TEXT); break;
      case ControlKind::GroupBox: {
        const int ly = r.y + p.Cell() / 2;
        const Rect frameRect{r.x, ly, r.w, r.h - (ly - r.y)};
        p.Edge(frameRect, SHADOW, LIGHT);
        p.Edge(Rect{frameRect.x + 1, frameRect.y + 1, frameRect.w - 2, frameRect.h - 2}, LIGHT, SHADOW);
        const int tw = p.TextWidth(c.text);
        p.Fill(Rect{r.x + 6, r.y, tw + 4, p.Cell()}, FACE);
        p.Text(r.x + 8, r.y, c.text, BLACK, r);
        break;
      }
      case ControlKind::Edit: PaintEdit(p, c, r, focused, model.Composition()); break;
      case ControlKind::List: PaintList(p, c, r, focused, model.LineHeight()); break;
      case ControlKind::Check:
      case ControlKind::Radio: PaintCheckOrRadio(p, c, r, focused); break;
      case ControlKind::Button:
      case ControlKind::DefButton: PaintButton(p, c, r, focused); break;
    }
  }
}

}  // namespace t4::platform::ui
