#include "glassform/report/table/number_format.hpp"

#include <gtest/gtest.h>

#include <array>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace glassform {
namespace {

// The definition, the slow way: printf each precision and read it back.
std::string reference(float value) {
  char text[64];
  for (int p = 6; p <= 9; ++p) {
    std::snprintf(text, sizeof text, "%.*g", p, static_cast<double>(value));
    if (std::strtof(text, nullptr) == value) break;
  }
  return text;
}

TEST(Shortest, KnownValues) {
  const struct {
    float value;
    const char* text;
  } cases[] = {
      {81.93F, "81.93"},
      {0.799F, "0.799"},
      {9.983868F, "9.983868"},
      {0.0F, "0"},
      {-0.0F, "-0"},
      {100.0F, "100"},
      {1e-7F, "1e-07"},
      {123456789.0F, "1.2345679e+08"},
      {0.00012F, "0.00012"},
      {-42.5F, "-42.5"},
      {1048576.25F, "1048576.2"},
      {3.4028235e38F, "3.4028235e+38"},
      {1e-45F, "1.4013e-45"},
      {INFINITY, "inf"},
      {1000000.0F, "1e+06"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(format_shortest(c.value), c.text) << c.text;
    EXPECT_EQ(format_shortest(c.value), reference(c.value)) << c.text;
  }
}

// Every exponent, random significands: the fast path must agree with printf everywhere.
TEST(Shortest, AgreesWithPrintfOverRandomFloats) {
  std::mt19937 random(8);
  std::uniform_int_distribution<std::uint32_t> bits(0, 0x7f7fffffU);
  for (int i = 0; i < 300000; ++i) {
    const float value = std::bit_cast<float>(bits(random));
    ASSERT_EQ(format_shortest(value), reference(value)) << std::bit_cast<std::uint32_t>(value);
  }
}

// Decimal-looking values, the kind the model stores, and their neighbours.
TEST(Shortest, AgreesWithPrintfNearShortDecimals) {
  for (int n = 1; n < 200000; n += 7) {
    const float base = static_cast<float>(n) / 100.0F;
    for (const float v : {base, std::nextafter(base, 0.0F), std::nextafter(base, 1e9F)})
      ASSERT_EQ(format_shortest(v), reference(v)) << n;
  }
}

// The fixed formats of the report: the same text as printf for every decimal count used.
TEST(Fixed, AgreesWithPrintf) {
  std::mt19937 random(3);
  std::uniform_real_distribution<float> wide(-2000.0F, 2000.0F);
  const float specials[] = {0.0F, -0.0F, 0.125F, 0.375F, 2.5F, -0.001F, 81.93F, 1e11F, 1e20F};
  for (int i = 0; i < 200000; ++i) {
    const float v = i < 9 ? specials[i] : wide(random);
    for (const int decimals : {1, 2, 3, 4, 5}) {
      char text[128];
      std::snprintf(text, sizeof text, "%.*f", decimals, static_cast<double>(v));
      std::string ours;
      append_fixed(ours, v, decimals);
      ASSERT_EQ(ours, text) << v << " " << decimals;
    }
  }
}

// Doubles with two decimals (the amounts of a given composition), ties and their neighbours
// included.
TEST(Fixed, DoublesWithTwoDecimalsAgreeWithPrintf) {
  std::mt19937_64 random(5);
  std::uniform_real_distribution<double> amount(0.0, 100.0);
  for (int i = 0; i < 150000; ++i) {
    double v = i % 3 == 0 ? amount(random) : static_cast<double>(i) / 1000.0;
    if (i % 3 == 2) v = std::nextafter(v, i % 2 == 0 ? 0.0 : 1e9);
    const double special = std::array{0.125, 0.375, 2.675, 0.005, 1e12, 1e300}[i % 6];
    for (const double x : {v, v * 1e6, -v, special}) {
      char text[512];
      std::snprintf(text, sizeof text, "%.2f", x);
      std::string ours;
      append_fixed(ours, x, 2);
      ASSERT_EQ(ours, text) << x;
    }
  }
}

TEST(DefaultFormat, HasSixSignificantDigits) {
  EXPECT_EQ(format_default(9.98387F), "9.98387");
  EXPECT_EQ(format_default(8.0F), "8");
  EXPECT_EQ(format_default(13.3326F), "13.3326");
  EXPECT_EQ(format_default(2.0F), "2");
}

}  // namespace
}  // namespace glassform
