// The emulated graphics hardware the drawing layer runs on: a render device (textures, render
// targets, scenes, quads, present, loss and reset) and a blit device (off-screen surfaces, colour
// keys, fills, palette, flip). Both draw with the software renderer and hand finished frames to
// a Display. Capabilities, failures and losses can be set from tests.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/present/display.h"
#include "platform/raster/quad.h"
#include "platform/raster/surface.h"
#include "platform/scoped_backend.h"

namespace t4::platform::raster {

using HResult = int32_t;
constexpr HResult RS_OK = 0;
constexpr HResult RS_FAIL = static_cast<HResult>(0x80004005);
constexpr HResult RS_OUTOFVIDEOMEMORY = static_cast<HResult>(0x8876017C);
constexpr HResult RS_DEVICELOST = static_cast<HResult>(0x88760868);
constexpr HResult RS_DEVICENOTRESET = static_cast<HResult>(0x88760869);
constexpr HResult RS_INVALIDCALL = static_cast<HResult>(0x8876086C);
constexpr HResult RS_SURFACELOST = static_cast<HResult>(0x887601C2);

// Operations whose failure tests can ask for.
enum class Op : int {
  CreateRenderer,
  CreateDevice,
  CreateDeviceHardware,
  CreateTexture,
  CreateVertexBuffer,
  CreatePlainSurface,
  GetCaps,
  BeginScene,
  SetRenderTarget,
  LockRect,
  Reset,
  SetDialogBoxMode,
  CreateBlitter,
  SetCooperativeLevel,
  SetDisplayMode,
  CreatePrimary,
  GetAttachedSurface,
  CreateSurface,
  CreatePalette,
  SetPalette,
  CreateClipper,
  SetClipperWindow,
  SetClipper,
  SetColorKey,
  LockSurface,
  FlipToGdi,
  Count
};

struct DeviceCaps {
  bool pow2Textures = false;
  bool squareTextures = false;
  bool dynamicTextures = true;
  bool alphaFullScreenFlipOrDiscard = true;
  int maxTextureWidth = 4096;
  int maxTextureHeight = 4096;
};

enum class Pool : int { Default, Managed, SystemMem };

class GraphicsSystem;

// A texture (one level), plain surface, back buffer or blit surface. Reference counted like the
// objects it stands in for: the holder calls Release.
class Resource : public Surface {
 public:
  Resource(GraphicsSystem& system, int width, int height, PixelFormat format, Pool pool);
  int AddRef() { return ++m_refs; }
  int Release();

  Pool GetPool() const { return m_pool; }
  bool renderTarget = false;
  bool dynamic = false;
  bool lost = false;
  bool primary = false;
  bool flipBuffer = false;  // a back buffer attached to a primary (video memory)
  std::optional<uint32_t> colorKey;
  Resource* attachedBackBuffer = nullptr;  // flip chain of a primary surface

 private:
  GraphicsSystem& m_system;
  Pool m_pool;
  int m_refs = 1;
};

class VertexBuffer {
 public:
  explicit VertexBuffer(size_t vertices) : data(vertices) {}
  std::vector<Vertex> data;
  void Release() { delete this; }
};

// The 256-entry hardware palette of 8-bit blit modes.
struct PaletteColor {
  uint8_t red = 0, green = 0, blue = 0, flags = 0;
};
class HardwarePalette {
 public:
  std::array<PaletteColor, 256> entries{};
  void SetEntries(int first, int count, const PaletteColor* colors);
  void Release() { delete this; }
};

class RenderDevice;
class BlitDevice;

// Owner of the emulated hardware of one run: chosen at start-up (window or headless display)
// and installed with SetGraphicsSystem.
class GraphicsSystem {
 public:
  explicit GraphicsSystem(Display& display) : m_display(display) {}

  Display& GetDisplay() { return m_display; }
  DeviceCaps caps;
  int driverDdiVersion = 9;
  // Refresh rates the display accepts in full screen (0 = "any" always works).
  bool accepts60Hz = true;
  // Bytes of video memory; default-pool textures and video surfaces count against it.
  int64_t videoMemoryBytes = int64_t{256} << 20;
  int cursorCount = 0;

  // The n-th following call of `op` fails with `result` (n = 1: the next one).
  void InjectFailure(Op op, int nth = 1, HResult result = RS_FAIL);
  // Consumes one call of `op`; the failure result when one was injected for it.
  std::optional<HResult> TakeFailure(Op op);
  void ClearFailures();

  int64_t VideoMemoryUsed() const { return m_videoUsed; }
  bool ReserveVideo(int64_t bytes);
  void FreeVideo(int64_t bytes) { m_videoUsed -= bytes; }
  int LiveResources() const { return static_cast<int>(m_resources.size()); }
  void Register(Resource* r) { m_resources.push_back(r); }
  void Unregister(Resource* r) { std::erase(m_resources, r); }
  const std::vector<Resource*>& Resources() const { return m_resources; }
  int LiveDefaultPool() const { return m_liveDefault; }
  void CountDefaultPool(int delta) { m_liveDefault += delta; }

  // Cursor display count as ShowCursor keeps it; the display sees shown/hidden.
  int ShowCursor(bool show);

