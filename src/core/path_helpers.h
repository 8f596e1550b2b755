// Relative and absolute paths, directory and extension surgery and numbered file names, on the
// game's Windows-style Shift-JIS paths. The char* forms work in place on buffers of MAX_PATH (260)
// bytes; a result that would not fit in 259 characters is refused (0) instead of overflowing.
#pragma once

#include <string>

#include "platform/win_types.h"

int MakeRelativePath(char* path);
int MakeRelativePathStr(std::string& path);
int MakeAbsolutePath(char* path);
void StripDirectory(char* path);
int ChangeExtension(char* dst, const char* src, const char* ext);
int RemoveExtension(char* path);
int RemoveExtensionStr(std::string& path);
int GetExtension(char* dst, const char* path);
int MakeNumberedFileName(char* dst, const char* src, int n);
int FindLastNumberedFile(char* out, const char* path, const char* ext);
int FindLastNumberedFileStr(std::string& out, const std::string& path, const char* ext);
// The name a stage's results and rankings are kept under: the path up to the "-1" that marks the
// first file of a numbered series, or up to the file's extension, followed by "." (only the file
// part is searched; a file without an extension gives ""). Returns 1 when the file starts a
// numbered series.
int StageResultName(std::string& path);
