#include "persist/default_data.h"

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "core/message_box.h"
#include "core/report_log.h"
#include "persist/project_layout.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace {

// Copies the folder tree. Links to folders are not followed (a link may point back up the tree);
// a link to a file is copied as the file. Anything that is neither file nor folder fails the copy.
bool CopyTree(const fs::path& from, const fs::path& to, std::error_code& ec) {
  if (!fs::create_directory(to, ec) && !ec) ec = std::make_error_code(std::errc::file_exists);
  if (ec) return false;
  for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& source = it->path();
    const fs::path target = to / source.filename();
    fs::file_status linkStatus = it->symlink_status(ec);
    if (ec) return false;
    fs::file_status status = fs::is_symlink(linkStatus) ? it->status(ec) : linkStatus;
    if (ec) return false;
    if (fs::is_directory(status)) {
      if (fs::is_symlink(linkStatus)) continue;
      if (!CopyTree(source, target, ec)) return false;
    } else if (fs::is_regular_file(status)) {
      if (!fs::copy_file(source, target, ec)) return false;
    } else {
      ec = std::make_error_code(std::errc::not_supported);
      return false;
    }
  }
  return !ec;
}

bool CopyDefaultFolder() {
  std::optional<std::string> source = t4::platform::ResolvePath("default");
  std::optional<std::string> target = t4::platform::ResolvePath("data");
  if (!source || !target) return false;
  const fs::path temp = fs::path(*target).concat(".copying");
  std::error_code ec;
  fs::remove_all(temp, ec);  // what an interrupted earlier copy left
  ec.clear();
  if (CopyTree(*source, temp, ec)) fs::rename(temp, *target, ec);
  if (!ec) return true;
  WriteReportLog("デフォルトデータのコピーに失敗しました（%s）", ec.message().c_str());
  std::error_code ignored;
  fs::remove_all(temp, ignored);
  return false;
}

}  // namespace

int CreateDefaultData(HWND) {
  if (t4::platform::IsDirectory(g_Paths[PATH_DATA])) return 1;
  if (!t4::platform::IsDirectory(g_Paths[PATH_DEFAULT])) return 0;
  if (ShowMessageBox("データが存在しません！デフォルトデータを作成しますか？\n", "デフォルトデータ作成の確認",
                     MB_YESNO) != IDYES) {
    return 0;
  }
  return CopyDefaultFolder() ? 1 : 0;
}
