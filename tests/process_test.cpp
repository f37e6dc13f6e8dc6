// Runs the built program as a user or a script would: through pipes, with closed or
// unusual standard streams, and in a pseudo-terminal.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::string read_file(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

struct ProcessRun {
  std::string output;
  int status = -1;  // exit status, or -1 when the program did not exit normally
};

enum class Stdin { kFile, kClosed, kDirectory };
enum class Stdout { kPipe, kClosed, kDevFull };

// Runs the program with `input` as a file on standard input.
ProcessRun run_program(const std::string& input, Stdin in_mode = Stdin::kFile,
                       Stdout out_mode = Stdout::kPipe) {
  const std::filesystem::path input_path =
      std::filesystem::temp_directory_path() / ("glassform_in_" + std::to_string(::getpid()));
  std::ofstream(input_path, std::ios::binary) << input;
  int pipe_fds[2];
  if (::pipe(pipe_fds) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(pipe_fds[0]);
    if (in_mode == Stdin::kClosed) {
      ::close(0);
    } else {
      const int fd = in_mode == Stdin::kDirectory ? ::open("/", O_RDONLY | O_DIRECTORY)
                                                  : ::open(input_path.c_str(), O_RDONLY);
      ::dup2(fd, 0);
      ::close(fd);
    }
    if (out_mode == Stdout::kClosed) {
      ::close(1);
    } else if (out_mode == Stdout::kDevFull) {
      const int fd = ::open("/dev/full", O_WRONLY);
      ::dup2(fd, 1);
      ::close(fd);
    } else {
      ::dup2(pipe_fds[1], 1);
    }
    ::close(pipe_fds[1]);
    ::execl(GLASSFORM_BINARY, GLASSFORM_BINARY, static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(pipe_fds[1]);
  ProcessRun run;
  char buffer[4096];
  for (ssize_t n; (n = ::read(pipe_fds[0], buffer, sizeof buffer)) > 0;) {
    run.output.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(pipe_fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
  std::filesystem::remove(input_path);
  return run;
}

TEST(PipedProgram, ReproducesEveryGoldenTranscript) {
  std::size_t checked = 0;
  for (const auto& entry : std::filesystem::directory_iterator(GLASSFORM_GOLDEN_DIR)) {
    if (entry.path().extension() != ".in") continue;
    std::filesystem::path expected_path = entry.path();
    expected_path.replace_extension(".out");
    const ProcessRun run = run_program(read_file(entry.path()));
    EXPECT_EQ(run.status, 0) << entry.path();
    EXPECT_EQ(run.output, read_file(expected_path)) << entry.path();
    ++checked;
  }
  EXPECT_GT(checked, 20U);
}

// Status 0 whatever the input; 1 when the output could not be written (lost output is no
// success).
TEST(PipedProgram, EndsWithStatusZeroUnlessTheOutputIsLost) {
  constexpr std::string_view kMenuEnd = "\n\n\t-> ";
  const ProcessRun closed_in = run_program("", Stdin::kClosed);
  EXPECT_EQ(closed_in.status, 0);
  EXPECT_TRUE(closed_in.output.ends_with(kMenuEnd));

  const ProcessRun directory_in = run_program("", Stdin::kDirectory);
  EXPECT_EQ(directory_in.status, 0);
  EXPECT_TRUE(directory_in.output.ends_with(kMenuEnd));

  const std::string session = "2\nZr\nCu\n10\ny\n1\nn\n";
  EXPECT_EQ(run_program(session, Stdin::kFile, Stdout::kClosed).status, 1);
  EXPECT_EQ(run_program(session, Stdin::kFile, Stdout::kDevFull).status, 1);
}

TEST(PipedProgram, SurvivesAReaderThatGoesAway) {
  int to_child[2];
  int from_child[2];
  ASSERT_EQ(::pipe(to_child), 0);
  ASSERT_EQ(::pipe(from_child), 0);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(to_child[0], 0);
    ::dup2(from_child[1], 1);
    for (const int fd : {to_child[0], to_child[1], from_child[0], from_child[1]})
      ::close(fd);
    ::execl(GLASSFORM_BINARY, GLASSFORM_BINARY, static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(to_child[0]);
  ::close(from_child[1]);
  char buffer[256];
  ASSERT_GT(::read(from_child[0], buffer, sizeof buffer), 0);
  ::close(from_child[0]);  // nobody reads the output any more
  const std::string rest = "2\nZr\nCu\n10\nn\n";
  ASSERT_EQ(::write(to_child[1], rest.data(), rest.size()), static_cast<ssize_t>(rest.size()));
  ::close(to_child[1]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));     // not killed by SIGPIPE: the session ends normally
  EXPECT_EQ(WEXITSTATUS(status), 1);  // and says that its output was lost
}

// The program on the slave side of a pseudo-terminal, driven from the master side.
class TerminalSession {
 public:
  TerminalSession() {
    pid_ = ::forkpty(&master_, nullptr, nullptr, nullptr);
    if (pid_ == 0) {
      ::execl(GLASSFORM_BINARY, GLASSFORM_BINARY, static_cast<char*>(nullptr));
      ::_exit(127);
    }
  }
  ~TerminalSession() {
    if (pid_ > 0 && !reaped_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) ::close(master_);
  }
  TerminalSession(const TerminalSession&) = delete;
  TerminalSession& operator=(const TerminalSession&) = delete;

  [[nodiscard]] bool started() const { return pid_ > 0 && master_ >= 0; }
  [[nodiscard]] pid_t pid() const { return pid_; }

  // Reads until the screen text so far ends with `text`; false after a time-out.
  bool read_until(std::string_view text,
                  std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto deadline = Clock::now() + limit;
    while (!screen.ends_with(text)) {
      if (!read_some(deadline)) return false;
    }
    return true;
  }

  // Reads whatever arrives within `limit`.
  void drain(std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    while (read_some(deadline)) {
    }
  }

  void type(std::string_view keys) {
    ASSERT_EQ(::write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
  }

  termios settings() const {
    termios t{};
    ::tcgetattr(master_, &t);
    return t;
  }

  // Waits until the terminal's line mode is `canonical`.
  bool wait_for_line_mode(bool canonical) const {
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
      if (((settings().c_lflag & ICANON) != 0) == canonical) return true;
      ::usleep(2000);
    }
    return false;
  }

  int wait_status() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    reaped_ = true;
    return status;
  }

  std::string screen;

 private:
  bool read_some(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd p{master_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left)) <= 0) return false;
    char buffer[4096];
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n <= 0) return false;
    screen.append(buffer, static_cast<std::size_t>(n));
    return true;
  }

  int master_ = -1;
  pid_t pid_ = -1;
  bool reaped_ = false;
};

