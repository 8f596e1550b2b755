// Files and paths as the game sees them: Windows-style paths in Shift-JIS with backslashes,
// mostly relative to the project folder (the current directory).
//
// A game path is resolved when it is used: backslashes outside double-byte characters become
// '/', a drive letter ("C:") is dropped, the text is converted from CP932 to UTF-8, and each
// component is matched against the existing entries without regard to ASCII case (an exact
// match wins; among several case-insensitive matches the smallest name in byte order, so the
// choice does not depend on directory order). From the first component that does not exist on,
// the rest is kept as given, so that new files and folders can be created.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace t4::platform {

// The native (UTF-8, '/') path for a game path; nullopt when the text is not valid CP932.
std::optional<std::string> ResolvePath(std::string_view gamePath);

// fopen on the resolved path. The 't' of the game's text modes is dropped: line ends are the
// writer's business. Null when the path cannot be resolved or the file cannot be opened, and
// when something other than a regular file (folder, pipe, device) stands at the path.
FILE* OpenFile(std::string_view gamePath, const char* mode);

// True when a file or folder of that name exists.
bool FileExists(std::string_view gamePath);
bool IsDirectory(std::string_view gamePath);
// The names of a folder's entries as they are stored (UTF-8), "." and ".." left out, in no
// particular order; the current folder when the path is empty. Empty when no folder stands at
// the path (then nothing below it exists either); nullopt when the path is not valid CP932 or
// the folder cannot be read whole.
std::optional<std::vector<std::string>> ListFolder(std::string_view gamePath);
// Creates one folder; false when it exists already or cannot be made.
bool CreateDirectory(std::string_view gamePath);
bool RemoveFile(std::string_view gamePath);
// Renames `from` over `to` in one step: a reader sees the old or the new file, never half of one.
// The folder is synced after the rename, so the new name survives a power cut.
bool ReplaceFile(std::string_view fromGamePath, std::string_view toGamePath);
// Flushes a written stream's data to the disk (fflush, then fsync); false when either fails.
bool FlushToDisk(FILE* fp);

// The current directory as a Windows-style absolute path in Shift-JIS ('/' becomes '\'), e.g.
// "\home\user\game". Nullopt when it cannot be read or its name has no CP932 form.
std::optional<std::string> GetCurrentDirectory();

// '\' or '/' first, or a drive letter form ("C:...").
bool IsAbsolutePath(std::string_view gamePath);
// True when the path ends in a separator that is a single-byte character (a 0x5C trail byte of
// a double-byte character is not one).
bool EndsWithSeparator(std::string_view gamePath);
// `dir` + '\' + `name`, without doubling a separator that `dir` already ends with.
std::string JoinPath(std::string_view dir, std::string_view name);

// Free bytes available to the user on the file system of the path (the current folder when
// empty); nullopt when the query fails.
std::optional<uint64_t> DiskFreeBytes(std::string_view gamePath = {});

}  // namespace t4::platform
