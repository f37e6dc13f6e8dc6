#include "glassform/report/table/number_format.hpp"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <optional>

#include <fmt/compile.h>

#include "glassform/io/format.hpp"

namespace glassform {

namespace {

// Writes the decimal `significand` * 10^`exponent` (no trailing zeros in `significand`) as
// "%.<p>g" writes a value with those digits, p = max(`min_precision`, number of digits): fixed
// notation when the first digit's exponent lies in [-4, p), scientific otherwise, trailing
// zeros dropped.
constexpr std::array<char, 200> kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (std::size_t i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

template <typename Significand>
void append_general(std::string& out, bool negative, Significand significand, int exponent,
                    int min_precision) {
  // The digits, written from the right end of `digits`.
  std::array<char, 24> digits;  // NOLINT(cppcoreguidelines-pro-type-member-init): filled below
  std::size_t first = digits.size();
  while (significand >= 100) {
    const auto pair = static_cast<std::size_t>(significand % 100) * 2;
    significand /= 100;
    first -= 2;
    digits[first] = kDigitPairs[pair];
    digits[first + 1] = kDigitPairs[pair + 1];
  }
  if (significand >= 10) {
    const auto pair = static_cast<std::size_t>(significand) * 2;
    first -= 2;
    digits[first] = kDigitPairs[pair];
    digits[first + 1] = kDigitPairs[pair + 1];
  } else {
    digits[--first] = static_cast<char>('0' + significand);
  }
  const char* d = digits.data() + first;
  const int count = static_cast<int>(digits.size() - first);
  std::array<char, 48> text;  // NOLINT(cppcoreguidelines-pro-type-member-init): filled below
  char* end = text.data();
  if (negative) *end++ = '-';
  const auto copy = [&end](const char* from, int n) {
    std::memcpy(end, from, static_cast<std::size_t>(n));
    end += n;
  };
  const int x = exponent + count - 1;  // the first digit's decimal exponent
  const int p = std::max(min_precision, count);
  if (x < -4 || x >= p) {
    *end++ = d[0];
    if (count > 1) {
      *end++ = '.';
      copy(d + 1, count - 1);
    }
    *end++ = 'e';
    *end++ = x < 0 ? '-' : '+';
    const int e = x < 0 ? -x : x;
    if (e >= 100) *end++ = static_cast<char>('0' + e / 100);
    copy(kDigitPairs.data() + static_cast<std::size_t>(e % 100) * 2, 2);
  } else if (x >= count - 1) {  // an integer: the digits, then zeros
    copy(d, count);
    const int zeros = x - count + 1;
    std::memset(end, '0', static_cast<std::size_t>(zeros));
    end += zeros;
  } else if (x >= 0) {
    copy(d, x + 1);
    *end++ = '.';
    copy(d + x + 1, count - x - 1);
  } else {
    *end++ = '0';
    *end++ = '.';
    const int zeros = -x - 1;
    std::memset(end, '0', static_cast<std::size_t>(zeros));
    end += zeros;
    copy(d, count);
  }
  out.append(text.data(), end);
}

// The plain way, for the values whose few digits do not say what "%.<p>g" prints (zero, the
// subnormal values, infinities, NaN): print each precision and read it back.
template <typename T>
void append_shortest_slow(std::string& out, T value, int min_precision, int max_precision) {
  std::string text;
  for (int p = min_precision; p <= max_precision; ++p) {
    text.clear();
    fmt::format_to(std::back_inserter(text), "{:.{}g}", value, p);
    const T back = [&text] {
      if constexpr (std::is_same_v<T, float>) {
        return std::strtof(text.c_str(), nullptr);
      } else {
        return std::strtod(text.c_str(), nullptr);
      }
    }();
    if (p == max_precision || back == value || !std::isfinite(value)) break;
  }
  out.append(text);
}

// The shortest digits that read back as `value` (fmt's Dragonbox), laid out as "%.<p>g" with
// p at least `min_precision`. For a normal value the rounding of its exact value to p digits
// is those digits, since half its spacing is far below half a unit of the p-th digit.
template <typename T>
void append_shortest_of(std::string& out, T value, int min_precision, int max_precision) {
  if (!std::isnormal(value)) {
    append_shortest_slow(out, value, min_precision, max_precision);
    return;
  }
  const auto decimal = fmt::detail::dragonbox::to_decimal(std::fabs(value));
  append_general(out, std::signbit(value), decimal.significand, decimal.exponent, min_precision);
}

}  // namespace

void append_shortest(std::string& out, float value) {
  append_shortest_of(out, value, 6, 9);
}

void append_shortest_double(std::string& out, double value) {
  append_shortest_of(out, value, 15, 17);
}

std::string format_shortest(float value) {
  std::string text;
  append_shortest(text, value);
  return text;
}

std::string format_default(float value) {
  return fmt::format("{:g}", value);
}

namespace {

template <typename T>
void append_fixed_of(std::string& out, T value, int decimals) {
  // The reports' precisions with their formats compiled: no format string to read each time.
  const auto to = std::back_inserter(out);
  switch (decimals) {
    case 0:
      fmt::format_to(to, FMT_COMPILE("{:.0f}"), value);
      return;
    case 1:
      fmt::format_to(to, FMT_COMPILE("{:.1f}"), value);
      return;
    case 2:
      fmt::format_to(to, FMT_COMPILE("{:.2f}"), value);
      return;
    case 3:
      fmt::format_to(to, FMT_COMPILE("{:.3f}"), value);
      return;
    case 4:
      fmt::format_to(to, FMT_COMPILE("{:.4f}"), value);
      return;
    default:
      fmt::format_to(to, "{:.{}f}", value, decimals);
  }
}

}  // namespace

void append_fixed(std::string& out, float value, int decimals) {
  append_fixed_of(out, value, decimals);
}

namespace {

// The integer nearest value * 100 (exactly, ties to even) for |value| below 2^40, or nothing
// beyond. value * 100 = p + e exactly, with p the rounded product and e = fma(value, 100, -p);
// k, the integer nearest p, is the answer unless p lies exactly half way, where e decides.
std::optional<long long> hundredths(double value) {
  constexpr double kLimit = 1099511627776.0;  // 2^40: p has a fraction bit to spare
  if (!(std::abs(value) < kLimit)) return std::nullopt;
  const double p = value * 100;
  const double e = std::fma(value, 100, -p);
  double k = std::nearbyint(p);
  const double d = p - k;  // exact: p and k are within one half of each other
  if (d == 0.5 || d == -0.5) {
    // Past the half way point, or an exact tie and k odd (a tie goes to the even neighbour).
    const bool past = e != 0 && (d > 0) == (e > 0);
    const bool odd_tie = e == 0 && std::fmod(k, 2) != 0;
    if (past || odd_tie) k += d > 0 ? 1 : -1;
  }
  return static_cast<long long>(k);
}

}  // namespace

void append_fixed(std::string& out, double value, int decimals) {
  // The formulas write many amounts with two decimals: worked out exactly without a format.
  if (decimals == 2 && !std::signbit(value)) {
    if (const std::optional<long long> k = hundredths(value)) {
      const long long whole = *k / 100;
      const auto cents = static_cast<int>(*k % 100);
      out.append(std::to_string(whole));
      out.push_back('.');
      out.push_back(static_cast<char>('0' + cents / 10));
      out.push_back(static_cast<char>('0' + cents % 10));
      return;
    }
  }
  append_fixed_of(out, value, decimals);
}

}  // namespace glassform
