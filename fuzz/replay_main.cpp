// Replays inputs through a fuzz target without libFuzzer: every file named on the command line,
// and every file in every folder named there, goes once through LLVMFuzzerTestOneInput, the
// empty input first. A target that traps or crashes on a known input fails the test that runs
// this; the name of the input it was given is printed before each call.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void replay(const std::string& name, const std::string& bytes) {
  std::printf("replay %s (%zu bytes)\n", name.c_str(), bytes.size());
  std::fflush(stdout);
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

bool replayFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "replay: cannot read %s\n", path.c_str());
    return false;
  }
  replay(path.string(), std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  replay("<empty>", {});
  int count = 0;
  bool ok = true;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path arg(argv[i]);
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(arg)) {
      for (const auto& entry : std::filesystem::directory_iterator(arg))
        if (entry.is_regular_file()) files.push_back(entry.path());
      std::sort(files.begin(), files.end());  // the same order on every machine
    } else {
      files.push_back(arg);
    }
    for (const auto& f : files) {
      ok = replayFile(f) && ok;
      ++count;
    }
  }
  std::printf("replayed %d input(s)\n", count);
  return ok ? 0 : 1;
}
