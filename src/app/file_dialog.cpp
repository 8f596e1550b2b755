#include "app/file_dialog.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "app/dialog_resources.h"
#include "app/hook.h"
#include "core/message_box.h"
#include "core/path_helpers.h"
#include "core/report_log.h"
#include "persist/system_ini.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/text_codec.h"
#include "platform/ui/dialog_host.h"
#include "platform/ui/dialog_model.h"
#include "platform/ui/file_browser.h"

namespace ui = t4::platform::ui;

cFileDialog* cFileDialog::s_lpInstance = nullptr;

namespace {

constexpr int PATH_BUFFER = 260;
constexpr const char* REPLAY_FOLDER = "user_data\\rpl4\\";

const char* const TITLES[3][2] = {
    {"ステージファイルの読み込み", "load stage file"},
    {"リプレイファイルの読み込み", "load replay file"},
    {"リプレイファイルの保存", "save replay file"},
};

bool English() { return g_SystemIni.m_nEnglish != 0; }

template <typename... A>
std::string Format(const char* format, A... args) {
  std::string out;
  FormatString(out, format, args...);
  return out;
}

// The pattern of a filter: its second string.
std::string FilterPattern(const char* filter) {
  if (!filter) return "*";
  const char* pattern = filter + std::strlen(filter) + 1;
  return *pattern ? std::string(pattern) : std::string("*");
}

// Splits a path at its last separator (a 0x5C trail byte is part of its name): the folder part
// without the separator, and the name. No separator: no folder.
bool SplitAtLastSeparator(const std::string& path, std::string& folder, std::string& name) {
  size_t cut = std::string::npos;
  for (size_t i = 0; i < path.size(); i += t4::platform::IsSjisPairAt(path, i) ? 2 : 1)
    if (path[i] == '\\' || path[i] == '/') cut = i;
  if (cut == std::string::npos) return false;
  folder = path.substr(0, cut);
  name = path.substr(cut + 1);
  return true;
}

// The folder part of a proposed path as a folder of the project ("" its top), or nothing when
// it lies outside the project.
std::optional<std::string> ProjectFolderOf(const std::string& folderPart) {
  // A name right under the root has an empty folder part.
  std::string folder = folderPart.empty() ? std::string(1, '\\') : folderPart;
  if (!MakeRelativePathStr(folder)) return std::nullopt;
  std::string out;
  std::string part;
  auto take = [&]() {
    if (part == "..") return false;
    if (!part.empty() && part != ".") out += out.empty() ? part : "\\" + part;
    part.clear();
    return true;
  };
  for (size_t i = 0; i < folder.size(); ++i) {
    if (t4::platform::IsSjisPairAt(folder, i)) {
      part.append(folder, i, 2);
      ++i;
    } else if (folder[i] == '\\' || folder[i] == '/') {
      if (!take()) return std::nullopt;
    } else {
      part.push_back(folder[i]);
    }
  }
  if (!take()) return std::nullopt;
  return out;
}

class FileBrowser {
 public:
  FileBrowser(bool bSave, const char* folder, const char* title, const char* filter, const char* ext)
      : m_bSave(bSave), m_strPattern(FilterPattern(filter)), m_strExt(ext ? ext : "") {
    m_lpModel = MakeDialogModel(IDD_FILE_BROWSER);
    m_lpModel->SetCaption(title ? title : "");
    if (English()) m_lpModel->SetText(IDC_BROWSER_NAME_LABEL, "File name:");
    m_lpModel->SetText(ui::ID_OK, bSave ? (English() ? "Save" : "保存") : (English() ? "Open" : "開く"));
    if (English()) m_lpModel->SetText(ui::ID_CANCEL, "Cancel");
    m_strFolder = ui::TrimFolder(folder ? folder : "");
    std::vector<ui::BrowserEntry> probe;
    // A folder that does not exist yet (no replay saved so far) starts the browser at the top.
    if (!ui::ListFolder(m_strFolder, m_strPattern, probe)) m_strFolder.clear();
  }

