// The toolkit's once-only set-up and shut-down for a program: registers the window classes the
// toolkit's definitions use (the region control) and removes them at the end.
#ifndef LUMIVEX_DEMO_TOOLKIT_SESSION_H
#define LUMIVEX_DEMO_TOOLKIT_SESSION_H

#include <windows.h>

namespace lvx::toolkit {

class Session {
 public:
  explicit Session(HINSTANCE program);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  Session(Session&&) = delete;
  Session& operator=(Session&&) = delete;

  [[nodiscard]] bool Ready() const noexcept { return registered_; }

 private:
  HINSTANCE program_;
  bool registered_ = false;
};

}  // namespace lvx::toolkit

#endif
