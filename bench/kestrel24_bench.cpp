// The whole Kestrel24 process on qt/offscreen: start, the sample sheet filled and shown, closed
// through File > Exit, exit; against a bare Qt program that opens a window with a 13x2 table and
// exits. Both run as child processes, one after the other in each iteration, so the ratio of the
// two times compares like with like on the same machine.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

// Runs the program with the extra environment entries; false when it did not exit with 0.
bool run(const char* program, const std::vector<std::string>& extra) {
  std::vector<std::string> env(extra);
  for (char** e = environ; *e; ++e) env.emplace_back(*e);
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  char* argv[] = {const_cast<char*>(program), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", 1, 0);
  pid_t pid = -1;
  const bool started = posix_spawn(&pid, program, &actions, nullptr, argv, envp.data()) == 0;
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  return started && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct Scratch {
  Scratch() {
    dir = std::filesystem::temp_directory_path() / ("kestrel24_bench." + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "exit.script") << "menu File > Exit\n";
  }
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
  std::filesystem::path dir;
};

void BM_Kestrel24StartFillCloseExit(benchmark::State& state) {
  Scratch s;
  const std::vector<std::string> env{"TAMSIL_PLATFORM=qt", "QT_QPA_PLATFORM=offscreen", "TAMSIL_PROFILE_DIR=" + s.dir.string(),
                                     "TAMSIL_SCRIPT=" + (s.dir / "exit.script").string()};
  for (auto _ : state)
    if (!run(KESTREL24_PROGRAM, env)) state.SkipWithError("Kestrel24 did not exit with 0");
}
BENCHMARK(BM_Kestrel24StartFillCloseExit)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_BareQtTableWindow(benchmark::State& state) {
  const std::vector<std::string> env{"QT_QPA_PLATFORM=offscreen"};
  for (auto _ : state)
    if (!run(BARE_QT_PROGRAM, env)) state.SkipWithError("the bare Qt program did not exit with 0");
}
BENCHMARK(BM_BareQtTableWindow)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