  // Runs the browser; the chosen path, or nothing.
  bool Run(const std::string& proposed, std::string& path) {
    m_lpModel->OnCommand([this](int id, int code) { OnCommand(id, code); });
    m_lpModel->OnClose([this] { m_bDone = true; });
    m_lpModel->SetKeyFilter([this](int vk, bool down) {
      // Not one of the framework's dialogs: the hook keeps Escape from it.
      return cHook::HookProc(nullptr, m_lpModel->IsComposing(), vk, down);
    });
    Refresh();
    m_lpModel->SetText(IDC_BROWSER_NAME, TakeProposedFolder(proposed));
    m_lpModel->SetFocus(m_bSave ? IDC_BROWSER_NAME : IDC_BROWSER_LIST);
    const ui::Rect w = m_lpModel->WindowRect();
    m_lpModel->MoveTo((ui::DialogHost::FRAME_W - w.w) / 2, (ui::DialogHost::FRAME_H - w.h) / 2);
    int nQuit = 0;
    bool bQuit = false;
    ui::GetDialogHost().RunModal(
        *m_lpModel, [&] { return m_bDone || bQuit; }, [&] { bQuit = bQuit || ServeModalMessages(nQuit); });
    if (bQuit) t4::platform::PostQuitMessage(nQuit);
    if (!m_bChosen) return false;
    path = m_strChosen;
    return true;
  }

 private:
  // A proposal given as a path (the replay name is made as a full path) opens the browser in its
  // folder when that folder is one of the project's, and leaves only the name in the name box.
  std::string TakeProposedFolder(const std::string& proposed) {
    std::string folder;
    std::string name;
    if (!SplitAtLastSeparator(proposed, folder, name)) return proposed;
    const std::optional<std::string> inProject = ProjectFolderOf(folder);
    std::vector<ui::BrowserEntry> probe;
    if (inProject && ui::ListFolder(*inProject, m_strPattern, probe)) {
      m_strFolder = *inProject;
      Refresh();
    }
    return name;
  }

  void Refresh() {
    if (!ui::ListFolder(m_strFolder, m_strPattern, m_Entries)) m_Entries.clear();
    std::vector<std::string> lines;
    for (const ui::BrowserEntry& e : m_Entries) lines.push_back(e.folder ? "[" + e.nameSjis + "]" : e.nameSjis);
    m_lpModel->SetItems(IDC_BROWSER_LIST, std::move(lines));
    m_lpModel->SetText(IDC_BROWSER_FOLDER, m_strFolder.empty() ? std::string(".\\") : ".\\" + m_strFolder + "\\");
  }

  void Enter(const std::string& name) {
    m_strFolder = name == ".." ? ui::ParentFolder(m_strFolder) : ui::EntryPath(m_strFolder, name);
    Refresh();
    m_lpModel->SetFocus(IDC_BROWSER_LIST);
  }

  void OnCommand(int id, int code) {
    const int sel = m_lpModel->CurSel(IDC_BROWSER_LIST);
    const ui::BrowserEntry* entry =
        sel >= 0 && static_cast<size_t>(sel) < m_Entries.size() ? &m_Entries[static_cast<size_t>(sel)] : nullptr;
    if (id == IDC_BROWSER_LIST && code == ui::LBN_SELCHANGE && entry && !entry->folder)
      m_lpModel->SetText(IDC_BROWSER_NAME, entry->nameSjis);
    if (id == IDC_BROWSER_LIST && code == ui::LBN_DBLCLK && entry) Activate(*entry);
    if (id == ui::ID_OK && code == ui::BN_CLICKED) {
      if (m_lpModel->Focus() == IDC_BROWSER_LIST && entry)
        Activate(*entry);
      else
        Accept(m_lpModel->Text(IDC_BROWSER_NAME));
    }
    if (id == ui::ID_CANCEL && code == ui::BN_CLICKED) m_bDone = true;
  }

  void Activate(const ui::BrowserEntry& entry) {
    if (entry.folder)
      Enter(entry.nameSjis);
    else
      Accept(entry.nameSjis);
  }

  void Accept(std::string name) {
    while (!name.empty() && name.back() == ' ') name.pop_back();
    if (name.empty()) return;
    if (name == ".." || (ui::IsPlainFileName(name) && t4::platform::IsDirectory(ui::EntryPath(m_strFolder, name)))) {
      Enter(name);
      return;
    }
    if (!ui::IsPlainFileName(name)) {
      ShowMessageBox(English() ? "The file name is not valid." : "ファイル名が正しくありません。", Caption(), MB_OK);
      return;
    }
    if (m_bSave && name.find('.') == std::string::npos && !m_strExt.empty()) name += "." + m_strExt;
    const std::string path = ui::EntryPath(m_strFolder, name);
    if (path.size() >= PATH_BUFFER) {
      ShowMessageBox(English() ? "The file name is too long." : "ファイル名が長すぎます。", Caption(), MB_OK);
      return;
    }
    const bool exists = t4::platform::FileExists(path) && !t4::platform::IsDirectory(path);
    if (!m_bSave && !exists) {
      const std::string text =
          Format(English() ? "%s\nFile not found." : "%s\nファイルが見つかりません。", name.c_str());
      ShowMessageBox(text.c_str(), Caption(), MB_OK);
      return;
    }
    if (m_bSave && exists) {
      const std::string text = Format(
          English() ? "%s already exists.\nDo you want to replace it?" : "%s は既に存在します。\n上書きしますか？",
          name.c_str());
      if (ShowMessageBox(text.c_str(), Caption(), MB_YESNO) != IDYES) return;
    }
    m_strChosen = path;
    m_bChosen = true;
    m_bDone = true;
  }

