// Replays fuzz inputs without libFuzzer: each argument is a file or a folder of files, run
// through the same checks as the fuzz target. Built with any compiler, so the corpus can
// also run under valgrind, which finds uses of values that were never set.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void replay(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(file),
                                std::istreambuf_iterator<char>()};
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t count = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path path(argv[i]);
    if (std::filesystem::is_directory(path)) {
      for (const auto& entry : std::filesystem::directory_iterator(path)) {
        replay(entry.path());
        ++count;
      }
    } else {
      replay(path);
      ++count;
    }
  }
  std::printf("replayed %zu inputs\n", count);
  return 0;
}
