#include "platform/window/editor_link.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace t4::platform {

namespace {
std::string g_socketPath;

void PutInt32(unsigned char* p, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(u >> (8 * i));
}
}  // namespace

void SetEditorSocketPath(const std::string& path) { g_socketPath = path; }

bool SendEditorNotification(int32_t kind, int32_t value) {
  sockaddr_un addr{};
  if (g_socketPath.empty() || g_socketPath.size() >= sizeof(addr.sun_path)) return false;
  const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, g_socketPath.c_str(), g_socketPath.size() + 1);
  unsigned char record[12];
  PutInt32(record, kind);
  PutInt32(record + 4, 4);
  PutInt32(record + 8, value);
  const bool ok = sendto(fd, record, sizeof(record), MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) ==
                  static_cast<ssize_t>(sizeof(record));
  close(fd);
  return ok;
}

}  // namespace t4::platform