constexpr std::string_view kClear = "\x1b[H\x1b[2J";
constexpr std::string_view kMenuPrompt = "\r\n\r\n\t-> ";
constexpr std::string_view kPressAnyKey = "Press any key to continue...\r\n";
constexpr std::string_view kRepeatPrompt =
    "\r\n\r\nWould you like to do another calculation (y/n)?\t- ";

TEST(TerminalProgram, UnavailableChoiceWaitsForOneKeyWithoutEcho) {
  TerminalSession term;
  ASSERT_TRUE(term.started());
  ASSERT_TRUE(term.read_until(kMenuPrompt)) << term.screen;
  EXPECT_TRUE(term.screen.starts_with(std::string(kClear) + "This programme helps"));
  const termios before = term.settings();

  term.type("1\n");
  ASSERT_TRUE(term.read_until(kPressAnyKey)) << term.screen;
  EXPECT_NE(term.screen.find(std::string("1\r\n") + std::string(kClear) + "Selection unavailable"),
            std::string::npos);
  ASSERT_TRUE(term.wait_for_line_mode(false));
  EXPECT_EQ(term.settings().c_lflag & ECHO, 0U);

  // One key ends the wait; the rest of what is typed answers the repeat question.
  term.type("kn\n");
  ASSERT_TRUE(term.read_until(kRepeatPrompt)) << term.screen;
  const int status = term.wait_status();
  term.drain(std::chrono::milliseconds(200));
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const std::string after_wait =
      term.screen.substr(term.screen.find(kPressAnyKey) + kPressAnyKey.size());
  // Neither the key nor what was typed with it in the same burst is echoed.
  EXPECT_EQ(after_wait, kRepeatPrompt);

  const termios after = term.settings();
  EXPECT_EQ(after.c_lflag, before.c_lflag);
  EXPECT_EQ(after.c_iflag, before.c_iflag);
  EXPECT_EQ(after.c_cc[VMIN], before.c_cc[VMIN]);
}

// Answers each prompt in turn; `key_after` is typed as the single key of a size-similarity
// wait that follows the answer at that position.
struct TernaryWaitCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> prompts_and_answers;
  std::size_t wait_after;  // index of the answer after which the key wait comes
  std::string message;
};

class TernaryKeyWait : public ::testing::TestWithParam<TernaryWaitCase> {};

