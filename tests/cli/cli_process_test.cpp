// The built program's command line as a shell runs it: real files for -o, a full disk, and
// every golden case through the binary.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

struct CliRun {
  std::string out;
  std::string err;
  int status = -1;
};

std::string drain(int fd) {
  std::string text;
  char buffer[4096];
  for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
    text.append(buffer, static_cast<std::size_t>(n));
  return text;
}

// Runs the program in `dir` with `args` and `input` on standard input; standard output goes to
// `out_path` when given.
CliRun run(const std::vector<std::string>& args, const std::string& input = "",
           const fs::path& dir = fs::temp_directory_path(), const char* out_path = nullptr) {
  const fs::path in_path =
      fs::temp_directory_path() / ("glassform_cli_in_" + std::to_string(::getpid()));
  std::ofstream(in_path, std::ios::binary) << input;
  const fs::path err_path =
      fs::temp_directory_path() / ("glassform_cli_err_" + std::to_string(::getpid()));
  int out_pipe[2];
  if (::pipe(out_pipe) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::chdir(dir.c_str()) != 0) ::_exit(126);
    const int in = ::open(in_path.c_str(), O_RDONLY);
    ::dup2(in, 0);
    const int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(err, 2);
    if (out_path != nullptr) {
      const int out = ::open(out_path, O_WRONLY);
      ::dup2(out, 1);
    } else {
      ::dup2(out_pipe[1], 1);
    }
    ::close(out_pipe[0]);
    ::close(out_pipe[1]);
    std::vector<char*> argv{const_cast<char*>(GLASSFORM_BINARY)};
    for (const std::string& a : args)
      argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(GLASSFORM_BINARY, argv.data());
    ::_exit(127);
  }
  ::close(out_pipe[1]);
  CliRun r;
  r.out = drain(out_pipe[0]);
  ::close(out_pipe[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.err = slurp(err_path);
  fs::remove(in_path);
  fs::remove(err_path);
  return r;
}

// A fresh, empty folder for one test.
fs::path scratch(const std::string& name) {
  const fs::path dir =
      fs::temp_directory_path() / ("glassform_" + name + "_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

std::size_t entries(const fs::path& dir) {
  return static_cast<std::size_t>(
      std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

TEST(CliProcess, GoldenCasesThroughTheBinary) {
  const fs::path dir = GLASSFORM_CLI_GOLDEN_DIR;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (entry.path().extension() != ".args") continue;
    const std::string name = entry.path().stem().string();
    std::vector<std::string> args;
    std::istringstream lines(slurp(entry.path()));
    for (std::string line; std::getline(lines, line);)
      args.push_back(line);
    const CliRun r = run(args, slurp(dir / (name + ".in")), dir);
    EXPECT_EQ(r.out, slurp(dir / (name + ".out"))) << name;
    EXPECT_EQ(r.err, slurp(dir / (name + ".err"))) << name;
    EXPECT_EQ(std::to_string(r.status) + "\n", slurp(dir / (name + ".status"))) << name;
  }
}

TEST(CliProcess, OutputFileHoldsWhatStandardOutputWouldShow) {
  const fs::path dir = scratch("output");
  const CliRun plain = run({"ternary", "Cu", "Zr", "Al", "--format", "csv"}, "", dir);
  const CliRun to_file =
      run({"ternary", "Cu", "Zr", "Al", "--format", "csv", "-o", "t.csv"}, "", dir);
  EXPECT_EQ(to_file.status, 0);
  EXPECT_EQ(to_file.out, "");
  EXPECT_EQ(slurp(dir / "t.csv"), plain.out);
  EXPECT_EQ(entries(dir), 1U);  // no temporary file left behind
  fs::remove_all(dir);
}

TEST(CliProcess, FailedRunNeverReplacesOrLeavesAFile) {
  const fs::path dir = scratch("atomic");
  std::ofstream(dir / "keep.csv") << "precious\n";
  const CliRun bad = run({"binary", "Zr", "cu", "-o", "keep.csv"}, "", dir);
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(slurp(dir / "keep.csv"), "precious\n");
  const CliRun missing = run({"batch", "nothing.txt", "-o", "new.csv"}, "", dir);
  EXPECT_EQ(missing.status, 1);
  EXPECT_FALSE(fs::exists(dir / "new.csv"));
  EXPECT_EQ(entries(dir), 1U);
  fs::remove_all(dir);
}

TEST(CliProcess, BatchWithBadLinesStillWritesEveryGoodLine) {
  const fs::path dir = scratch("batch");
  const CliRun r = run({"batch", "--format", "csv", "-o", "out.csv"}, "Zr Cu\nXx Cu\nNi B\n", dir);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "glassform: error: <stdin>:2: unknown symbol \"Xx\"\n");
  const std::string csv = slurp(dir / "out.csv");
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 3);
  EXPECT_NE(csv.find("\nbinary,Ni,B,"), std::string::npos);
  fs::remove_all(dir);
}

TEST(CliProcess, WriteErrorIsReportedWithStatusOne) {
  const CliRun full = run({"elements"}, "", fs::temp_directory_path(), "/dev/full");
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.err,
            "glassform: error: cannot write to standard output: No space left on device\n");
  const fs::path dir = scratch("readonly");
  const CliRun no_folder = run({"elements", "-o", "missing/folder/x.txt"}, "", dir);
  EXPECT_EQ(no_folder.status, 1);
  EXPECT_NE(no_folder.err.find("glassform: error: missing/folder/x.txt: "), std::string::npos);
  fs::remove_all(dir);
}

}  // namespace