 private:
  Display& m_display;
  struct Failure {
    int countdown = 0;
    HResult result = RS_OK;
  };
  std::array<Failure, static_cast<size_t>(Op::Count)> m_failures{};
  int64_t m_videoUsed = 0;
  std::vector<Resource*> m_resources;
  int m_liveDefault = 0;
};

void SetGraphicsSystem(GraphicsSystem* system);
using ScopedGraphicsSystem = ScopedBackend<GraphicsSystem, SetGraphicsSystem>;
GraphicsSystem* GetGraphicsSystem();

// Converts a finished screen surface into `out` (8-bit through the palette), reusing its buffer.
void ConvertFrame(const Surface& screen, const HardwarePalette* palette, Frame& out);

enum class DeviceState { Ok, Lost, NotReset };

struct PresentParams {
  int width = 0;
  int height = 0;
  PixelFormat format = PixelFormat::X8R8G8B8;
  bool windowed = true;
  bool vsync = false;
};

class RenderDevice {
 public:
  RenderDevice(GraphicsSystem& system, const PresentParams& params);
  ~RenderDevice();
  void Release() { delete this; }

  HResult CreateTexture(int width, int height, bool renderTarget, bool dynamic, PixelFormat format, Pool pool,
                        Resource** out);
  HResult CreatePlainSurface(int width, int height, PixelFormat format, Pool pool, Resource** out);
  HResult CreateVertexBuffer(size_t vertices, VertexBuffer** out);
  // The back buffer, with a reference for the caller.
  HResult GetBackBuffer(Resource** out);

  HResult BeginScene();
  HResult EndScene();
  HResult SetRenderTarget(Resource* target);
  Resource* GetRenderTarget() const { return m_target; }
  // Clears a rectangle of the current render target (null: all of it) to 0xAARRGGBB.
  HResult Clear(const IntRect* rect, uint32_t argb);
  // Quads into the current render target.
  HResult DrawRect(int x, int y, int w, int h, const Resource* texture, int sx, int sy, int sw, int sh,
                   uint32_t diffuse, const StageState& state);
  HResult DrawStrip(const Vertex v[4], const Resource* texture, const StageState& state);
  HResult LockRect(Resource* surface);
  HResult GetRenderTargetData(Resource* renderTarget, Resource* systemCopy);
  HResult UpdateSurface(Resource* source, Resource* destination);
  HResult Present();
  HResult TestCooperativeLevel() const;
  HResult Reset(const PresentParams& params);
  HResult SetDialogBoxMode(bool on);

  bool InScene() const { return m_inScene; }
  const PresentParams& Params() const { return m_params; }
  // Test control: the device is lost; it can be reset once the window is active again.
  void SimulateLoss(bool resettable);
  void MakeResettable() {
    if (m_state == DeviceState::Lost) m_state = DeviceState::NotReset;
  }
  DeviceState State() const { return m_state; }

 private:
  GraphicsSystem& m_system;
  PresentParams m_params;
  Resource* m_backBuffer = nullptr;
  Resource* m_target = nullptr;
  DeviceState m_state = DeviceState::Ok;
  bool m_inScene = false;
  Frame m_frame;  // the buffer the next present converts into
};

class BlitDevice {
 public:
  explicit BlitDevice(GraphicsSystem& system) : m_system(system) {}
  // Returns the number of surfaces still alive (a leak when above 0).
  int Release();

  HResult SetCooperativeLevel(bool fullScreen);
  HResult SetDisplayMode(int width, int height, int bpp, int refreshRate);
  HResult RestoreDisplayMode();
  // Primary surface; full screen with `backBuffers` attached buffers, windowed with none.
  HResult CreatePrimary(int width, int height, int backBuffers, Resource** out);
  HResult GetAttachedBackBuffer(Resource* primary, Resource** out);
  HResult CreateSurface(int width, int height, bool systemMemory, Resource** out);
  HResult CreatePalette(const PaletteColor* entries, HardwarePalette** out);
  HResult SetPalette(HardwarePalette* palette);
  HResult CreateClipper();
  HResult SetColorKey(Resource* surface, uint32_t key);

  // Copies; `key` = the source's colour key is used. Rectangles are clipped to both surfaces.
  HResult BltFast(Resource* dst, int x, int y, Resource* src, const IntRect& srcRect, bool key);
  HResult Blt(Resource* dst, const IntRect& dstRect, Resource* src, const IntRect& srcRect, bool key);
  HResult ColorFill(Resource* dst, const IntRect& rect, uint32_t raw);
  HResult Lock(Resource* surface);
  HResult IsLost(const Resource* surface) const;
  HResult Restore(Resource* surface);
  HResult Flip(Resource* primary);
  HResult FlipToGdiSurface();

  PixelFormat DisplayFormat() const { return m_format; }
  HardwarePalette* Palette() const { return m_palette; }
  // Test control: every video-memory surface and the primary lose their pixels.
  void SimulateSurfaceLoss();

 private:
  void Show(const Resource* screen);

  GraphicsSystem& m_system;
  PixelFormat m_format = PixelFormat::X8R8G8B8;
  int m_bpp = 0;
  bool m_fullScreen = false;
  HardwarePalette* m_palette = nullptr;
  Frame m_frame;  // the buffer the next present converts into
};

}  // namespace t4::platform::raster
