#include "core/path_helpers.h"

#include <algorithm>
#include <bitset>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/text_codec.h"

namespace {

constexpr size_t PATH_CHARS_MAX = MAX_PATH - 1;

bool Fits(const std::string& s) { return s.size() <= PATH_CHARS_MAX; }

void CopyOut(char* dst, const std::string& s) { std::memcpy(dst, s.c_str(), s.size() + 1); }

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Components of a path split at single-byte separators (a 0x5C trail byte is part of its name).
std::vector<std::string> SplitComponents(std::string_view path) {
  std::vector<std::string> parts;
  std::string current;
  for (size_t i = 0; i < path.size(); ++i) {
    if (t4::platform::IsSjisPairAt(path, i)) {
      current += path[i];
      current += path[++i];
    } else if (IsSeparator(path[i])) {
      if (!current.empty()) parts.push_back(current);
      current.clear();
    } else {
      current += path[i];
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

char FoldAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Windows compares names without regard to case; only single-byte letters fold (a trail byte
// in 'A'-'Z' belongs to a double-byte character and stays as it is).
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (t4::platform::IsSjisPairAt(a, i)) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (FoldAsciiLetter(a[i]) != FoldAsciiLetter(b[i])) return false;
  }
  return true;
}

std::string_view WithoutDrive(std::string_view path) {
  if (path.size() >= 2 && path[1] == ':') path.remove_prefix(2);
  return path;
}

// Absolute form of a path: joined to the current directory when relative, "." and ".."
// resolved, '\' as separator, a trailing separator kept.
std::optional<std::string> FullPath(const std::string& path) {
  std::string joined = path;
  if (!t4::platform::IsAbsolutePath(path)) {
    std::optional<std::string> cwd = t4::platform::GetCurrentDirectory();
    if (!cwd) return std::nullopt;
    joined = t4::platform::JoinPath(*cwd, path);
  }
  std::vector<std::string> parts;
  for (std::string& part : SplitComponents(WithoutDrive(joined))) {
    if (part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(std::move(part));
  }
  std::string out;
  for (const std::string& part : parts) out += "\\" + part;
  if (out.empty() || t4::platform::EndsWithSeparator(joined)) out += "\\";
  return out;
}

// Position of the last '.' of the whole string ('.' is never a trail byte).
size_t LastDot(std::string_view s) { return s.rfind('.'); }

// Where the file part of a path starts: after its last separator that is not the trail byte of a
// double-byte character.
size_t FileStart(std::string_view s) {
  size_t start = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if (t4::platform::IsSjisPairAt(s, i)) {
      ++i;
    } else if (IsSeparator(s[i])) {
      start = i + 1;
    }
  }
  return start;
}

// Numbered files end in '_' and three digits: "_000" to "_999".
constexpr int NUMBERED_FILE_COUNT = 1000;

// The numbers n for which an entry of the folder can answer to `base` + "_nnn", from one listing
// of the folder. The file check matches a name without regard to case by listing its folder, so
// checking every name would list it up to 1,000 times; a name no entry matches cannot pass it.
// Nullopt when the folder cannot be listed, or when the names do not part into folder and file
// as the check parts them (a drive letter without a separator, a lead byte that would take the
// '_', text that has no UTF-8 form): then every number is checked.
std::optional<std::bitset<NUMBERED_FILE_COUNT>> NumbersInFolder(const std::string& base) {
  const size_t fileStart = FileStart(base);
  if (fileStart == 0 && t4::platform::IsAbsolutePath(base)) return std::nullopt;
  // Entries are stored in UTF-8 and matched there, with ASCII letters folded.
  std::optional<std::string> stem = t4::platform::Cp932ToUtf8(std::string_view(base).substr(fileStart));
  if (!stem) return std::nullopt;
  std::optional<std::vector<std::string>> entries = t4::platform::ListFolder(base.substr(0, fileStart));
  if (!entries) return std::nullopt;

  std::bitset<NUMBERED_FILE_COUNT> numbers;
  const size_t digitsAt = stem->size() + 1;
  auto sameLetter = [](char a, char b) { return FoldAsciiLetter(a) == FoldAsciiLetter(b); };
  for (const std::string& entry : *entries) {
    if (entry.size() != digitsAt + 3 || entry[stem->size()] != '_') continue;
    if (!std::equal(stem->begin(), stem->end(), entry.begin(), sameLetter)) continue;
    int n = 0;
    bool digits = true;
    for (size_t i = digitsAt; i < entry.size(); ++i) {
      digits = digits && entry[i] >= '0' && entry[i] <= '9';
      n = n * 10 + (entry[i] - '0');
    }
    if (digits) numbers.set(static_cast<size_t>(n));
  }
  return numbers;
}

}  // namespace

int MakeAbsolutePath(char* path) {
  if (t4::platform::IsAbsolutePath(path)) return 1;
  std::optional<std::string> full = FullPath(path);
  if (!full || !Fits(*full)) return 0;
  CopyOut(path, *full);
  return 1;
}

int MakeRelativePath(char* path) {
  std::string s = path;
  int result = MakeRelativePathStr(s);
  if (result && Fits(s)) {
    CopyOut(path, s);
    return 1;
  }
  return 0;
}

int MakeRelativePathStr(std::string& path) {
  if (!t4::platform::IsAbsolutePath(path)) return 1;
  std::optional<std::string> cwd = t4::platform::GetCurrentDirectory();
  if (!cwd) return 0;
  std::optional<std::string> target = FullPath(path);
  if (!target) return 0;
  std::vector<std::string> from = SplitComponents(*cwd);
  std::vector<std::string> to = SplitComponents(*target);
  size_t common = 0;
  while (common < from.size() && common < to.size() && SameName(from[common], to[common])) ++common;

  std::string relative;
  if (common == from.size()) {
    relative = ".";
  } else {
    for (size_t i = common; i < from.size(); ++i) relative += i == common ? ".." : "\\..";
  }
  for (size_t i = common; i < to.size(); ++i) relative += "\\" + to[i];
  if (!Fits(relative)) return 0;
  path = relative;
  return 1;
}

void StripDirectory(char* path) {
  size_t len = std::strlen(path);
  if (len < 2) return;
  std::string_view s(path, len);
  size_t start = 0;
  // The last byte is never a separator, so "dir\name\" keeps its trailing backslash.
  for (size_t i = 0; i + 1 < len; ++i) {
    if (t4::platform::IsSjisPairAt(s, i)) {
      ++i;
    } else if (s[i] == '\\') {
      start = i + 1;
    }
  }
  if (start > 0) std::memmove(path, path + start, len - start + 1);
}

int ChangeExtension(char* dst, const char* src, const char* ext) {
  std::string s = src;
  size_t dot = LastDot(s);
  int result = 0;
  if (dot != std::string::npos) {
    s = ext ? s.substr(0, dot + 1) + ext : s.substr(0, dot);
    result = 1;
  }
  if (!Fits(s)) {
    dst[0] = '\0';
    return 0;
  }
  CopyOut(dst, s);
  return result;
}

int RemoveExtension(char* path) {
  char* dot = std::strrchr(path, '.');
  if (!dot) return 0;
  *dot = '\0';
  return 1;
}

int RemoveExtensionStr(std::string& path) {
  size_t dot = LastDot(path);
  if (dot == std::string::npos) return 0;
  path.resize(dot);
  return 1;
}

int GetExtension(char* dst, const char* path) {
  const char* dot = std::strrchr(path, '.');
  if (!dot || std::strlen(dot + 1) > PATH_CHARS_MAX) return 0;
  std::strcpy(dst, dot + 1);
  return 1;
}

int MakeNumberedFileName(char* dst, const char* src, int n) {
  std::string s = src;
  size_t dot = LastDot(s);
  if (dot == std::string::npos) return 0;
  std::string out = s.substr(0, dot) + " (" + std::to_string(n) + ")." + s.substr(dot + 1);
  if (!Fits(out)) return 0;
  CopyOut(dst, out);
  return 1;
}

int FindLastNumberedFileStr(std::string& out, const std::string& path, const char* ext) {
  std::string base = path;
  size_t dot = LastDot(base);
  if (dot != std::string::npos) base = ext ? base.substr(0, dot + 1) + ext : base.substr(0, dot);
  const std::optional<std::bitset<NUMBERED_FILE_COUNT>> listed = NumbersInFolder(base);
  // Counting down finds the highest number first; the file check stays the judge of each name.
  for (int n = NUMBERED_FILE_COUNT - 1; n >= 0; --n) {
    if (listed && !listed->test(static_cast<size_t>(n))) continue;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "_%d%d%d", n / 100, n / 10 % 10, n % 10);
    std::string name = base + suffix;
    if (t4::platform::FileExists(name)) {
      out = name;
      return 1;
    }
  }
  return 0;
}

int FindLastNumberedFile(char* out, const char* path, const char* ext) {
  std::string found;
  if (!FindLastNumberedFileStr(found, path, ext) || !Fits(found)) return 0;
  CopyOut(out, found);
  return 1;
}

int StageResultName(std::string& name) {
  // Only the file part is searched: a folder with "-1" or "." in its name must not cut the name.
  const size_t fileStart = FileStart(name);
  const size_t marker = name.rfind("-1");
  if (marker != std::string::npos && marker >= fileStart) {
    name.resize(marker);
    name += '.';
    return 1;
  }
  const size_t dot = name.rfind('.');
  name.resize(dot != std::string::npos && dot >= fileStart ? dot + 1 : 0);
  return 0;
}
