#include "glassform/dialogue/system_console.hpp"

#include <array>

#if defined(_WIN32)
#include <conio.h>
#include <io.h>
#include <windows.h>
#else
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#endif

namespace glassform {

#if defined(_WIN32)

SystemTerminal::SystemTerminal(int input_fd, int output_fd)
    : input_fd_(input_fd),
      input_is_terminal_(::_isatty(input_fd) != 0),
      output_is_terminal_(::_isatty(output_fd) != 0) {}

void SystemTerminal::wait_for_key() {
  // The console's own unbuffered, unechoed key read.
  if (input_is_terminal_ && output_is_terminal_) static_cast<void>(::_getch());
}

bool SystemTerminal::clears_with_escapes() {
  // Before the first clear, ask a console to process escape sequences; a classic console that
  // refuses is cleared through the console API instead, so it never shows escape codes.
  if (!escapes_checked_) {
    escapes_checked_ = true;
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (out != INVALID_HANDLE_VALUE && ::GetConsoleMode(out, &mode) != 0) {
      escapes_ = (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
                 ::SetConsoleMode(out, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
    }
  }
  return escapes_;
}

void SystemTerminal::clear_console() {
  const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (::GetConsoleScreenBufferInfo(out, &info) == 0) return;
  // The visible window only, as the escape sequence does: the history above it stays.
  const SHORT top = info.srWindow.Top;
  const DWORD cells = static_cast<DWORD>(info.dwSize.X) *
                      static_cast<DWORD>(info.srWindow.Bottom - info.srWindow.Top + 1);
  const COORD origin{0, top};
  DWORD written = 0;
  ::FillConsoleOutputCharacterA(out, ' ', cells, origin, &written);
  ::FillConsoleOutputAttribute(out, info.wAttributes, cells, origin, &written);
  ::SetConsoleCursorPosition(out, origin);
}

void ignore_broken_pipes() {}

#else

SystemTerminal::SystemTerminal(int input_fd, int output_fd)
    : input_fd_(input_fd),
      input_is_terminal_(::isatty(input_fd) != 0),
      output_is_terminal_(::isatty(output_fd) != 0) {}

namespace {

// A signal handler cannot be handed arguments, so the settings to restore while a key
// wait is in progress live here, and only for the length of that wait.
struct KeyWaitRestore {
  int fd;
  termios settings;  // the user's, restored when the wait ends, is interrupted or suspended
  termios raw;       // the wait's own, applied again when the program resumes
};
KeyWaitRestore g_restore{};  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

constexpr std::array<int, 4> kEndingSignals{SIGINT, SIGTERM, SIGHUP, SIGQUIT};

extern "C" void restore_terminal_and_die(int signal_number) {
  ::tcsetattr(g_restore.fd, TCSANOW, &g_restore.settings);
  ::signal(signal_number, SIG_DFL);
  ::raise(signal_number);
}

void set_handler(int signal_number, void (*handler)(int), struct sigaction* previous) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  ::sigaction(signal_number, &action, previous);
}

extern "C" void resume_key_wait(int signal_number);

// Ctrl-Z: the user's settings back, then stopped as usual (the signal, raised again with its
// default action, takes effect when the handler returns).
extern "C" void suspend_key_wait(int signal_number) {
  ::tcsetattr(g_restore.fd, TCSANOW, &g_restore.settings);
  set_handler(signal_number, SIG_DFL, nullptr);
  ::raise(signal_number);
}

// Resumed: the wait's settings again, and ready for the next Ctrl-Z.
extern "C" void resume_key_wait(int /*signal_number*/) {
  set_handler(SIGTSTP, suspend_key_wait, nullptr);
  ::tcsetattr(g_restore.fd, TCSANOW, &g_restore.raw);
}

}  // namespace

void SystemTerminal::wait_for_key() {
  if (!input_is_terminal_ || !output_is_terminal_) return;
  termios saved{};
  if (::tcgetattr(input_fd_, &saved) != 0) return;
  termios raw = saved;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  g_restore = {input_fd_, saved, raw};

  // Restore the settings, then die of the signal as usual, if the wait is interrupted; restore
  // them while suspended and apply the wait's again on resuming.
  std::array<struct sigaction, kEndingSignals.size()> previous{};
  for (std::size_t i = 0; i < kEndingSignals.size(); ++i)
    set_handler(kEndingSignals[i], restore_terminal_and_die, &previous[i]);
  struct sigaction previous_stop {};
  struct sigaction previous_continue {};
  set_handler(SIGTSTP, suspend_key_wait, &previous_stop);
  set_handler(SIGCONT, resume_key_wait, &previous_continue);

  // TCSANOW rather than TCSAFLUSH: keys typed ahead are kept, not thrown away.
  if (::tcsetattr(input_fd_, TCSANOW, &raw) == 0) {
    char key = 0;
    while (::read(input_fd_, &key, 1) < 0 && errno == EINTR) {
    }
    ::tcsetattr(input_fd_, TCSANOW, &saved);
  }

  for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
    ::sigaction(kEndingSignals[i], &previous[i], nullptr);
  }
  ::sigaction(SIGTSTP, &previous_stop, nullptr);
  ::sigaction(SIGCONT, &previous_continue, nullptr);
}

bool SystemTerminal::clears_with_escapes() {
  return true;
}

void SystemTerminal::clear_console() {}

void ignore_broken_pipes() {
  ::signal(SIGPIPE, SIG_IGN);
  // A file-size limit (ulimit -f) is a failed write too, reported as one.
  ::signal(SIGXFSZ, SIG_IGN);
}

#endif

}  // namespace glassform