  const char* Caption() const { return m_lpModel->Caption().c_str(); }

  bool m_bSave;
  std::string m_strPattern;
  std::string m_strExt;
  std::string m_strFolder;
  std::vector<ui::BrowserEntry> m_Entries;
  std::unique_ptr<ui::DialogModel> m_lpModel;
  bool m_bDone = false;
  bool m_bChosen = false;
  std::string m_strChosen;
};

bool RunBrowser(bool bSave, char* buffer, int nSize, const char* folder, const char* title, const char* filter,
                const char* ext) {
  FileBrowser browser(bSave, folder, title, filter, ext);
  std::string path;
  if (!browser.Run(bSave ? std::string(buffer) : std::string(), path)) return false;
  if (static_cast<int>(path.size()) >= nSize) return false;
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return true;
}

}  // namespace

bool OpenFileDialog(HWND, char* buffer, int nSize, const char* folder, const char* title, const char* filter,
                    const char* ext) {
  if (!buffer || nSize <= 0) return false;
  std::memset(buffer, 0, static_cast<size_t>(nSize));
  return RunBrowser(false, buffer, nSize, folder, title, filter, ext);
}

bool SaveFileDialog(HWND, char* buffer, const char* folder, const char* title, const char* filter, const char* ext,
                    bool bKeep) {
  if (!buffer) return false;
  if (!bKeep) std::memset(buffer, 0, PATH_BUFFER);
  buffer[PATH_BUFFER - 1] = '\0';
  return RunBrowser(true, buffer, PATH_BUFFER, folder, title, filter, ext);
}

cFileDialog::cFileDialog(std::string* lpPath, int32_t nMode) : m_lpPath(lpPath), m_nMode(nMode) {
  SetTemplate(IDD_FILE_SELECT, static_cast<cWnd*>(nullptr), nullptr);
  m_bTemplate = 1;
  s_lpInstance = this;
  SetGeometry(0, 0, 100, 100, 640, 480, 0, 0, 0, 0, 0, 0);
}

cFileDialog::~cFileDialog() {
  if (s_lpInstance == this) s_lpInstance = nullptr;
}

int cFileDialog::OnInitDialog(WPARAM wParam, LPARAM lParam) {
  cDialog::OnInitDialog(wParam, lParam);
  UpdateCtrls();
  const int mode = m_nMode >= 0 && m_nMode <= 2 ? m_nMode : 0;
  const char* title = TITLES[mode][English() ? 1 : 0];
  char buffer[PATH_BUFFER] = {};
  bool ok = false;
  if (mode == FILE_MODE_LOAD_STAGE) {
    static const char filter[] = "StageFile ( *.stg4_*;*.rpl4_* )\0*.stg4_*;*.rpl4_*\0";
    ok = OpenFileDialog(m_hWnd, buffer, PATH_BUFFER, "data\\stg4\\", title, filter, "stg4_*;rpl4_*");
  } else if (mode == FILE_MODE_LOAD_REPLAY) {
    static const char filter[] = "ReplayFile ( *.rpl4_* )\0*.rpl4_*\0";
    ok = OpenFileDialog(m_hWnd, buffer, PATH_BUFFER, "user_data\\rpl4", title, filter, "rpl4_*");
  } else {
    const std::string ext = Format("rpl4_%s", "902");
    const std::string description = Format("ReplayFile ( *.%s )", ext.c_str());
    const std::string pattern = Format("*.%s", ext.c_str());
    std::string filter = description;
    filter.push_back('\0');
    filter += pattern;
    filter.push_back('\0');
    if (m_lpPath) std::memcpy(buffer, m_lpPath->c_str(), std::min<size_t>(m_lpPath->size(), PATH_BUFFER - 1));
    ok = SaveFileDialog(m_hWnd, buffer, REPLAY_FOLDER, title, filter.c_str(), ext.c_str(), true);
  }
  if (m_lpPath) *m_lpPath = buffer;
  End(ok ? 1 : 0);
  return 0;
}
