#include "report/number_format.hpp"

#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace glassform {

namespace {

constexpr std::array<std::uint64_t, 19> kPow10 = [] {
  std::array<std::uint64_t, 19> powers{};
  std::uint64_t p = 1;
  for (std::uint64_t& v : powers) {
    v = p;
    p *= 10;
  }
  return powers;
}();

// The bits of a float (std::bit_cast is missing from some standard libraries this
// code is built with).
std::uint32_t bits_of(float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

struct Digits {
  std::uint64_t value;  // `precision` significant digits
  int exponent;         // decimal exponent of the first digit
  int precision;        // the p of "%.<p>g"
};

#if defined(__SIZEOF_INT128__)
#define GLASSFORM_EXACT_FORMAT 1
__extension__ typedef unsigned __int128 U128;  // NOLINT(modernize-use-using)

// A positive, finite float times 10^k, exactly, as the fraction numerator / 2^shift.
struct Scaled {
  U128 numerator;
  int shift;
  std::uint32_t significand;  // of the float, 24 bits
  int binary_exponent;        // value = significand * 2^(binary_exponent - 23)
};

// Nothing for subnormal values, or where the numerator would not fit.
std::optional<Scaled> scale_exactly(float value, int k) {
  const std::uint32_t bits = bits_of(value);
  const int biased = static_cast<int>(bits >> 23);
  if (biased == 0 || k < 0 || k > 18) return std::nullopt;
  Scaled s{};
  s.significand = (bits & 0x7fffffU) | 0x800000U;
  s.binary_exponent = biased - 127;
  const int shift = 23 - s.binary_exponent;
  if (shift < -40 || shift > 120) return std::nullopt;
  s.numerator = static_cast<U128>(s.significand) * kPow10[static_cast<std::size_t>(k)];
  if (shift < 0) {
    s.numerator <<= -shift;
    s.shift = 0;
  } else {
    s.shift = shift;
  }
  return s;
}

// The decimals that read back as the float, scaled like v below, with the tie rule.
struct Interval {
  U128 low;
  U128 high;
  bool ties_read_back;  // a decimal exactly on a boundary reads back (the float is even)
};

// Rounds v = whole + fraction / 2^shift to a multiple of Unit (half to even, on the exact
// value) and tells whether that rounding reads back. `digits` is the rounding over Unit.
template <std::uint32_t Unit>
bool round_to(std::uint32_t whole, U128 fraction, int shift, const Interval& interval,
              std::uint32_t& digits) {
  digits = whole / Unit;
  const U128 remainder2 = ((static_cast<U128>(whole % Unit) << shift) + fraction) << 1;
  const U128 unit = static_cast<U128>(Unit) << shift;
  if (remainder2 > unit || (remainder2 == unit && (digits & 1U) != 0)) ++digits;
  const U128 candidate = (static_cast<U128>(digits) * Unit) << (shift + 2);
  if (candidate == interval.low || candidate == interval.high) return interval.ties_read_back;
  return candidate > interval.low && candidate < interval.high;
}

Digits make_digits(std::uint32_t digits, int x, int p) {
  // A rounding up to 10^p is 10^(p-1) at the next decimal exponent.
  if (digits == kPow10[static_cast<std::size_t>(p)]) return {digits / 10U, x + 1, p};
  return {digits, x, p};
}

// The shortest of the 6- to 9-digit roundings of `value` (> 0) that reads back as `value`,
// decided in exact integer arithmetic. With X the decimal exponent of `value`, v = value *
// 10^(8 - X) lies in [10^8, 10^9); each p-digit rounding of v is integer arithmetic, and a
// rounding reads back as `value` when it lies within half the spacing to the neighbouring
// float (half to even on a tie). Nothing outside about 1e-9 .. 1e9.
std::optional<Digits> shortest_digits(float value) {
  const std::uint32_t bits = bits_of(value);
  // value lies in [2^e, 2^(e+1)); floor(e * log10(2)) is the first digit's exponent or one less.
  int x = ((static_cast<int>(bits >> 23) - 127) * 78913) >> 18;
  std::optional<Scaled> s;
  std::uint64_t integer = 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    s = scale_exactly(value, 8 - x);
    if (!s) return std::nullopt;
    integer = static_cast<std::uint64_t>(s->numerator >> s->shift);
    if (integer < 1000000000U) break;
    ++x;
  }
  const int k = 8 - x;
  const int shift = s->shift;
  // In units of 2^-(shift + 2) of v: v itself, and the interval of values that read back as
  // `value`: half the spacing to the float above and below (the one below is half as far when
  // `value` is a power of two); a value on the boundary reads back when `value` is even.
  const U128 v4 = s->numerator << 2;
  const int to_v4 = shift + 2 - (23 - s->binary_exponent);  // ulp = 2^-(23 - e) * 10^k
  const U128 half_up = static_cast<U128>(kPow10[static_cast<std::size_t>(k)]) << (to_v4 - 1);
  const U128 half_down = s->significand == 0x800000U ? half_up >> 1 : half_up;
  const Interval interval{v4 - half_down, v4 + half_up, (bits & 1U) == 0};
  const auto whole = static_cast<std::uint32_t>(integer);  // below 10^9
  const U128 fraction = s->numerator & ((static_cast<U128>(1) << shift) - 1);
  std::uint32_t digits = 0;
  if (round_to<1000>(whole, fraction, shift, interval, digits)) return make_digits(digits, x, 6);
  if (round_to<100>(whole, fraction, shift, interval, digits)) return make_digits(digits, x, 7);
  if (round_to<10>(whole, fraction, shift, interval, digits)) return make_digits(digits, x, 8);
  round_to<1>(whole, fraction, shift, interval, digits);  // nine digits identify any float
  return make_digits(digits, x, 9);
}
#else
std::optional<Digits> shortest_digits(float /*value*/) {
  return std::nullopt;
}
#endif

// Writes `digits` (p digits, the first at decimal exponent x) as "%.<p>g" does.
void append_general(std::string& out, std::uint64_t digits, int x, int p) {
  std::array<char, 16> d{};
  for (int i = p - 1; i >= 0; --i) {
    d[static_cast<std::size_t>(i)] = static_cast<char>('0' + digits % 10);
    digits /= 10;
  }
  int kept = p;  // "%g" drops trailing zeros
  while (kept > 1 && d[static_cast<std::size_t>(kept - 1)] == '0')
    --kept;
  std::array<char, 32> text{};
  std::size_t n = 0;
  const auto put = [&text, &n](char c) { text[n++] = c; };
  const auto put_digits = [&](int from, int to) {
    for (int i = from; i < to; ++i)
      put(d[static_cast<std::size_t>(i)]);
  };
  if (x < -4 || x >= p) {
    put(d[0]);
    if (kept > 1) {
      put('.');
      put_digits(1, kept);
    }
    put('e');
    put(x < 0 ? '-' : '+');
    const int e = x < 0 ? -x : x;
    if (e >= 100) put(static_cast<char>('0' + e / 100));
    put(static_cast<char>('0' + e / 10 % 10));
    put(static_cast<char>('0' + e % 10));
  } else if (x >= 0) {
    put_digits(0, x + 1);
    if (kept > x + 1) {
      put('.');
      put_digits(x + 1, kept);
    }
  } else {
    put('0');
    put('.');
    for (int i = 0; i < -x - 1; ++i)
      put('0');
    put_digits(0, kept);
  }
  out.append(text.data(), n);
}

// The plain way: printf each precision and read it back.
void append_shortest_slow(std::string& out, float value) {
  std::array<char, 48> text{};
  for (int p = 6; p <= 9; ++p) {
    const int n = std::snprintf(text.data(), text.size(), "%.*g", p, static_cast<double>(value));
    if (p == 9 || std::strtof(text.data(), nullptr) == value) {
      out.append(text.data(), static_cast<std::size_t>(n));
      return;
    }
  }
}

}  // namespace

