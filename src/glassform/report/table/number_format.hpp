// Number formatting for the reports: the fixed-point numbers of the text report, and the
// shortest form of a stored single-precision value for CSV and JSON, laid out as printf's
// "%g" lays out those digits.
#pragma once

#include <string>

namespace glassform {

// Appends `value` as the shortest of "%.6g", "%.7g", "%.8g" and "%.9g" whose text reads
// back to the same float. The same digits on every target: it needs neither float
// `std::to_chars` nor a particular `long double`, nor the C library's printf.
void append_shortest(std::string& out, float value);
std::string format_shortest(float value);

// Appends a double in the shortest of "%.15g", "%.16g" and "%.17g" that reads back to it.
void append_shortest_double(std::string& out, double value);

// Formats a value as a default-formatted output stream does: six significant digits,
// trailing zeros dropped ("%g").
std::string format_default(float value);

// Appends `value` with `decimals` digits after the point, rounded as printf's "%.*f" rounds
// (half to even on the exact value).
void append_fixed(std::string& out, float value, int decimals);
void append_fixed(std::string& out, double value, int decimals);

}  // namespace glassform
