// Surface records: creation, release, containers and pixel locks.
#include <algorithm>
#include <bit>
#include <cstring>

#include "core/globals.h"
#include "core/message_box.h"
#include "core/report_log.h"
#include "gfx/dd_internal.h"
#include "platform/messages.h"

using namespace t4::platform::raster;
using namespace t4::gfx;

std::list<DDSURFACEDATA*> g_SurfaceList;

namespace {

// A texture that cannot be created is fatal: tell the player why and close in order.
void TextureFailureClose() {
  if (lpDTCon && lpDTCon->lpszFailText) ErrorBox(lpDTCon->lpszFailText);
  t4::platform::PostMessage(g_hWnd, WM_CLOSE, 0, 0);
}

void ReleaseRenderResources(DTSURFACEDATA* dt) {
  if (dt->lpTexture) dt->lpTexture->Release();
  if (dt->lpSurface) dt->lpSurface->Release();
  if (dt->lpSystemSurface) dt->lpSystemSurface->Release();
  dt->lpTexture = dt->lpSurface = dt->lpSystemSurface = nullptr;
}

void DDCheckTextureSize(int w, int h, const char* szWhat) {
  if (!lpDTCon) return;
  bool warned = false;
  if (w > lpDTCon->Caps.nMaxTextureWidth) {
    WriteReportLog("このビデオカードでは横幅%dを超える画像はサポートされていません！", lpDTCon->Caps.nMaxTextureWidth);
    warned = true;
  }
  if (h > lpDTCon->Caps.nMaxTextureHeight) {
    WriteReportLog("このビデオカードでは縦幅%dを超える画像はサポートされていません！", lpDTCon->Caps.nMaxTextureHeight);
    warned = true;
  }
  if (warned) WriteReportLog("上記の理由でテクスチャの描画が失敗する可能性があります。(%s)", szWhat);
}

}  // namespace

namespace t4::gfx {
// Shared with the file loader.
void CheckTextureSize(int w, int h, const char* szWhat) { DDCheckTextureSize(w, h, szWhat); }
void FailTextureAndClose() { TextureFailureClose(); }
}  // namespace t4::gfx

void DDAllocSurfaceParts(DDSURFACEDATA* lpSD) {
  if (!lpSD) return;
  if (lpDTCon) {
    if (!lpSD->lpDT) lpSD->lpDT = new DTSURFACEDATA();
  } else if (g_lpDDCon) {
    if (!lpSD->lpDDPart) lpSD->lpDDPart = new DDSURFACEPART();
  }
}

void DDAdjustTextureSize(int* lpnWidth, int* lpnHeight) {
  if (!lpDTCon) return;
  auto pow2 = [](int v) {
    if (v <= 0 || (v & (v - 1)) == 0) return v;
    return static_cast<int>(std::bit_floor(static_cast<unsigned>(v)) * 2);
  };
  if (lpDTCon->bTexPow2) {
    *lpnWidth = pow2(*lpnWidth);
    *lpnHeight = pow2(*lpnHeight);
  }
  if (lpDTCon->bTexSquareOnly) *lpnWidth = *lpnHeight = std::max(*lpnWidth, *lpnHeight);
}

