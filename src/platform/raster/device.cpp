#include "platform/raster/device.h"

#include <algorithm>

#include "platform/raster/blit.h"

namespace t4::platform::raster {

namespace {
GraphicsSystem* g_system = nullptr;

int64_t Bytes(const Surface& s) { return static_cast<int64_t>(s.Pitch()) * s.Height(); }
}  // namespace

void SetGraphicsSystem(GraphicsSystem* system) { g_system = system; }
GraphicsSystem* GetGraphicsSystem() { return g_system; }

Resource::Resource(GraphicsSystem& system, int width, int height, PixelFormat format, Pool pool)
    : Surface(width, height, format), m_system(system), m_pool(pool) {
  m_system.Register(this);
  if (m_pool == Pool::Default) m_system.CountDefaultPool(1);
}

int Resource::Release() {
  const int refs = --m_refs;
  if (refs == 0) {
    if (m_pool == Pool::Default) {
      m_system.FreeVideo(Bytes(*this));
      m_system.CountDefaultPool(-1);
    }
    m_system.Unregister(this);
    if (attachedBackBuffer) attachedBackBuffer->Release();
    delete this;
  }
  return refs;
}

void HardwarePalette::SetEntries(int first, int count, const PaletteColor* colors) {
  if (first < 0 || count <= 0 || first >= 256) return;
  count = std::min(count, 256 - first);
  std::copy(colors, colors + count, entries.begin() + first);
}

void GraphicsSystem::InjectFailure(Op op, int nth, HResult result) {
  m_failures[static_cast<size_t>(op)] = {nth, result};
}

std::optional<HResult> GraphicsSystem::TakeFailure(Op op) {
  Failure& f = m_failures[static_cast<size_t>(op)];
  if (f.countdown <= 0) return std::nullopt;
  if (--f.countdown == 0) return f.result;
  return std::nullopt;
}

void GraphicsSystem::ClearFailures() { m_failures.fill({}); }

bool GraphicsSystem::ReserveVideo(int64_t bytes) {
  if (m_videoUsed + bytes > videoMemoryBytes) return false;
  m_videoUsed += bytes;
  return true;
}

int GraphicsSystem::ShowCursor(bool show) {
  cursorCount += show ? 1 : -1;
  m_display.ShowCursor(cursorCount >= 0);
  return cursorCount;
}

// ---- render device ----

RenderDevice::RenderDevice(GraphicsSystem& system, const PresentParams& params) : m_system(system), m_params(params) {
  m_backBuffer = new Resource(m_system, params.width, params.height, params.format, Pool::Managed);
  m_backBuffer->renderTarget = true;
  m_target = m_backBuffer;
}

RenderDevice::~RenderDevice() {
  if (m_backBuffer) m_backBuffer->Release();
}

HResult RenderDevice::CreateTexture(int width, int height, bool renderTarget, bool dynamic, PixelFormat format,
                                    Pool pool, Resource** out) {
  *out = nullptr;
  if (auto f = m_system.TakeFailure(Op::CreateTexture)) return *f;
  if (width <= 0 || height <= 0 || width > m_system.caps.maxTextureWidth || height > m_system.caps.maxTextureHeight)
    return RS_INVALIDCALL;
  if (dynamic && !m_system.caps.dynamicTextures) return RS_INVALIDCALL;
  if (pool == Pool::Default && m_state != DeviceState::Ok) return RS_DEVICELOST;
  auto* r = new Resource(m_system, width, height, format, pool);
  if (pool == Pool::Default && !m_system.ReserveVideo(Bytes(*r))) {
    r->Release();
    return RS_OUTOFVIDEOMEMORY;
  }
  r->renderTarget = renderTarget;
  r->dynamic = dynamic;
  *out = r;
  return RS_OK;
}

HResult RenderDevice::CreatePlainSurface(int width, int height, PixelFormat format, Pool pool, Resource** out) {
  *out = nullptr;
  if (auto f = m_system.TakeFailure(Op::CreatePlainSurface)) return *f;
  if (width <= 0 || height <= 0) return RS_INVALIDCALL;
  *out = new Resource(m_system, width, height, format, pool);
  return RS_OK;
}

HResult RenderDevice::CreateVertexBuffer(size_t vertices, VertexBuffer** out) {
  *out = nullptr;
  if (auto f = m_system.TakeFailure(Op::CreateVertexBuffer)) return *f;
  *out = new VertexBuffer(vertices);
  return RS_OK;
}

HResult RenderDevice::GetBackBuffer(Resource** out) {
  *out = m_backBuffer;
  if (!m_backBuffer) return RS_INVALIDCALL;
  m_backBuffer->AddRef();
  return RS_OK;
}

HResult RenderDevice::BeginScene() {
  if (auto f = m_system.TakeFailure(Op::BeginScene)) return *f;
  if (m_inScene) return RS_INVALIDCALL;
  m_inScene = true;
  return RS_OK;
}

HResult RenderDevice::EndScene() {
  if (!m_inScene) return RS_INVALIDCALL;
  m_inScene = false;
  return RS_OK;
}

HResult RenderDevice::SetRenderTarget(Resource* target) {
  if (auto f = m_system.TakeFailure(Op::SetRenderTarget)) return *f;
  if (!target || !target->renderTarget) return RS_INVALIDCALL;
  m_target = target;
  return RS_OK;
}

HResult RenderDevice::Clear(const IntRect* rect, uint32_t argb) {
  if (m_state != DeviceState::Ok || !m_target) return RS_OK;
  if (rect)
    ClearRect(*m_target, rect->x, rect->y, rect->w, rect->h, argb);
  else
    ClearRect(*m_target, 0, 0, m_target->Width(), m_target->Height(), argb);
  return RS_OK;
}

HResult RenderDevice::DrawRect(int x, int y, int w, int h, const Resource* texture, int sx, int sy, int sw, int sh,
                               uint32_t diffuse, const StageState& state) {
  if (!m_inScene) return RS_INVALIDCALL;
  if (m_state != DeviceState::Ok || !m_target) return RS_OK;
  DrawRectQuad(*m_target, x, y, w, h, texture, sx, sy, sw, sh, diffuse, state);
  return RS_OK;
}

HResult RenderDevice::DrawStrip(const Vertex v[4], const Resource* texture, const StageState& state) {
  if (!m_inScene) return RS_INVALIDCALL;
  if (m_state != DeviceState::Ok || !m_target) return RS_OK;
  DrawTriangleStrip(*m_target, v, texture, state);
  return RS_OK;
}

HResult RenderDevice::LockRect(Resource* surface) {
  if (auto f = m_system.TakeFailure(Op::LockRect)) return *f;
  if (!surface) return RS_INVALIDCALL;
  // Render targets in the default pool cannot be locked directly; the back buffer is lockable.
  if (surface->renderTarget && surface->GetPool() == Pool::Default) return RS_INVALIDCALL;
  return RS_OK;
}

HResult RenderDevice::GetRenderTargetData(Resource* renderTarget, Resource* systemCopy) {
  if (!renderTarget || !systemCopy || systemCopy->Width() != renderTarget->Width() ||
      systemCopy->Height() != renderTarget->Height() || systemCopy->Format() != renderTarget->Format())
    return RS_INVALIDCALL;
  if (m_state != DeviceState::Ok) return RS_DEVICELOST;
  CopyRect(*systemCopy, 0, 0, *renderTarget, 0, 0, renderTarget->Width(), renderTarget->Height(), std::nullopt);
  return RS_OK;
}

HResult RenderDevice::UpdateSurface(Resource* source, Resource* destination) {
  if (!source || !destination || source->Format() != destination->Format()) return RS_INVALIDCALL;
  CopyRect(*destination, 0, 0, *source, 0, 0, source->Width(), source->Height(), std::nullopt);
  return RS_OK;
}

HResult RenderDevice::Present() {
  if (m_inScene) return RS_INVALIDCALL;
  if (m_state != DeviceState::Ok) return RS_DEVICELOST;
  if (m_backBuffer) {
    ConvertFrame(*m_backBuffer, nullptr, m_frame);
    m_system.GetDisplay().PresentFrame(m_frame);
  }
  return RS_OK;
}

HResult RenderDevice::TestCooperativeLevel() const {
  switch (m_state) {
    case DeviceState::Ok: return RS_OK;
    case DeviceState::Lost: return RS_DEVICELOST;
    case DeviceState::NotReset: return RS_DEVICENOTRESET;
  }
  return RS_FAIL;
}

HResult RenderDevice::Reset(const PresentParams& params) {
  if (auto f = m_system.TakeFailure(Op::Reset)) return *f;
  if (m_state == DeviceState::Lost) return RS_DEVICELOST;
  // Like the hardware: every video-memory resource and every extra reference to the back buffer
  // must be gone before a reset.
  if (m_system.LiveDefaultPool() > 0) return RS_INVALIDCALL;
  if (m_backBuffer) {
    if (m_backBuffer->AddRef() != 2) {
      m_backBuffer->Release();
      return RS_INVALIDCALL;
    }
    m_backBuffer->Release();
    m_backBuffer->Release();
  }
  m_params = params;
  m_backBuffer = new Resource(m_system, params.width, params.height, params.format, Pool::Managed);
  m_backBuffer->renderTarget = true;
  m_target = m_backBuffer;
  m_inScene = false;
  m_state = DeviceState::Ok;
  return RS_OK;
}

HResult RenderDevice::SetDialogBoxMode(bool) {
  if (auto f = m_system.TakeFailure(Op::SetDialogBoxMode)) return *f;
  return RS_OK;
}

void RenderDevice::SimulateLoss(bool resettable) { m_state = resettable ? DeviceState::NotReset : DeviceState::Lost; }

// ---- blit device ----

int BlitDevice::Release() {
  // The palette belongs to whoever created it; the device only shows through it.
  m_palette = nullptr;
  const int leaks = m_system.LiveResources();
  delete this;
  return leaks;
}

HResult BlitDevice::SetCooperativeLevel(bool fullScreen) {
  if (auto f = m_system.TakeFailure(Op::SetCooperativeLevel)) return *f;
  m_fullScreen = fullScreen;
  return RS_OK;
}

HResult BlitDevice::SetDisplayMode(int width, int height, int bpp, int refreshRate) {
  if (auto f = m_system.TakeFailure(Op::SetDisplayMode)) return *f;
  if (width <= 0 || height <= 0) return RS_INVALIDCALL;
  if (refreshRate != 0 && !(refreshRate == 60 && m_system.accepts60Hz)) return RS_INVALIDCALL;
  switch (bpp) {
    case 8: m_format = PixelFormat::P8; break;
    case 16: m_format = PixelFormat::R5G6B5; break;
    case 24: m_format = PixelFormat::R8G8B8; break;
    case 32: m_format = PixelFormat::X8R8G8B8; break;
    default: return RS_INVALIDCALL;
  }
  m_bpp = bpp;
  m_system.GetDisplay().SetFullScreen(true);
  return RS_OK;
}

HResult BlitDevice::RestoreDisplayMode() {
  m_system.GetDisplay().SetFullScreen(false);
  return RS_OK;
}

HResult BlitDevice::CreatePrimary(int width, int height, int backBuffers, Resource** out) {
  *out = nullptr;
  if (auto f = m_system.TakeFailure(Op::CreatePrimary)) return *f;
  if (m_bpp == 0) {
    // Windowed: the desktop's format.
    const int bpp = m_system.GetDisplay().DesktopBpp();
    m_format = bpp == 8 ? PixelFormat::P8 : bpp == 16 ? PixelFormat::R5G6B5 : PixelFormat::X8R8G8B8;
    m_bpp = bpp;
  }
  auto* primary = new Resource(m_system, width, height, m_format, Pool::Managed);
  primary->primary = true;
  if (backBuffers > 0) {
    primary->attachedBackBuffer = new Resource(m_system, width, height, m_format, Pool::Managed);
    primary->attachedBackBuffer->flipBuffer = true;
  }
  *out = primary;
  return RS_OK;
}

HResult BlitDevice::GetAttachedBackBuffer(Resource* primary, Resource** out) {
  *out = nullptr;
  if (auto f = m_system.TakeFailure(Op::GetAttachedSurface)) return *f;
  if (!primary || !primary->attachedBackBuffer) return RS_INVALIDCALL;
  primary->attachedBackBuffer->AddRef();
  *out = primary->attachedBackBuffer;
  return RS_OK;
}

HResult BlitDevice::CreateSurface(int width, int height, bool systemMemory, Resource** out) {
  *out = nullptr;
  if (auto f = m_system.TakeFailure(Op::CreateSurface)) return *f;
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return RS_INVALIDCALL;
  auto* r = new Resource(m_system, width, height, m_format, systemMemory ? Pool::SystemMem : Pool::Default);
  if (!systemMemory && !m_system.ReserveVideo(static_cast<int64_t>(r->Pitch()) * r->Height())) {
    r->Release();
    return RS_OUTOFVIDEOMEMORY;
  }
  *out = r;
  return RS_OK;
}

HResult BlitDevice::CreatePalette(const PaletteColor* entries, HardwarePalette** out) {
  *out = nullptr;
  if (auto f = m_system.TakeFailure(Op::CreatePalette)) return *f;
  auto* p = new HardwarePalette();
  p->SetEntries(0, 256, entries);
  *out = p;
  return RS_OK;
}

HResult BlitDevice::SetPalette(HardwarePalette* palette) {
  if (auto f = m_system.TakeFailure(Op::SetPalette)) return *f;
  m_palette = palette;
  return RS_OK;
}

HResult BlitDevice::CreateClipper() {
  if (auto f = m_system.TakeFailure(Op::CreateClipper)) return *f;
  return RS_OK;
}

HResult BlitDevice::SetColorKey(Resource* surface, uint32_t key) {
  if (auto f = m_system.TakeFailure(Op::SetColorKey)) return *f;
  if (!surface) return RS_INVALIDCALL;
  surface->colorKey = key;
  return RS_OK;
}

HResult BlitDevice::BltFast(Resource* dst, int x, int y, Resource* src, const IntRect& r, bool key) {
  if (!dst || !src) return RS_INVALIDCALL;
  if (dst->lost || src->lost) return RS_SURFACELOST;
  std::optional<uint32_t> k = key ? src->colorKey : std::nullopt;
  // The source rectangle is honoured only inside the source surface.
  int sx = r.x, sy = r.y, w = r.w, h = r.h;
  if (sx < 0) w += sx, x -= sx, sx = 0;
  if (sy < 0) h += sy, y -= sy, sy = 0;
  w = std::min(w, src->Width() - sx);
  h = std::min(h, src->Height() - sy);
  if (!CopyRect(*dst, x, y, *src, sx, sy, w, h, k)) return RS_INVALIDCALL;
  if (dst->primary) Show(dst);
  return RS_OK;
}

HResult BlitDevice::Blt(Resource* dst, const IntRect& d, Resource* src, const IntRect& s, bool key) {
  if (!dst || !src) return RS_INVALIDCALL;
  if (dst->lost || src->lost) return RS_SURFACELOST;
  std::optional<uint32_t> k = key ? src->colorKey : std::nullopt;
  bool ok;
  if (d.w == s.w && d.h == s.h) {
    ok = CopyRect(*dst, d.x, d.y, *src, s.x, s.y, s.w, s.h, k);
  } else {
    ok = StretchRect(*dst, d.x, d.y, d.w, d.h, *src, s.x, s.y, s.w, s.h, k);
  }
  if (!ok) return RS_INVALIDCALL;
  if (dst->primary) Show(dst);
  return RS_OK;
}

HResult BlitDevice::ColorFill(Resource* dst, const IntRect& rect, uint32_t raw) {
  if (!dst) return RS_INVALIDCALL;
  if (dst->lost) return RS_SURFACELOST;
  FillRect(*dst, rect.x, rect.y, rect.w, rect.h, raw);
  return RS_OK;
}

HResult BlitDevice::Lock(Resource* surface) {
  if (auto f = m_system.TakeFailure(Op::LockSurface)) return *f;
  if (!surface) return RS_INVALIDCALL;
  return surface->lost ? RS_SURFACELOST : RS_OK;
}

HResult BlitDevice::IsLost(const Resource* surface) const { return surface && surface->lost ? RS_SURFACELOST : RS_OK; }

HResult BlitDevice::Restore(Resource* surface) {
  if (!surface) return RS_INVALIDCALL;
  surface->lost = false;
  return RS_OK;
}

HResult BlitDevice::Flip(Resource* primary) {
  if (!primary || !primary->attachedBackBuffer) return RS_INVALIDCALL;
  if (primary->lost || primary->attachedBackBuffer->lost) return RS_SURFACELOST;
  CopyRect(*primary, 0, 0, *primary->attachedBackBuffer, 0, 0, primary->Width(), primary->Height(), std::nullopt);
  Show(primary);
  return RS_OK;
}

HResult BlitDevice::FlipToGdiSurface() {
  if (auto f = m_system.TakeFailure(Op::FlipToGdi)) return *f;
  return RS_OK;
}

void BlitDevice::Show(const Resource* screen) {
  ConvertFrame(*screen, m_format == PixelFormat::P8 ? m_palette : nullptr, m_frame);
  m_system.GetDisplay().PresentFrame(m_frame);
}

void BlitDevice::SimulateSurfaceLoss() {
  for (Resource* r : m_system.Resources()) {
    if (r->GetPool() == Pool::Default || r->primary || r->flipBuffer) {
      r->lost = true;
      // Video memory comes back with unknown content.
      r->Fill(0xCDCDCDCD);
    }
  }
}

}  // namespace t4::platform::raster
