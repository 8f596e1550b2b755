// File names kept in the fixed MAX_PATH fields of the sound and music records.
#pragma once

#include <cstdio>

#include "platform/win_types.h"

// Copies `name` (null as empty), cut to fit with its terminating NUL.
inline void CopyFileName(char (&out)[MAX_PATH], const char* name) {
  std::snprintf(out, sizeof(out), "%s", name ? name : "");
}
