#include "tests/x11/x_session.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace kestrel::testing {

namespace {

using namespace std::chrono_literals;

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Starts a child with its output in files (so a chatty child never blocks on a full pipe).
pid_t spawn(const std::string& path, const std::vector<std::string>& args, const std::vector<std::string>& env, const std::string& out,
            const std::string& err) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int in = open("/dev/null", O_RDONLY);
  if (o < 0 || e < 0 || in < 0) _exit(126);
  dup2(in, 0), dup2(o, 1), dup2(e, 2);
  setpgid(0, 0);
  for (const std::string& kv : env) {
    const size_t eq = kv.find('=');
    if (eq == std::string::npos) continue;
    if (eq + 1 == kv.size()) unsetenv(kv.substr(0, eq).c_str());
    else setenv(kv.substr(0, eq).c_str(), kv.substr(eq + 1).c_str(), 1);
  }
  std::vector<char*> argv{const_cast<char*>(path.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execvp(path.c_str(), argv.data());
  _exit(127);
}

std::string tempPath(const std::string& what) {
  static int counter = 0;
  return "/tmp/kestrel-x11-" + std::to_string(getpid()) + "-" + std::to_string(++counter) + "-" + what;
}

std::string xdoOn(const std::string& display, const std::vector<std::string>& args);

}  // namespace

XServer& XServer::shared() {
  static XServer server;
  return server;
}

XServer::XServer() {
  int fds[2];
  if (pipe(fds) != 0) {
    why_ = "no pipe for Xvfb";
    return;
  }
  pid_ = fork();
  if (pid_ == 0) {
    close(fds[0]);
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 0), dup2(null, 1), dup2(null, 2);
    const std::string fd = std::to_string(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  // Xvfb writes the display number it took once it accepts connections.
  std::string number;
  char c;
  while (read(fds[0], &c, 1) == 1 && c != '\n') number.push_back(c);
  close(fds[0]);
  if (number.empty()) {
    why_ = "Xvfb did not start (install the Debian packages xvfb and xdotool)";
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
    pid_ = -1;
    return;
  }
  display_ = ":" + number;
  std::string dir = "/tmp/kestrel-x11-profile-" + std::to_string(getpid()) + ".XXXXXX";
  if (mkdtemp(dir.data())) profile_ = dir;
  if (xdoOn(display_, {"getmouselocation"}).empty()) {
    why_ = "xdotool does not answer on " + display_;
    display_.clear();
  }
}

XServer::~XServer() {
  if (!profile_.empty()) std::filesystem::remove_all(profile_);
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

std::string Ending::describe() const {
  std::ostringstream s;
  if (timedOut) s << "still running at the deadline";
  else if (signal) s << "killed by signal " << signal << " (" << strsignal(signal) << ")";
  else s << "exit code " << exitCode;
  s << "\n--- stdout\n" << out << "--- stderr\n" << err;
  return s.str();
}

XProgram::XProgram(const std::string& path, const std::vector<std::string>& args, const std::vector<std::string>& env)
    : outPath_(tempPath("out")), errPath_(tempPath("err")) {
  std::vector<std::string> all{
      "DISPLAY=" + XServer::shared().display(),           "TAMSIL_PLATFORM=qt", "QT_QPA_PLATFORM=xcb", "XDG_RUNTIME_DIR=", "TAMSIL_SCRIPT=",
      "TAMSIL_PROFILE_DIR=" + XServer::shared().profile()};
  all.insert(all.end(), env.begin(), env.end());
  pid_ = spawn(path, args, all, outPath_, errPath_);
  if (pid_ < 0) throw std::runtime_error("fork failed");
}

XProgram::~XProgram() {
  if (!ending_) {
    kill(-pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  std::remove(outPath_.c_str());
  std::remove(errPath_.c_str());
}

bool XProgram::running() {
  if (ending_) return false;
  // Looks without reaping, so wait() still reads how it ended.
  siginfo_t info{};
  return waitid(P_PID, id_t(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == 0;
}

Ending XProgram::wait(std::chrono::milliseconds limit) {
  if (ending_) return *ending_;
  Ending e;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  pid_t r = 0;
  while ((r = waitpid(pid_, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(20ms);
  if (r == 0) {
    e.timedOut = true;
    kill(-pid_, SIGKILL);
    waitpid(pid_, &status, 0);
  } else if (WIFEXITED(status)) {
    e.exitCode = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    e.signal = WTERMSIG(status);
  }
  e.out = slurp(outPath_);
  e.err = slurp(errPath_);
  ending_ = e;
  return e;
}

std::string XProgram::window(const std::string& title, std::chrono::milliseconds wait) {
  const auto deadline = std::chrono::steady_clock::now() + wait;
  do {
    std::string id = xdo({"search", "--onlyvisible", "--name", "^" + title + "$"});
    if (const size_t nl = id.find('\n'); nl != std::string::npos) id.resize(nl);
    if (!id.empty()) return id;
    std::this_thread::sleep_for(50ms);
  } while (std::chrono::steady_clock::now() < deadline && running());
  return {};
}

std::string xdo(const std::vector<std::string>& args) { return xdoOn(XServer::shared().display(), args); }

namespace {
std::string xdoOn(const std::string& display, const std::vector<std::string>& args) {
  const std::string out = tempPath("xdo"), err = tempPath("xdoerr");
  std::vector<std::string> env{"DISPLAY=" + display};
  const pid_t pid = spawn("xdotool", args, env, out, err);
  int status = 0;
  waitpid(pid, &status, 0);
  std::string text = slurp(out);
  std::remove(out.c_str());
  std::remove(err.c_str());
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}
}  // namespace

XGeometry geometryOf(const std::string& window) {
  // "X=4\nY=27\nWIDTH=385\nHEIGHT=179\nSCREEN=0" with --shell
  XGeometry g;
  std::istringstream in(xdo({"getwindowgeometry", "--shell", window}));
  for (std::string line; std::getline(in, line);) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const int v = std::atoi(line.c_str() + eq + 1);
    const std::string k = line.substr(0, eq);
    if (k == "X") g.x = v;
    else if (k == "Y") g.y = v;
    else if (k == "WIDTH") g.width = v;
    else if (k == "HEIGHT") g.height = v;
  }
  return g;
}

void settle(std::chrono::milliseconds time) { std::this_thread::sleep_for(time); }

}  // namespace kestrel::testing