bool DDCreateSurface(DDSURFACEDATA* lpSD, int nWidth, int nHeight, BOOL bColorKey, int nDDMemory, int nMemoryType,
                     DDSURFACEDATA* lpSrcSD, BOOL bReload) {
  if (!lpSD) return false;
  if (lpDTCon && lpDevice) {
    DDAllocSurfaceParts(lpSD);
    DTSURFACEDATA* dt = lpSD->lpDT;
    if (!bReload) {
      CopyName(lpSD->szName, "OffScreen");
      CopyName(lpSD->szFile, "E");
      // A record created again without a release first must not keep its old texture alive.
      ReleaseRenderResources(dt);
      dt->nMemoryType = nMemoryType;
      dt->bColorKey = bColorKey == 1 ? 1 : 0;
      if (!lpSrcSD) {
        dt->nSerial = lpDTCon->nTextureSerial++;
        if (dt->lpVB) dt->lpVB->Release();
        dt->lpVB = nullptr;
        if (lpDevice->CreateVertexBuffer(4, &dt->lpVB) != D3D_OK) {
          WriteReportLog("CreateVertexBuffer Err");
          return false;
        }
      }
    }
    if (lpSrcSD) {
      lpSD->nWidth = lpSD->nTexWidth = nWidth;
      lpSD->nHeight = lpSD->nTexHeight = nHeight;
      lpSD->nDDMemory = nDDMemory;
      return true;
    }
    int tw = nWidth, th = nHeight;
    DDAdjustTextureSize(&tw, &th);
    DDCheckTextureSize(tw, th, "空");
    int type = dt->nMemoryType == DTMEMORYTYPE_VIDEO_NORT ? DTMEMORYTYPE_VIDEO_RT : dt->nMemoryType;
    const PixelFormat format = ToRasterFormat(lpDTCon->TextureFormat);
    if (type == DTMEMORYTYPE_VIDEO_RT) {
      dt->bRenderTarget = 1;
      const HRESULT hr = lpDevice->CreateTexture(tw, th, true, false, format, Pool::Default, &dt->lpTexture);
      if (hr == D3DERR_OUTOFVIDEOMEMORY) {
        WriteReportLog("VRAM不足のためシステムメモリにテクスチャを作成します。(空)");
        type = DTMEMORYTYPE_SYSTEM;
      } else if (hr != D3D_OK) {
        return false;
      }
    }
    dt->nMemoryType = type;
    if (type == DTMEMORYTYPE_SYSTEM && !(bReload && dt->lpTexture)) {
      dt->bRenderTarget = 0;
      const HRESULT hr = lpDevice->CreateTexture(tw, th, false, true, format, Pool::SystemMem, &dt->lpTexture);
      if (hr != D3D_OK) {
        WriteReportLog("D3DXCreateTexture Err hr = %x", static_cast<unsigned>(hr));
        TextureFailureClose();
        return false;
      }
    }
    if (!dt->lpSurface) {
      dt->lpSurface = dt->lpTexture;
      dt->lpSurface->AddRef();
    }
    dt->desc = {dt->lpSurface->Width(), dt->lpSurface->Height(), ToD3DFormat(dt->lpSurface->Format())};
    if (type == DTMEMORYTYPE_VIDEO_RT && !dt->lpSystemSurface) {
      if (lpDevice->CreatePlainSurface(dt->desc.nWidth, dt->desc.nHeight, format, Pool::SystemMem,
                                       &dt->lpSystemSurface) != D3D_OK) {
        WriteReportLog("CreateOffscreenPlainSurface Err hr = %x", static_cast<unsigned>(D3DERR_OUTOFVIDEOMEMORY));
        TextureFailureClose();
        return false;
      }
    }
    lpSD->nWidth = nWidth;
    lpSD->nHeight = nHeight;
    lpSD->nTexWidth = dt->desc.nWidth;
    lpSD->nTexHeight = dt->desc.nHeight;
    if (dt->bRenderTarget) {
      if (lpDevice->SetRenderTarget(dt->lpSurface) == D3D_OK) lpDevice->Clear(nullptr, lpDTCon->dwKeyColor);
      DDRestoreRenderTarget();
    }
    if (!bReload) g_SurfaceList.push_back(lpSD);
    return true;
  }
  if (g_lpDDCon && g_lpDD) {
    DDAllocSurfaceParts(lpSD);
    DDSURFACEPART* part = lpSD->lpDDPart;
    if (part->lpDDS) part->lpDDS->Release();
    part->lpDDS = nullptr;
    int memory = nDDMemory == 1 ? 1 : 0;
    HRESULT hr = g_lpDD->CreateSurface(nWidth, nHeight, memory == 1, &part->lpDDS);
    if (hr != D3D_OK && memory == 0) {
      memory = 1;
      hr = g_lpDD->CreateSurface(nWidth, nHeight, true, &part->lpDDS);
      if (hr != D3D_OK) {
        WriteReportLog("CreateSurface Video -> System Err");
        return false;
      }
    } else if (hr != D3D_OK) {
      WriteReportLog("CreateSurface System Err");
      return false;
    }
    if (bColorKey == 1 && g_lpDD->SetColorKey(part->lpDDS, g_dwColorKey) != D3D_OK) WriteReportLog("SetColorKey Err");
    lpSD->nWidth = lpSD->nTexWidth = nWidth;
    lpSD->nHeight = lpSD->nTexHeight = nHeight;
    lpSD->nDDMemory = memory;
    DDFillRectPal(lpSD, 0, 0, nWidth, nHeight, 0);
    return true;
  }
  return false;
}

bool DDCheckSurfaceError(int nResult) {
  if (nResult == 0) return true;
  if (nResult == CREATESURFACE_ERR) DebugLogf("CREATESURFACE_ERR");
  if (nResult == LOADIMAGE_ERR) DebugLogf("LOADIMAGE_ERR");
  if (nResult == SETCOLORKEY_ERR) DebugLogf("SETCOLORKEY_ERR");
  return false;
}

