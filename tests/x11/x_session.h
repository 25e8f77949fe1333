// Real X input for tests: an Xvfb server of the test process's own, programs started on it with
// the qt backend, and xdotool to move the mouse, click and type as a person does. Faults that
// only real input shows (Qt's own widget paths, X focus, windows destroyed from outside) are
// caught here; the offscreen tests never go through those paths.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::testing {

// One Xvfb server for the whole test process, started on first use. Without Xvfb (or when it
// cannot start) `available()` is false and `why()` says why; tests then skip with that text.
class XServer {
 public:
  static XServer& shared();
  bool available() const { return !display_.empty(); }
  const std::string& display() const { return display_; }
  const std::string& why() const { return why_; }
  // An empty profile directory the programs started here use, removed with the server.
  const std::string& profile() const { return profile_; }
  ~XServer();

 private:
  XServer();
  pid_t pid_ = -1;
  std::string display_;
  std::string why_;
  std::string profile_;
};

// How a program ended: its exit code, or the signal that killed it, or still running at the
// deadline (then it was killed and `timedOut` is set).
struct Ending {
  int exitCode = -1;
  int signal = 0;
  bool timedOut = false;
  std::string out, err;
  std::string describe() const;
};

// A program running on the test display with the qt backend and the server's profile directory; killed if still running when the
// object goes.
class XProgram {
 public:
  XProgram(const std::string& path, const std::vector<std::string>& args, const std::vector<std::string>& env = {});
  ~XProgram();
  XProgram(const XProgram&) = delete;
  XProgram& operator=(const XProgram&) = delete;

  // The X window whose title is exactly `title`, once it is mapped; empty after `wait` in vain.
  std::string window(const std::string& title, std::chrono::milliseconds wait = std::chrono::seconds(10));
  bool running();
  pid_t pid() const { return pid_; }
  Ending wait(std::chrono::milliseconds limit = std::chrono::seconds(10));

 private:
  pid_t pid_ = -1;
  std::string outPath_, errPath_;
  std::optional<Ending> ending_;
};

// Runs xdotool on the test display with `args`; gives what it printed (trailing newline cut).
std::string xdo(const std::vector<std::string>& args);
// A window's position and size on the screen.
struct XGeometry {
  int x = 0, y = 0, width = 0, height = 0;
};
XGeometry geometryOf(const std::string& window);
// Lets the program take in what was sent (X is asynchronous; so is the program's queue).
void settle(std::chrono::milliseconds time = std::chrono::milliseconds(300));

}  // namespace kestrel::testing
