// The notifications a test play sends to the kit's editor: a Unix datagram socket named by the
// caller (an option or the environment), or nowhere when none is named, as when no editor window
// exists. Each notification is the 12-byte record {int32 kind (1 started, 0 ended), int32 size 4,
// int32 value}, little-endian.
#pragma once

#include <cstdint>
#include <string>

namespace t4::platform {

void SetEditorSocketPath(const std::string& path);
// True when the record was delivered.
bool SendEditorNotification(int32_t kind, int32_t value);

}  // namespace t4::platform