void DDReleaseSurface(DDSURFACEDATA* lpSD) {
  if (!lpSD) return;
  if (DTSURFACEDATA* dt = lpSD->lpDT) {
    if (!lpSD->lpSrcSD) {
      ReleaseRenderResources(dt);
      if (dt->lpVB) dt->lpVB->Release();
      dt->lpVB = nullptr;
      const int serial = dt->nSerial;
      if (serial != 0)
        g_SurfaceList.remove_if([serial](DDSURFACEDATA* sd) { return sd->lpDT && sd->lpDT->nSerial == serial; });
      delete[] dt->lpIndexMap;
    }
    delete dt;
    lpSD->lpDT = nullptr;
  }
  if (DDSURFACEPART* part = lpSD->lpDDPart) {
    if (part->lpDDS) part->lpDDS->Release();
    delete[] part->lpIndexMap;
    delete part;
    lpSD->lpDDPart = nullptr;
  }
}

void DDReleaseSurfaceVector(std::vector<DDSURFACEDATA>& surfaces) {
  for (DDSURFACEDATA& sd : surfaces) DDReleaseSurface(&sd);
}

void DDReleaseSurfaceList(std::list<DDSURFACEDATA>& surfaces) {
  for (DDSURFACEDATA& sd : surfaces) DDReleaseSurface(&sd);
}

namespace {

IMAGESLOT MakeSlot(BOOL bColorKey, int nDDMemory, int nMemoryType, DDSURFACEDATA* lpSrcSD) {
  IMAGESLOT slot;
  slot.bColorKey = bColorKey;
  slot.nDDMemory = nDDMemory;
  slot.nMemoryType = nMemoryType;
  slot.bShared = lpSrcSD != nullptr;
  return slot;
}

}  // namespace

bool DDAddSurface(std::vector<DDSURFACEDATA>& surfaces, std::vector<IMAGESLOT>& slots, int nWidth, int nHeight,
                  BOOL bColorKey, int nDDMemory, int nMemoryType, DDSURFACEDATA* lpSrcSD) {
  // Growing the vector moves its records; the pointers kept to them (the device-reset list and
  // texture-sharing links) follow them instead of dangling.
  DDSURFACEDATA* const oldData = surfaces.data();
  const size_t oldSize = surfaces.size();
  surfaces.emplace_back();
  if (surfaces.data() != oldData && oldSize > 0) {
    auto moved = [&](DDSURFACEDATA* p) {
      return p >= oldData && p < oldData + oldSize ? surfaces.data() + (p - oldData) : p;
    };
    for (DDSURFACEDATA*& p : g_SurfaceList) p = moved(p);
    for (DDSURFACEDATA& sd : surfaces) sd.lpSrcSD = moved(sd.lpSrcSD);
    lpSrcSD = moved(lpSrcSD);
  }
  slots.push_back(MakeSlot(bColorKey, nDDMemory, nMemoryType, lpSrcSD));
  return DDCreateSurface(&surfaces.back(), nWidth, nHeight, bColorKey, nDDMemory, nMemoryType, lpSrcSD, FALSE);
}

bool DDAddSurfaceToList(std::list<DDSURFACEDATA>& surfaces, std::list<IMAGESLOT>& slots, int nWidth, int nHeight,
                        BOOL bColorKey, int nDDMemory, int nMemoryType, DDSURFACEDATA* lpSrcSD) {
  surfaces.emplace_back();
  slots.push_back(MakeSlot(bColorKey, nDDMemory, nMemoryType, lpSrcSD));
  return DDCreateSurface(&surfaces.back(), nWidth, nHeight, bColorKey, nDDMemory, nMemoryType, lpSrcSD, FALSE);
}

bool DDInsertSurfaceToList(std::list<DDSURFACEDATA>& surfaces, std::list<IMAGESLOT>& slots, int nPos, int nWidth,
                           int nHeight, BOOL bColorKey, int nDDMemory, int nMemoryType, DDSURFACEDATA* lpSrcSD) {
  if (nPos < 0) return false;
  if (static_cast<size_t>(nPos) >= surfaces.size())
    return DDAddSurfaceToList(surfaces, slots, nWidth, nHeight, bColorKey, nDDMemory, nMemoryType, lpSrcSD);
  auto sit = std::next(surfaces.begin(), nPos);
  auto lit = slots.begin();
  std::advance(lit, std::min<size_t>(static_cast<size_t>(nPos), slots.size()));
  auto added = surfaces.emplace(sit);
  slots.insert(lit, MakeSlot(bColorKey, nDDMemory, nMemoryType, lpSrcSD));
  return DDCreateSurface(&*added, nWidth, nHeight, bColorKey, nDDMemory, nMemoryType, lpSrcSD, FALSE);
}