TEST_P(TernaryKeyWait, WaitsForOneKeyWithoutEchoAndGoesOn) {
  const TernaryWaitCase& c = GetParam();
  TerminalSession term;
  ASSERT_TRUE(term.started());
  ASSERT_TRUE(term.read_until(kMenuPrompt)) << term.screen;
  const termios before = term.settings();
  term.type("3\n");
  for (std::size_t i = 0; i < c.prompts_and_answers.size(); ++i) {
    const auto& [prompt, answer] = c.prompts_and_answers[i];
    ASSERT_TRUE(term.read_until(prompt)) << term.screen;
    term.type(answer);
    if (i != c.wait_after) continue;
    ASSERT_TRUE(term.read_until(c.message)) << term.screen;
    ASSERT_TRUE(term.wait_for_line_mode(false));
    const std::size_t before_key = term.screen.size();
    term.type("q");
    ASSERT_TRUE(term.wait_for_line_mode(true));
    term.drain(std::chrono::milliseconds(50));
    EXPECT_EQ(term.screen.substr(before_key).find('q'), std::string::npos);
  }
  ASSERT_TRUE(term.read_until(kRepeatPrompt)) << term.screen;
  term.type("n\n");
  const int status = term.wait_status();
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(term.settings().c_lflag, before.c_lflag);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TernaryKeyWait,
    ::testing::Values(TernaryWaitCase{"largest_solute_like_solvent",
                                      {{"(e.g. Cu): ", "Ni\n"},
                                       {"largest solute element symbol: ", "Co\n"},
                                       {"integer value to be? ", "13\n"},
                                       {"smallest solute element symbol: ", "B\n"},
                                       {"integer value to be? ", "8\n"}},
                                      2,
                                      "Co is less than 2 percent different in size to Ni and is "
                                      "interchangeable with Ni \r\n"},
                      TernaryWaitCase{"smallest_solute_like_solvent",
                                      {{"(e.g. Cu): ", "Ni\n"},
                                       {"largest solute element symbol: ", "Zr\n"},
                                       {"integer value to be? ", "16\n"},
                                       {"smallest solute element symbol: ", "Co\n"},
                                       {"integer value to be? ", "12\n"}},
                                      3,
                                      "Co is less than 2 percent different in size to Ni and is "
                                      "interchangeable with Ni\r\n"}),
    [](const ::testing::TestParamInfo<TernaryWaitCase>& row) { return row.param.name; });

// Ctrl-C and Ctrl-\\ during a key wait: the terminal's settings are back when the signal ends the
// program.
class KeyWaitSignal : public ::testing::TestWithParam<int> {};

TEST_P(KeyWaitSignal, RestoresTheTerminal) {
  TerminalSession term;
  ASSERT_TRUE(term.started());
  ASSERT_TRUE(term.read_until(kMenuPrompt)) << term.screen;
  const termios before = term.settings();
  term.type("0\n");
  ASSERT_TRUE(term.read_until(kPressAnyKey)) << term.screen;
  ASSERT_TRUE(term.wait_for_line_mode(false));

  ::kill(term.pid(), GetParam());
  const int status = term.wait_status();
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), GetParam());
  const termios after = term.settings();
  EXPECT_EQ(after.c_lflag, before.c_lflag);
  EXPECT_NE(after.c_lflag & ICANON, 0U);
  EXPECT_NE(after.c_lflag & ECHO, 0U);
}

INSTANTIATE_TEST_SUITE_P(Signals, KeyWaitSignal, ::testing::Values(SIGINT, SIGQUIT),
                         [](const ::testing::TestParamInfo<int>& row) {
                           return row.param == SIGINT ? "SIGINT" : "SIGQUIT";
                         });

// The end of input on a terminal (Ctrl-D at the menu) ends the program on a fresh line.
TEST(TerminalProgram, EndOfInputEndsWithALineEnd) {
  TerminalSession term;
  ASSERT_TRUE(term.started());
  ASSERT_TRUE(term.read_until(kMenuPrompt)) << term.screen;
  term.type("\x04");
  EXPECT_EQ(term.wait_status(), 0);
  term.drain(std::chrono::milliseconds(200));
  EXPECT_TRUE(term.screen.ends_with(std::string(kMenuPrompt) + "\r\n")) << term.screen;
  // The clear keeps the terminal's history: no erase-scrollback sequence anywhere.
  EXPECT_EQ(term.screen.find("\x1b[3J"), std::string::npos);
}

TEST(TerminalProgram, ClearsTheScreenWhereTheDialogueSaysSo) {
  TerminalSession term;
  ASSERT_TRUE(term.started());
  ASSERT_TRUE(term.read_until(kMenuPrompt)) << term.screen;
  term.type("2\n");
  ASSERT_TRUE(term.read_until("solvent element symbol (e.g. Cu): ")) << term.screen;
  term.type("Zr\n");
  ASSERT_TRUE(term.read_until("solute element symbol: ")) << term.screen;
  term.type("Cu\n");
  ASSERT_TRUE(term.read_until("integer value to be? ")) << term.screen;
  term.type("10\n");
  ASSERT_TRUE(term.read_until(kRepeatPrompt)) << term.screen;
  term.type("n\n");
  EXPECT_EQ(term.wait_status(), 0);
  // Start of pass, after the menu answer, after the coordination number.
  std::size_t clears = 0;
  for (std::size_t at = term.screen.find(kClear); at != std::string::npos;
       at = term.screen.find(kClear, at + 1)) {
    ++clears;
  }
  EXPECT_EQ(clears, 3U);
  EXPECT_NE(term.screen.find(std::string("10\r\n") + std::string(kClear) + "For a <10> glass:"),
            std::string::npos);
}

}  // namespace
