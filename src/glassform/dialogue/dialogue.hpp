// The interactive dialogue: main loop, symbol entry, coordination-number questions and the
// reports of the three alloy calculations. Everything here reads or prints through a
// Console; the numbers come from the model's pure functions, the texts from the report layer.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "glassform/dialogue/console.hpp"
#include "glassform/model/alloys.hpp"
#include "glassform/model/elements.hpp"

namespace glassform {

// How a dialogue step ended: go on, end this calculation (go on to the repeat question),
// or end the program with status 0.
enum class Flow { kContinue, kEndCalculation, kExitProgram };

// One whole run: passes of menu, calculation and repeat question. Returns the exit status.
int run_session(Console& console);

Flow run_binary(Console& console);
Flow run_ternary(Console& console);
Flow run_quaternary(Console& console);

// --- Symbol entry -------------------------------------------------------------------------

inline constexpr std::string_view kSymbolNote =
    "**Please note that all elements symbols must be entered as they appear on the \nperiodic table, and it is suggested entering the solutes in decreasing radius \nsize order.**";
inline constexpr std::string_view kSolventPrompt =
    "\n\nPlease enter the solvent element symbol (e.g. Cu): ";
inline constexpr std::string_view kSolutePrompt = "Please enter the solute element symbol: ";
inline constexpr std::string_view kLargestSolutePrompt =
    "Please enter the largest solute element symbol: ";
inline constexpr std::string_view kNextSolutePrompt =
    "Please enter the next solute element symbol: ";
inline constexpr std::string_view kSmallestSolutePrompt =
    "Please enter the smallest solute element symbol: ";
// The ternary asks for its smallest solute later, after the first cluster.
inline constexpr std::string_view kLaterSmallestSolutePrompt =
    "\nPlease enter the smallest solute element symbol: ";

void print_symbol_note(Console& console);

// Writes the prompt and reads the answer as a symbol line.
std::string ask_symbol(Console& console, std::string_view prompt);

// Looks up and takes one group of symbols in order. An unknown text prints its error line;
// an empty text ends the program at once. When every text was found the elements are
// stored and the result is kContinue; after an unknown text it is kEndCalculation, so no
// calculation ever runs on values that were not taken in it.
Flow take_elements(Console& console, std::span<const std::string> texts,
                   std::span<const Element*> elements);

// --- Coordination-number questions ----------------------------------------------------------
// Each returns the accepted integer (a whole number of at least 1), or nothing when the
// input ended. A rejected reply has the rest of its line discarded and the question asked
// again.

std::optional<int> ask_binary_coordination(Console& console, float calculated);
std::optional<int> ask_ternary_largest_coordination(Console& console, float calculated);
std::optional<int> ask_ternary_smallest_coordination(Console& console, const std::string& symbol,
                                                     float calculated);
// `which` is 0 for the largest, 1 for the next and 2 for the smallest solute.
std::optional<int> ask_quaternary_coordination(Console& console, int which,
                                               const std::string& symbol, float calculated);

// The ternary's line printed when a chosen integer has no ideal radius ratio (the binary's is
// part of its report).
void print_ternary_out_of_range(Console& console, std::string_view symbol);

// --- Report ------------------------------------------------------------------------------

// Computes the alloy from its elements, measured clusters and accepted integers (each at
// least 1) and prints its report.
void print_report(Console& console, std::span<const Element* const> elements,
                  std::span<const ClusterMeasure> measures, std::span<const int> chosen);

}  // namespace glassform