bool DDRemoveSurfaceFromList(std::list<DDSURFACEDATA>& surfaces, std::list<IMAGESLOT>& slots, DDSURFACEDATA* lpSD) {
  size_t pos = 0;
  auto it = surfaces.begin();
  for (; it != surfaces.end() && &*it != lpSD; ++it) ++pos;
  if (it == surfaces.end()) return false;
  DDReleaseSurface(&*it);
  surfaces.erase(it);
  if (pos < slots.size()) slots.erase(std::next(slots.begin(), static_cast<ptrdiff_t>(pos)));
  return true;
}

void DDRedirectToSrcSD(DDSURFACEDATA** lplpSD) {
  if (lpDTCon && *lplpSD && (*lplpSD)->lpSrcSD) *lplpSD = (*lplpSD)->lpSrcSD;
}

void LinkSurfaceData() {
  if (!lpDTCon || !g_lpSurfaceTable || g_nSurfaceCount < 70) return;
  DDSURFACEDATA* t = g_lpSurfaceTable;
  for (int i = 3; i <= 21; i += 2) t[i].lpSrcSD = &t[i - 1];
  for (int k = 0; k < 9; ++k) {
    t[22 + 2 * k].lpSrcSD = &t[4 + 2 * k];
    t[23 + 2 * k].lpSrcSD = &t[4 + 2 * k];
  }
  t[41].lpSrcSD = &t[40];
  t[44].lpSrcSD = &t[43];
  t[69].lpSrcSD = &t[68];
}

bool DDLock(DDSURFACEDATA* lpSD, BYTE** lplpBits, int nBpp) {
  if (lpDTCon) {
    DebugLogf("D3DではDDLockは未対応");
    return true;
  }
  if (!g_lpDD || !lpSD || !lpSD->lpDDPart || !lpSD->lpDDPart->lpDDS) return false;
  if (g_lpDD->Lock(lpSD->lpDDPart->lpDDS) != D3D_OK) return false;
  if (lplpBits && (nBpp == 8 || nBpp == 16 || nBpp == 24 || nBpp == 32)) *lplpBits = lpSD->lpDDPart->lpDDS->Bits();
  return true;
}

bool cSurfaceLock::Lock(DDSURFACEDATA* lpSD) {
  Unlock();
  if (!lpSD) return false;
  if (lpDTCon) {
    DDRedirectToSrcSD(&lpSD);
    DDRedirectToVirBackBuffer(&lpSD);
    DTSURFACEDATA* dt = lpSD->lpDT;
    if (!lpDevice || !dt || !dt->lpSurface) return false;
    if (lpSD == &BackBuffer) {
      if (lpDevice->LockRect(dt->lpSurface) != D3D_OK) return false;
      m_lpLocked = dt->lpSurface;
      m_nKind = 1;
    } else if (dt->bRenderTarget) {
      if (!dt->lpSystemSurface || lpDevice->GetRenderTargetData(dt->lpSurface, dt->lpSystemSurface) != D3D_OK) {
        DebugLogf("FAILED( lpDevice->GetRenderTargetData(lpSD->lpDT->lpSurface,lpSD->lpDT->lpSystemSurface) )");
        return false;
      }
      if (lpDevice->LockRect(dt->lpSystemSurface) != D3D_OK) {
        DebugLogf("FAILED( lpSD->lpDT->lpSystemSurface->LockRect(&lock, NULL, 0) )");
        return false;
      }
      m_lpLocked = dt->lpSystemSurface;
      m_nKind = 2;
    } else {
      if (lpDevice->LockRect(dt->lpSurface) != D3D_OK) {
        DebugLogf("FAILED( lpSD->lpDT->lpSurface->LockRect(&(lock), NULL, 0) )");
        return false;
      }
      m_lpLocked = dt->lpSurface;
      m_nKind = 1;
    }
  } else {
    if (!DDLock(lpSD, nullptr, g_nBpp)) return false;
    m_lpLocked = lpSD->lpDDPart->lpDDS;
    m_nKind = 1;
  }
  m_lpSD = lpSD;
  m_lpBits = m_lpLocked->Bits();
  m_nBytesPerPixel = m_lpLocked->BytesPerPixel();
  m_nPitch = m_nBytesPerPixel ? m_lpLocked->Pitch() / m_nBytesPerPixel : 0;
  m_nBpp = m_nBytesPerPixel * 8;
  return true;
}

void cSurfaceLock::Unlock() {
  if (m_nKind == 2 && lpDevice && m_lpSD && m_lpSD->lpDT)
    lpDevice->UpdateSurface(m_lpSD->lpDT->lpSystemSurface, m_lpSD->lpDT->lpSurface);
  m_nKind = 0;
  m_lpLocked = nullptr;
  m_lpSD = nullptr;
  m_lpBits = nullptr;
}
