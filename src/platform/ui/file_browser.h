// The listing behind the kit's file selection: the entries of one folder of the project (its
// subfolders, and the files that match a pattern list such as "*.stg4_*;*.rpl4_*", compared
// without regard to ASCII case), and the steps between folders. Paths are the game's own:
// Shift-JIS, backslashes, relative to the project folder, which is the top the browser can reach.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace t4::platform::ui {

struct BrowserEntry {
  std::string nameSjis;
  bool folder = false;
};

// '*' any run of characters, '?' one character; ASCII letters match either case.
bool MatchPattern(std::string_view name, std::string_view pattern);
// True when `name` matches one of the ';'-separated patterns.
bool MatchPatternList(std::string_view name, std::string_view patterns);

// The entries of `folderSjis` ("" is the project folder): ".." first unless at the top, then the
// subfolders, then the matching files, each group sorted by name. Names without a Shift-JIS form
// are left out. False when the folder cannot be read.
bool ListFolder(const std::string& folderSjis, std::string_view patterns, std::vector<BrowserEntry>& out);

// A folder path without its trailing separator ("data\stg4\" -> "data\stg4").
std::string TrimFolder(std::string_view folderSjis);
// The folder one up from `folderSjis` ("data\stg4" -> "data", "data" -> "").
std::string ParentFolder(std::string_view folderSjis);
// The path of `name` inside `folderSjis` ("" + name is just name).
std::string EntryPath(std::string_view folderSjis, std::string_view name);
// True for a name the player may type as a file name: not empty, and no separator, no "..", no
// drive and no character the file systems refuse, so that a typed name stays in its folder.
bool IsPlainFileName(std::string_view nameSjis);

}  // namespace t4::platform::ui
