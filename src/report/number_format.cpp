#include "report/number_format.hpp"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <limits>

#include "io/format.hpp"

namespace glassform {

namespace {

// Writes the decimal `significand` * 10^`exponent` (no trailing zeros in `significand`) as
// "%.<p>g" writes a value with those digits, p = max(`min_precision`, number of digits): fixed
// notation when the first digit's exponent lies in [-4, p), scientific otherwise, trailing
// zeros dropped.
template <typename Significand>
void append_general(std::string& out, Significand significand, int exponent, int min_precision) {
  std::array<char, 24> digits{};
  int count = 0;
  do {
    digits[static_cast<std::size_t>(count++)] = static_cast<char>('0' + significand % 10);
    significand /= 10;
  } while (significand != 0);
  // digits[count - 1] is the first digit.
  const auto digit = [&digits, count](int i) {
    return digits[static_cast<std::size_t>(count - 1 - i)];
  };
  const int x = exponent + count - 1;  // the first digit's decimal exponent
  const int p = std::max(min_precision, count);
  if (x < -4 || x >= p) {
    out.push_back(digit(0));
    if (count > 1) {
      out.push_back('.');
      for (int i = 1; i < count; ++i)
        out.push_back(digit(i));
    }
    out.push_back('e');
    out.push_back(x < 0 ? '-' : '+');
    const int e = x < 0 ? -x : x;
    if (e >= 100) out.push_back(static_cast<char>('0' + e / 100));
    out.push_back(static_cast<char>('0' + e / 10 % 10));
    out.push_back(static_cast<char>('0' + e % 10));
  } else if (x >= 0) {
    for (int i = 0; i <= x; ++i)
      out.push_back(i < count ? digit(i) : '0');
    if (count > x + 1) {
      out.push_back('.');
      for (int i = x + 1; i < count; ++i)
        out.push_back(digit(i));
    }
  } else {
    out.append("0.");
    out.append(static_cast<std::size_t>(-x - 1), '0');
    for (int i = 0; i < count; ++i)
      out.push_back(digit(i));
  }
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
  if (std::signbit(value)) out.push_back('-');
  const auto decimal = fmt::detail::dragonbox::to_decimal(std::fabs(value));
  append_general(out, decimal.significand, decimal.exponent, min_precision);
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

void append_fixed(std::string& out, float value, int decimals) {
  fmt::format_to(std::back_inserter(out), "{:.{}f}", value, decimals);
}

}  // namespace glassform
