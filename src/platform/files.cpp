#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/text_codec.h"

namespace t4::platform {

namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

bool Exists(const std::string& native) {
  struct stat st {};
  return lstat(native.c_str(), &st) == 0;
}

bool IsNativeDirectory(const std::string& native) {
  struct stat st {};
  return stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The entry of `dir` that equals `name` but for ASCII case; empty when there is none.
std::string FindEntryIgnoringCase(const std::string& dir, const std::string& name) {
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return {};
  std::string best;
  while (const dirent* e = readdir(d)) {
    std::string_view entry(e->d_name);
    if (EqualsIgnoringAsciiCase(entry, name) && (best.empty() || entry < best)) best = entry;
  }
  closedir(d);
  return best;
}

// Backslashes to '/', outside double-byte characters; a leading drive letter dropped.
std::string ToSlashes(std::string_view gamePath) {
  if (gamePath.size() >= 2 && gamePath[1] == ':' &&
      ((gamePath[0] >= 'A' && gamePath[0] <= 'Z') || (gamePath[0] >= 'a' && gamePath[0] <= 'z'))) {
    gamePath.remove_prefix(2);
  }
  std::string out;
  out.reserve(gamePath.size());
  for (size_t i = 0; i < gamePath.size(); ++i) {
    if (IsSjisPairAt(gamePath, i)) {
      out += gamePath[i];
      out += gamePath[++i];
    } else {
      out += gamePath[i] == '\\' ? '/' : gamePath[i];
    }
  }
  return out;
}

std::string StripTextMode(const char* mode) {
  std::string m;
  for (const char* p = mode; *p; ++p) {
    if (*p != 't') m += *p;
  }
  return m;
}

}  // namespace

std::optional<std::string> ResolvePath(std::string_view gamePath) {
  std::optional<std::string> utf8 = Cp932ToUtf8(ToSlashes(gamePath));
  if (!utf8) return std::nullopt;
  const std::string& path = *utf8;

  std::string out;
  size_t pos = 0;
  if (!path.empty() && path[0] == '/') {
    out = "/";
    pos = 1;
  }
  bool matching = true;
  while (pos < path.size()) {
    size_t slash = path.find('/', pos);
    std::string component = path.substr(pos, slash == std::string::npos ? std::string::npos : slash - pos);
    pos = slash == std::string::npos ? path.size() : slash + 1;
    if (component.empty()) continue;  // "a//b"

    std::string chosen = component;
    if (matching && component != "." && component != "..") {
      if (!Exists(out + component)) {
        std::string found = FindEntryIgnoringCase(out, component);
        if (found.empty()) {
          matching = false;
        } else {
          chosen = found;
        }
      }
    }
    out += chosen;
    if (slash != std::string::npos) out += '/';
  }
  return out;
}

FILE* OpenFile(std::string_view gamePath, const char* mode) {
  std::optional<std::string> native = ResolvePath(gamePath);
  if (!native || native->empty()) return nullptr;
  // Only regular files are data: a named pipe would block the open, a device never end, and a
  // folder is no file at all.
  struct stat st {};
  if (stat(native->c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return nullptr;
  }
  return std::fopen(native->c_str(), StripTextMode(mode).c_str());
}

bool FileExists(std::string_view gamePath) {
  std::optional<std::string> native = ResolvePath(gamePath);
  if (!native || native->empty()) return false;
  struct stat st {};
  return stat(native->c_str(), &st) == 0;
}

bool IsDirectory(std::string_view gamePath) {
  std::optional<std::string> native = ResolvePath(gamePath);
  return native && !native->empty() && IsNativeDirectory(*native);
}

std::optional<std::vector<std::string>> ListFolder(std::string_view gamePath) {
  std::optional<std::string> native = ResolvePath(gamePath);
  if (!native) return std::nullopt;
  DIR* d = opendir(native->empty() ? "." : native->c_str());
  if (!d) {
    if (errno == ENOENT || errno == ENOTDIR) return std::vector<std::string>{};
    return std::nullopt;
  }
  std::vector<std::string> names;
  for (;;) {
    errno = 0;
    const dirent* e = readdir(d);
    if (!e) break;
    std::string_view name(e->d_name);
    if (name != "." && name != "..") names.emplace_back(name);
  }
  const bool complete = errno == 0;
  closedir(d);
  if (!complete) return std::nullopt;
  return names;
}

bool CreateDirectory(std::string_view gamePath) {
  std::optional<std::string> native = ResolvePath(gamePath);
  return native && !native->empty() && mkdir(native->c_str(), 0777) == 0;
}

bool RemoveFile(std::string_view gamePath) {
  std::optional<std::string> native = ResolvePath(gamePath);
  return native && !native->empty() && unlink(native->c_str()) == 0;
}

bool ReplaceFile(std::string_view fromGamePath, std::string_view toGamePath) {
  std::optional<std::string> from = ResolvePath(fromGamePath);
  std::optional<std::string> to = ResolvePath(toGamePath);
  if (!from || !to || from->empty() || to->empty()) return false;
  if (std::rename(from->c_str(), to->c_str()) != 0) return false;
  const size_t slash = to->find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : to->substr(0, slash);
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    fsync(fd);
    close(fd);
  }
  return true;
}

bool FlushToDisk(FILE* fp) {
  if (!fp || std::fflush(fp) != 0) return false;
  return fsync(fileno(fp)) == 0;
}

std::optional<std::string> GetCurrentDirectory() {
  std::vector<char> buffer(4096);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE || buffer.size() >= (1u << 20)) return std::nullopt;
    buffer.resize(buffer.size() * 2);
  }
  std::optional<std::string> sjis = Utf8ToCp932(buffer.data());
  if (!sjis) return std::nullopt;
  // 0x2F is never the second byte of a double-byte character, so a plain replace is safe.
  for (char& c : *sjis) {
    if (c == '/') c = '\\';
  }
  return sjis;
}

bool IsAbsolutePath(std::string_view gamePath) {
  if (gamePath.empty()) return false;
  if (gamePath[0] == '\\' || gamePath[0] == '/') return true;
  char c = gamePath[0];
  return gamePath.size() >= 2 && gamePath[1] == ':' && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'));
}

bool EndsWithSeparator(std::string_view gamePath) {
  bool separator = false;
  for (size_t i = 0; i < gamePath.size(); ++i) {
    if (IsSjisPairAt(gamePath, i)) {
      ++i;
      separator = false;
    } else {
      separator = gamePath[i] == '\\' || gamePath[i] == '/';
    }
  }
  return separator;
}

std::string JoinPath(std::string_view dir, std::string_view name) {
  std::string out(dir);
  if (!out.empty() && !EndsWithSeparator(out)) out += '\\';
  out += name;
  return out;
}

std::optional<uint64_t> DiskFreeBytes(std::string_view gamePath) {
  std::string native = ".";
  if (!gamePath.empty()) {
    std::optional<std::string> resolved = ResolvePath(gamePath);
    if (!resolved) return std::nullopt;
    native = *resolved;
  }
  struct statvfs vfs {};
  if (statvfs(native.c_str(), &vfs) != 0) return std::nullopt;
  return static_cast<uint64_t>(vfs.f_bavail) * static_cast<uint64_t>(vfs.f_frsize);
}

}  // namespace t4::platform
