#include "platform/ui/file_browser.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/files.h"
#include "platform/text_codec.h"

namespace t4::platform::ui {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool MatchFrom(std::string_view n, size_t i, std::string_view p, size_t j) {
  while (j < p.size()) {
    if (p[j] == '*') {
      while (j < p.size() && p[j] == '*') ++j;
      if (j == p.size()) return true;
      for (size_t k = i; k <= n.size(); k += (k < n.size() && IsSjisPairAt(n, k)) ? 2 : 1)
        if (MatchFrom(n, k, p, j)) return true;
      return false;
    }
    if (i >= n.size()) return false;
    const size_t len = IsSjisPairAt(n, i) ? 2 : 1;
    if (p[j] == '?') {
      i += len;
      ++j;
      continue;
    }
    if (len == 2) {
      if (p.substr(j, 2) != n.substr(i, 2)) return false;
      i += 2;
      j += 2;
      continue;
    }
    if (Lower(p[j]) != Lower(n[i])) return false;
    ++i;
    ++j;
  }
  return i == n.size();
}

}  // namespace

bool MatchPattern(std::string_view name, std::string_view pattern) { return MatchFrom(name, 0, pattern, 0); }

bool MatchPatternList(std::string_view name, std::string_view patterns) {
  size_t start = 0;
  while (start <= patterns.size()) {
    size_t end = patterns.find(';', start);
    if (end == std::string_view::npos) end = patterns.size();
    const std::string_view one = patterns.substr(start, end - start);
    if (!one.empty() && MatchPattern(name, one)) return true;
    start = end + 1;
  }
  return false;
}

std::string TrimFolder(std::string_view folderSjis) {
  std::string f(folderSjis);
  while (!f.empty() && EndsWithSeparator(f)) f.pop_back();
  return f;
}

std::string ParentFolder(std::string_view folderSjis) {
  const std::string f = TrimFolder(folderSjis);
  size_t cut = std::string::npos;
  for (size_t i = 0; i < f.size(); i += IsSjisPairAt(f, i) ? 2 : 1)
    if (f[i] == '\\' || f[i] == '/') cut = i;
  return cut == std::string::npos ? std::string() : f.substr(0, cut);
}

std::string EntryPath(std::string_view folderSjis, std::string_view name) {
  const std::string f = TrimFolder(folderSjis);
  return f.empty() ? std::string(name) : JoinPath(f, name);
}

bool IsPlainFileName(std::string_view nameSjis) {
  if (nameSjis.empty() || nameSjis == "." || nameSjis == "..") return false;
  for (size_t i = 0; i < nameSjis.size(); ++i) {
    if (IsSjisPairAt(nameSjis, i)) {
      ++i;
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(nameSjis[i]);
    if (c < 0x20 || std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos) return false;
  }
  return true;
}

bool ListFolder(const std::string& folderSjis, std::string_view patterns, std::vector<BrowserEntry>& out) {
  out.clear();
  const std::string folder = TrimFolder(folderSjis);
  const std::optional<std::string> native = folder.empty() ? std::optional<std::string>(".") : ResolvePath(folder);
  if (!native) return false;
  std::error_code ec;
  std::filesystem::directory_iterator it(*native, ec);
  if (ec) return false;
  std::vector<BrowserEntry> folders;
  std::vector<BrowserEntry> files;
  for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    const std::optional<std::string> name = Utf8ToCp932(it->path().filename().string());
    if (!name || name->empty() || (*name)[0] == '.') continue;
    std::error_code typeError;
    if (it->is_directory(typeError)) {
      folders.push_back(BrowserEntry{*name, true});
    } else if (MatchPatternList(*name, patterns)) {
      files.push_back(BrowserEntry{*name, false});
    }
  }
  auto byName = [](const BrowserEntry& a, const BrowserEntry& b) { return a.nameSjis < b.nameSjis; };
  std::sort(folders.begin(), folders.end(), byName);
  std::sort(files.begin(), files.end(), byName);
  if (!folder.empty()) out.push_back(BrowserEntry{"..", true});
  out.insert(out.end(), folders.begin(), folders.end());
  out.insert(out.end(), files.begin(), files.end());
  return true;
}

}  // namespace t4::platform::ui
