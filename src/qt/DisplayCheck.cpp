// Looking for an X server or a Wayland compositor the way Qt's platform plugins will.
#include "qt/DisplayCheck.h"

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// Connects to the X server at DISPLAY with the library Qt's X plugin uses, so the address, the
// screen and the authorisation are taken exactly as Qt will take them.
bool XServerAnswers() {
  if (Variable("DISPLAY").empty()) return false;
  void* xcb = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
  if (!xcb) return true;  // Qt's X plugin cannot load either, and says so itself
  using Connect = void* (*)(const char*, int*);
  using HasError = int (*)(void*);
  using Disconnect = void (*)(void*);
  const auto connect = reinterpret_cast<Connect>(::dlsym(xcb, "xcb_connect"));
  const auto hasError = reinterpret_cast<HasError>(::dlsym(xcb, "xcb_connection_has_error"));
  const auto disconnect = reinterpret_cast<Disconnect>(::dlsym(xcb, "xcb_disconnect"));
  bool answers = true;
  if (connect && hasError && disconnect) {
    void* connection = connect(nullptr, nullptr);  // never null: a failed one carries its error
    answers = hasError(connection) == 0;
    disconnect(connection);
  }
  ::dlclose(xcb);
  return answers;
}

// A compositor listens on WAYLAND_DISPLAY: a socket path, or a name in XDG_RUNTIME_DIR.
bool WaylandAnswers() {
  std::string path = Variable("WAYLAND_DISPLAY");
  if (path.empty()) return false;
  if (path.front() != '/') path = Variable("XDG_RUNTIME_DIR") + "/" + path;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size());
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool answers = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return answers;
}

}  // namespace

bool CanOpenDisplay() {
  const std::string platform = Variable("QT_QPA_PLATFORM");
  const bool needsDisplay = platform.empty() || platform.starts_with("xcb") || platform.starts_with("wayland");
  return !needsDisplay || XServerAnswers() || WaylandAnswers();
}
