#include "app/dialog_resources.h"

namespace {

using t4::platform::ui::ControlKind;
using t4::platform::ui::DialogTemplate;

constexpr const char* DIALOG_FONT = "ＭＳ Ｐゴシック";

DialogTemplate NameEntry() {
  DialogTemplate t;
  t.resourceId = 102;
  t.fontFace = DIALOG_FONT;
  t.width = 110;
  t.height = 65;
  t.controls = {
      {1075, ControlKind::Picture, "", {7, 7, 20, 21}},
      {1003, ControlKind::Edit, "", {75, 12, 24, 14}},
      {1000, ControlKind::DefButton, "OK", {30, 35, 50, 18}},
      {1007, ControlKind::Static, "登録名(3文字まで)", {15, 15, 56, 16}},
  };
  return t;
}

DialogTemplate Boot() {
  DialogTemplate t;
  t.resourceId = 103;
  t.hasCaption = true;
  t.fontFace = DIALOG_FONT;
  t.width = 222;
  t.height = 171;
  t.controls = {
      {1075, ControlKind::Picture, "", {7, 7, 20, 21}},
      {1000, ControlKind::DefButton, "ゲーム開始", {80, 105, 50, 25}},
      {1001, ControlKind::Button, "ゲーム中止", {80, 140, 50, 18}},
      {1006, ControlKind::GroupBox, "描画モード", {15, 15, 190, 55}},
      {1002, ControlKind::Radio, "Direct3D", {20, 30, 42, 10}},
      {1003, ControlKind::Radio, "DirectDraw", {80, 30, 45, 10}},
      {1005, ControlKind::Static, "詳細な設定は環境設定ファイル「System.ini」で行って下さい。", {20, 50, 177, 12}},
      {1004, ControlKind::Check, "次回からこのダイアログを表示しない", {50, 85, 120, 10}},
  };
  return t;
}

DialogTemplate FileSelect() {
  DialogTemplate t;
  t.resourceId = 104;
  t.caption = "ファイルの選択";
  t.hasCaption = true;
  t.fontFace = DIALOG_FONT;
  t.width = 53;
  t.height = 35;
  t.controls = {{1075, ControlKind::Picture, "", {7, 7, 20, 21}}};
  return t;
}

DialogTemplate Browser() {
  DialogTemplate t;
  t.resourceId = IDD_FILE_BROWSER;
  t.hasCaption = true;
  t.fontFace = DIALOG_FONT;
  t.width = 260;
  t.height = 172;
  t.controls = {
      {IDC_BROWSER_FOLDER, ControlKind::Static, "", {7, 5, 246, 10}},
      {IDC_BROWSER_LIST, ControlKind::List, "", {7, 17, 246, 106}},
      {IDC_BROWSER_NAME_LABEL, ControlKind::Static, "ファイル名:", {7, 131, 50, 10}},
      {IDC_BROWSER_NAME, ControlKind::Edit, "", {60, 128, 193, 14}},
      {1, ControlKind::DefButton, "開く", {143, 150, 52, 16}},
      {2, ControlKind::Button, "キャンセル", {201, 150, 52, 16}},
  };
  return t;
}

}  // namespace

const DialogTemplate& GetDialogResource(int nResourceId) {
  static const DialogTemplate name = NameEntry();
  static const DialogTemplate boot = Boot();
  static const DialogTemplate file = FileSelect();
  static const DialogTemplate browser = Browser();
  static const DialogTemplate none;
  switch (nResourceId) {
    case IDD_NAME_ENTRY: return name;
    case IDD_BOOT: return boot;
    case IDD_FILE_SELECT: return file;
    case IDD_FILE_BROWSER: return browser;
    default: return none;
  }
}
