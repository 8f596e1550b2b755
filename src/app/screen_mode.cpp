#include "app/screen_mode.h"

SCREENMODE SelectScreenMode(const SCREENMODEINPUT& in) {
  SCREENMODE m;
  m.bWindowed = in.nWindowMode != 0;
  m.nVSync = in.nVSync;
  if (in.bDirect3D) {
    if (m.nVSync >= 2) m.nVSync = 1;
  } else if (m.bWindowed) {
    m.nVSync = 0;
  } else if (m.nVSync >= 2) {
    m.nVSync = in.bModernOS ? 0 : 1;
  }
  if (in.nBpp != 0) {
    m.nBpp = in.nBpp;
  } else if (m.bWindowed) {
    m.nBpp = in.nDesktopBpp;
  } else if (in.bDirect3D) {
    m.nBpp = in.nD3DDepth == 1 ? 16 : 32;
  } else {
    m.nBpp = in.nDDDepth == 1 ? 16 : (in.nDDDepth == 2 && !in.bFullColour) ? 8 : 32;
  }
  bool valid = m.nBpp == 16 || m.nBpp == 32 || (m.nBpp == 8 && !in.bDirect3D && !in.bFullColour && !m.bWindowed);
  if (valid && m.bWindowed && m.nBpp != in.nDesktopBpp) valid = false;
  if (!valid) {
    m.lpError = m.bWindowed && (m.nBpp == 16 || m.nBpp == 32)
                    ? "画面モードが不正です！\nウインドウモードではSystem.iniの設定と画面の色の設定を合わせて下さい！"
                    : "画面モードが不正です！\nSystem.iniと画面の設定を見直して下さい！";
    return m;
  }
  m.bValid = 1;
  return m;
}