void append_shortest(std::string& out, float value) {
  if (std::isfinite(value) && value != 0.0F) {
    if (const std::optional<Digits> d = shortest_digits(std::fabs(value))) {
      if (value < 0) out.push_back('-');
      append_general(out, d->value, d->exponent, d->precision);
      return;
    }
  }
  append_shortest_slow(out, value);
}

void append_shortest_double(std::string& out, double value) {
  std::array<char, 48> text{};
  for (int p = 15; p <= 17; ++p) {
    const int n = std::snprintf(text.data(), text.size(), "%.*g", p, value);
    if (p == 17 || std::strtod(text.data(), nullptr) == value) {
      out.append(text.data(), static_cast<std::size_t>(n));
      return;
    }
  }
}

std::string format_shortest(float value) {
  std::string text;
  append_shortest(text, value);
  return text;
}

std::string format_default(float value) {
  std::array<char, 64> text{};
  const int length = std::snprintf(text.data(), text.size(), "%g", static_cast<double>(value));
  return {text.data(), length > 0 ? static_cast<std::size_t>(length) : 0U};
}

void append_fixed(std::string& out, float value, int decimals) {
#if defined(GLASSFORM_EXACT_FORMAT)
  // Exact: round half to even on value * 10^decimals, as printf does on the exact value.
  const float magnitude = std::fabs(value);
  if (decimals >= 0 && decimals <= 4 && magnitude < 1e12F && magnitude != 0.0F) {
    if (const std::optional<Scaled> s = scale_exactly(magnitude, decimals)) {
      auto units = static_cast<std::uint64_t>(s->numerator >> s->shift);
      const U128 fraction2 = (s->numerator & ((static_cast<U128>(1) << s->shift) - 1)) << 1;
      const U128 one = static_cast<U128>(1) << s->shift;
      if (fraction2 > one || (fraction2 == one && (units & 1U) != 0)) ++units;
      if (std::signbit(value)) out.push_back('-');
      const std::uint64_t unit = kPow10[static_cast<std::size_t>(decimals)];
      std::array<char, 32> text{};
      char* end = std::to_chars(text.data(), text.data() + text.size(), units / unit).ptr;
      if (decimals > 0) {
        *end++ = '.';
        std::uint64_t rest = units % unit;
        for (int i = decimals - 1; i >= 0; --i) {
          end[i] = static_cast<char>('0' + rest % 10);
          rest /= 10;
        }
        end += decimals;
      }
      out.append(text.data(), end);
      return;
    }
  }
#endif
  std::array<char, 64> text{};
  const int length =
      std::snprintf(text.data(), text.size(), "%.*f", decimals, static_cast<double>(value));
  if (length > 0 && static_cast<std::size_t>(length) < text.size()) {
    out.append(text.data(), static_cast<std::size_t>(length));
  } else if (length > 0) {
    std::string large(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(large.data(), large.size(), "%.*f", decimals, static_cast<double>(value));
    out.append(large.data(), static_cast<std::size_t>(length));
  }
}

}  // namespace glassform
