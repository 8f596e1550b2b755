// Ties the installation of a process-wide back-end to a scope. The setters take a pointer the
// caller keeps alive; a back-end that is a local of start-up or of a test must be taken out again
// on every way out of that scope, or a later call reaches a destroyed object. Installing through
// this helper does that: the destructor installs null, which each setter reads as its default.
#pragma once

namespace t4::platform {

template <typename Backend, void (*Set)(Backend*)>
class ScopedBackend {
 public:
  explicit ScopedBackend(Backend& backend) { Set(&backend); }
  ~ScopedBackend() { Set(nullptr); }
  ScopedBackend(const ScopedBackend&) = delete;
  ScopedBackend& operator=(const ScopedBackend&) = delete;
};

}  // namespace t4::platform
