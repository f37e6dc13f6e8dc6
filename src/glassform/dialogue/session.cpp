#include "glassform/dialogue/dialogue.hpp"

namespace glassform {

namespace {

// The banner as it has always read, "struc-tural", "indicatorof" and the blanks before two of
// its line ends included.
constexpr std::string_view kBanner =
    "This programme helps to predict the best glass forming ability, using the struc-tural model proposed by Tavelier; for binary, ternary and quaternary alloy \ncompositions. The programme also calculates the intrinsic values of the elastic\nproperties of the predicted alloys. The resulting elastic properties could be \nplotted on a Blackman diagram, and therefore, they might be used as an indicatorof the intrinsic toughness and ductility of such alloys.";

constexpr std::string_view kMenu =
    "\n\n\nWrite the number that corresponds to the alloy you are interested in:\n\n 2)Binary alloy\n\n 3)Ternary alloy\n\n 4)Quaternary alloy\n\n\n\t-> ";

constexpr std::string_view kRepeatQuestion =
    "\n\nWould you like to do another calculation (y/n)?\t- ";

Flow run_choice(Console& console, int choice) {
  switch (choice) {
    case 2:
      return run_binary(console);
    case 3:
      return run_ternary(console);
    case 4:
      return run_quaternary(console);
    default:
      console.print("Selection unavailable");
      console.line_end();
      console.print("Press any key to continue...");
      console.line_end();
      console.wait_for_key();
      return Flow::kContinue;
  }
}

}  // namespace

int run_session(Console& console) {
  // A non-numeric answer keeps the previous choice; before any choice it is unavailable.
  int choice = 0;
  for (;;) {
    console.clear_screen();
    console.print(kBanner);
    console.line_end();
    console.print(kMenu);
    if (console.read_int(choice) == ReadStatus::kEndOfInput) break;
    console.clear_screen();
    if (run_choice(console, choice) == Flow::kExitProgram) break;
    console.print(kRepeatQuestion);
    console.discard_pending();
    const std::optional<char> answer = console.read_word();
    if (!answer || *answer != 'y') break;
  }
  console.finish_session();
  return 0;
}

}  // namespace glassform
