#include "tests/tools/run_tool.h"

#include <poll.h>

#include <array>
#include <stdexcept>

namespace tamsil::testing {

namespace {
// The build tells where the tool is; TAMSIL_TOOL overrides it (to test an installed copy).
std::string toolPath() {
  const char* p = std::getenv("TAMSIL_TOOL");
  return p && *p ? p : TAMSIL_TOOL_PATH;
}
}  // namespace

ToolResult runTool(const std::vector<std::string>& args, const std::vector<std::string>& env) { return runProcess(toolPath(), args, env); }

ToolResult runProcess(const std::string& path, const std::vector<std::string>& args, const std::vector<std::string>& env) {
  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe failed");
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    dup2(out[1], 1);
    dup2(err[1], 2);
    close(out[0]), close(out[1]), close(err[0]), close(err[1]);
    for (const std::string& e : env) {
      const size_t eq = e.find('=');
      if (eq == std::string::npos) continue;
      if (eq + 1 == e.size()) unsetenv(e.substr(0, eq).c_str());
      else setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(path.c_str(), argv.data());
    _exit(127);
  }
  close(out[1]), close(err[1]);
  ToolResult r;
  std::array<pollfd, 2> fds{{{out[0], POLLIN, 0}, {err[0], POLLIN, 0}}};
  int open = 2;
  char buf[4096];
  while (open > 0) {
    if (poll(fds.data(), fds.size(), -1) < 0) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
      const ssize_t n = read(fds[i].fd, buf, sizeof buf);
      if (n <= 0) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      } else {
        (i == 0 ? r.out : r.err).append(buf, size_t(n));
      }
    }
  }
  int status = 0;
  waitpid(pid, &status, 0);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return r;
}

}  // namespace tamsil::testing
