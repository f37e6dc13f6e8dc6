#include "glassform/model/criteria.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "glassform/io/formula.hpp"
#include "glassform/io/measured_file.hpp"
#include "glassform/model/assessment.hpp"
#include "glassform/model/element_properties.hpp"
#include "glassform/model/measured.hpp"
#include "glassform/model/mixing_enthalpy.hpp"

namespace glassform {
namespace {

const Element& el(std::string_view symbol) {
  return *find_element(symbol);
}

// The rows of a tab-separated data file without its # header, column line included.
std::vector<std::vector<std::string>> rows_of(const std::string& path) {
  std::ifstream file(path);
  std::vector<std::vector<std::string>> rows;
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> cells;
    std::istringstream cells_in(line);
    for (std::string cell; std::getline(cells_in, cell, '\t');)
      cells.push_back(cell);
    rows.push_back(cells);
  }
  return rows;
}

TEST(CriteriaData, BuiltInTablesEqualTheDataFiles) {
  const auto pairs = rows_of(GLASSFORM_TEST_DATA "/mixing_enthalpy.tsv");
  ASSERT_EQ(pairs.size(), 2211U) << "the column line and 2,210 pairs";
  std::vector<std::vector<bool>> listed(kElementCount, std::vector<bool>(kElementCount));
  for (std::size_t i = 1; i < pairs.size(); ++i) {
    const Element& a = el(pairs[i][0]);
    const Element& b = el(pairs[i][1]);
    const float value = std::strtof(pairs[i][2].c_str(), nullptr);
    EXPECT_EQ(mixing_enthalpy(a, b), value) << pairs[i][0] << "-" << pairs[i][1];
    EXPECT_EQ(mixing_enthalpy(b, a), value) << pairs[i][1] << "-" << pairs[i][0];
    listed[element_index(a) - 1][element_index(b) - 1] = true;
    listed[element_index(b) - 1][element_index(a) - 1] = true;
  }
  // Every pair the file lacks has no value: nothing is guessed.
  for (std::size_t i = 0; i < kElementCount; ++i) {
    for (std::size_t j = 0; j < kElementCount; ++j) {
      if (!listed[i][j]) {
        EXPECT_FALSE(mixing_enthalpy(kElements[i], kElements[j])) << i << " " << j;
      }
    }
  }
  EXPECT_EQ(mixing_enthalpy_pairs(), 2210U);

  const auto properties = rows_of(GLASSFORM_TEST_DATA "/element_properties.tsv");
  ASSERT_EQ(properties.size(), kElementCount + 1);
  for (std::size_t i = 0; i < kElementCount; ++i) {
    const std::vector<std::string>& row = properties[i + 1];
    EXPECT_EQ(kElementProperties[i].symbol, row[0]);
    EXPECT_EQ(kElementProperties[i].melting_point, std::strtof(row[1].c_str(), nullptr)) << row[0];
    EXPECT_EQ(kElementProperties[i].electronegativity, std::strtof(row[2].c_str(), nullptr))
        << row[0];
    EXPECT_EQ(kElementProperties[i].valence_electrons, std::stoi(row[3])) << row[0];
  }
  // Mendeleev number, group, period and covalent radius, by symbol (the file has Sb, Bi, As
  // too).
  std::size_t found = 0;
  for (const std::vector<std::string>& row :
       rows_of(GLASSFORM_DATA "/element_properties_more.tsv")) {
    const Element* e = find_element(row[0]);
    if (e == nullptr) continue;
    const ElementProperties& p = kElementProperties[static_cast<std::size_t>(e - kElements.data())];
    EXPECT_EQ(p.mendeleev_number, std::stoi(row[1])) << row[0];
    EXPECT_EQ(p.group, std::stoi(row[2])) << row[0];
    EXPECT_EQ(p.period, std::stoi(row[3])) << row[0];
    EXPECT_EQ(p.covalent_radius, std::strtof(row[4].c_str(), nullptr)) << row[0];
    ++found;
  }
  EXPECT_EQ(found, kElementCount);
}

// The statistics of element properties, by hand: Cu50Zr50 has Mendeleev numbers 64 and 44,
// groups 11 and 4, periods 4 and 5, covalent radii 132 and 175 pm; Cu80Zr20 weights them.
TEST(Criteria, ElementStatistics) {
  struct Case {
    const char* formula;
    ElementStatistic property;
    PropertyStatistics expected;
  };
  for (const Case& c : {
           Case{"Cu50Zr50", ElementStatistic::kMendeleevNumber, {54, 10, 44, 64, 20}},
           Case{"Cu50Zr50", ElementStatistic::kGroup, {7.5F, 3.5F, 4, 11, 7}},
           Case{"Cu50Zr50", ElementStatistic::kPeriod, {4.5F, 0.5F, 4, 5, 1}},
           Case{"Cu50Zr50", ElementStatistic::kCovalentRadius, {153.5F, 21.5F, 132, 175, 43}},
           // mean 0.8 * 132 + 0.2 * 175 = 140.6; deviation 0.8 * 8.6 + 0.2 * 34.4 = 13.76
           Case{"Cu80Zr20", ElementStatistic::kCovalentRadius, {140.6F, 13.76F, 132, 175, 43}},
           Case{"Cu", ElementStatistic::kGroup, {11, 0, 11, 11, 0}},
       }) {
    const PropertyStatistics s = glass_criteria(parse_formula(c.formula).parts)
                                     .statistics[static_cast<std::size_t>(c.property)]
                                     .value();
    EXPECT_FLOAT_EQ(s.mean, c.expected.mean) << c.formula;
    EXPECT_FLOAT_EQ(s.deviation, c.expected.deviation) << c.formula;
    EXPECT_EQ(s.min, c.expected.min) << c.formula;
    EXPECT_EQ(s.max, c.expected.max) << c.formula;
    EXPECT_EQ(s.range, c.expected.range) << c.formula;
  }
}

GlassCriteria of(std::string_view formula) {
  return glass_criteria(parse_formula(formula).parts);
}

// Worked by hand from the data files. Cu50Zr50: dH = 4 (-23) (1/2)(1/2) = -23 kJ/mol,
// dS = R ln 2 = 5.763 J/(mol K), Tm = (1357.77 + 2128) / 2 = 1742.885 K, Omega = Tm dS / 23000;
// r = 0.1278 and 0.16025 nm, mean 0.144025, delta = 100 |1 - 0.1278 / 0.144025| = 11.265 %.
TEST(Criteria, HandComputedCompositions) {
  struct Case {
    const char* formula;
    double delta;
    std::optional<double> dh;
    double ds;
    double tm;
    std::optional<double> omega;
    const char* min_pair;  // "" for none
    std::array<bool, 3> inoue;
    const char* missing;  // the missing pair, "" for none
  };
  for (const Case& c : {
           Case{"Cu50Zr50", 11.2654, -23, 5.76315, 1742.88, 0.436717, "Cu-Zr", {}, ""},
           Case{"Cu46Zr46Al8",
                10.8117,
                -26.0912,
                7.61991,
                1678.13,
                0.490097,
                "Al-Zr",
                {true, true, true},
                ""},
           Case{"Zr41.2Ti13.8Cu12.5Ni10Be22.5",
                13.9779,
                -35.1966,
                12.1761,
                1838.12,
                0.63589,
                "Ni-Zr",
                {true, true, false},
                ""},
           Case{"Fe80B20", 14.5623, -16.64, 4.16058, 1918.4, 0.479667, "B-Fe", {}, ""},
           // Ni-Pd mixes with 0 kJ/mol: not negative.
           Case{"Pd40Ni40P20",
                9.18548,
                -22.72,
                8.77109,
                1485.88,
                0.573626,
                "P-Pd",
                {true, true, false},
                ""},
           Case{"Cu50O50", 27.2908, std::nullopt, 5.76315, 706.285, std::nullopt, "", {}, "O-Cu"},
           Case{"Cu", 0, 0, 0, 1357.77, std::nullopt, "", {}, ""},
           // An amount of 0 leaves the element out.
           Case{"Cu50Zr0Al50", 5.67221, -1, 5.76315, 1145.62, 6.60238, "Cu-Al", {}, ""},
       }) {
    const GlassCriteria k = of(c.formula);
    EXPECT_NEAR(k.delta_pct.value(), c.delta, 1e-4) << c.formula;
    ASSERT_EQ(k.dh_mix.has_value(), c.dh.has_value()) << c.formula;
    if (c.dh) {
      EXPECT_NEAR(*k.dh_mix, *c.dh, 1e-4) << c.formula;
    }
    EXPECT_NEAR(k.ds_mix, c.ds, 1e-4) << c.formula;
    EXPECT_NEAR(k.tm.value(), c.tm, 1e-2) << c.formula;
    ASSERT_EQ(k.omega.has_value(), c.omega.has_value()) << c.formula;
    if (c.omega) {
      EXPECT_NEAR(*k.omega, *c.omega, 1e-5) << c.formula;
    }
    EXPECT_EQ(k.min_pair ? pair_name(k.min_pair->pair) : "", c.min_pair) << c.formula;
    EXPECT_EQ(k.inoue_elements, c.inoue[0]) << c.formula;
    EXPECT_EQ(k.inoue_size, std::optional<bool>(c.inoue[1])) << c.formula;
    EXPECT_EQ(k.inoue_enthalpy, std::optional<bool>(c.inoue[2])) << c.formula;
    EXPECT_EQ(k.missing_pairs.empty() ? "" : pair_name(k.missing_pairs[0]), c.missing) << c.formula;
  }
}

TEST(Criteria, InvariantUnderOrderAndScaleAndWithinBounds) {
  std::mt19937 random(20261209);
  std::uniform_int_distribution<std::size_t> pick(0, kElementCount - 1);
  std::uniform_real_distribution<double> amount(0.1, 90);
  for (int trial = 0; trial < 500; ++trial) {
    std::vector<FormulaPart> parts;
    const std::size_t n = 1 + static_cast<std::size_t>(trial % 8);
    while (parts.size() < n) {
      const Element* e = &kElements[pick(random)];
      if (std::none_of(parts.begin(), parts.end(),
                       [e](const FormulaPart& p) { return p.element == e; })) {
        parts.push_back({e, amount(random)});
      }
    }
    const GlassCriteria k = glass_criteria(parts);
    std::vector<FormulaPart> shuffled = parts;
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    for (FormulaPart& p : shuffled)
      p.amount *= 7.5;
    const GlassCriteria s = glass_criteria(shuffled);
    EXPECT_NEAR(s.delta_pct.value(), k.delta_pct.value(), 1e-5 * (1 + *k.delta_pct));
    EXPECT_NEAR(s.ds_mix, k.ds_mix, 1e-5 * (1 + k.ds_mix));
    EXPECT_NEAR(s.tm.value(), k.tm.value(), 1e-4 * *k.tm);
    ASSERT_EQ(s.dh_mix.has_value(), k.dh_mix.has_value());
    if (k.dh_mix) {
      EXPECT_NEAR(*s.dh_mix, *k.dh_mix, 1e-4 * (1 + std::abs(*k.dh_mix)));
    }
    EXPECT_EQ(s.inoue_elements, k.inoue_elements);
    EXPECT_EQ(s.inoue_size, k.inoue_size);
    EXPECT_EQ(s.inoue_enthalpy, k.inoue_enthalpy);
    EXPECT_EQ(s.missing_pairs.size(), k.missing_pairs.size());
    EXPECT_GE(*k.delta_pct, 0);
    EXPECT_LE(k.ds_mix, 8.314462618 * std::log(static_cast<double>(n)) + 1e-4);
  }
}

TEST(ModelDistance, NearestModelCompositionOfTheSameElements) {
  struct Case {
    const char* formula;
    std::optional<double> distance;
  };
  for (const Case& c : {
           Case{"Zr81.93Cu18.07", 0.0},  // the model's own binary, to its two decimals
           Case{"Cu50Zr50", 31.93},      // a tie: Zr as the solvent gives the nearer composition
           Case{"Cu46Zr46Al8", 13.61}, Case{"Cu", std::nullopt},
           Case{"Zr41.2Ti13.8Cu12.5Ni10Be22.5", std::nullopt},  // five elements
       }) {
    const std::optional<ModelMatch> m = nearest_model_composition(parse_formula(c.formula).parts);
    ASSERT_EQ(m.has_value(), c.distance.has_value()) << c.formula;
    if (m) {
      EXPECT_NEAR(m->distance, *c.distance, 0.006) << c.formula;
    }
  }
}

// The match rule of --measured: the same elements, every amount within 0.05 at.% after
// normalising (Cu47Zr47 is Cu50Zr50), an amount of 0 left out.
TEST(Measured, MatchesTheSameComposition) {
  std::vector<MeasuredGlass> glasses;
  for (const char* name : {"Cu50Zr50", "Cu47Zr47Al6"}) {
    glasses.push_back({name, parse_formula(name).parts, 30.0, 100.0, std::nullopt});
  }
  struct Case {
    const char* formula;
    const char* match;  // "" for none
  };
  for (const Case& c : {Case{"Cu50Zr50", "Cu50Zr50"}, Case{"Zr50Cu50", "Cu50Zr50"},
                        Case{"Cu50.04Zr49.96", "Cu50Zr50"}, Case{"Cu50.1Zr49.9", ""},
                        Case{"Cu50Zr50Al0", "Cu50Zr50"}, Case{"Cu4.7Zr4.7Al0.6", "Cu47Zr47Al6"},
                        Case{"Cu47Zr47", "Cu50Zr50"}, Case{"Cu", ""}}) {
    const MeasuredGlass* m = find_measured(glasses, parse_formula(c.formula).parts);
    EXPECT_EQ(m != nullptr ? m->name : "", c.match) << c.formula;
  }
  MeasuredGlass from_e{"Cu50Zr50", {}, std::nullopt, std::nullopt, 0.25};
  complete_moduli(from_e, 100.0);
  EXPECT_DOUBLE_EQ(*from_e.g, 40.0);
  EXPECT_NEAR(*from_e.b, 66.6667, 1e-4);
}

// A measurement file as data/glass_moduli.csv writes it, and with a BOM, CR LF, K and E.
TEST(Measured, ReadsTheMeasurementFile) {
  struct Source final : InputSource {
    std::string text;
    std::size_t at = 0;
    std::size_t read(char* buffer, std::size_t capacity) override {
      const std::size_t n = std::min(capacity, text.size() - at);
      text.copy(buffer, n, at);
      at += n;
      return n;
    }
  };
  Source file;
  file.text =
      "\xEF\xBB\xBF# comment\r\nglass,G_GPa,K,E_GPa,nu,source\r\nCu50Zr50,31.3,101.2,,,\"a, b\"\r\n"
      "Pd40Ni40P20,,,100,0.25,x\r\n";
  auto read = read_measured(file);
  ASSERT_TRUE(std::holds_alternative<std::vector<MeasuredGlass>>(read));
  const auto& glasses = std::get<std::vector<MeasuredGlass>>(read);
  ASSERT_EQ(glasses.size(), 2U);
  EXPECT_EQ(glasses[0].b, 101.2);
  EXPECT_NEAR(*glasses[0].nu, 0.3598, 1e-4);
  EXPECT_DOUBLE_EQ(*glasses[1].g, 40.0);
  // Each fault at its line and column; user text quoted in part.
  struct Bad {
    std::string text;
    std::size_t line, column;
    std::string_view message;  // the start of it
  };
  for (const Bad& b : std::vector<Bad>{
           {"glass,G_GPa\nCu50Zr50,fast\n", 2, 10, "\"fast\" is not a number"},
           {"glass,G_GPa\nCu50Zr50,1e308\n", 2, 10, "G_GPa \"1e308\" is not a modulus"},
           {"glass,G_GPa\nCu50Zr50,4e-320\n", 2, 10, "G_GPa \"4e-320\" is not a modulus"},
           {"glass,E,G\nCu50Zr50,-90,30\n", 2, 10, "E_GPa \"-90\" is not a modulus"},
           {"glass,nu\nCu50Zr50,0.7\n", 2, 10, "Poisson's ratio \"0.7\""},
           {"glass,nu\nCu50Zr50,-1\n", 2, 10, "Poisson's ratio \"-1\""},
           {"glass,E,G,nu\nCu50Zr50,100,30,0.36\n", 2, 1, "E_GPa given as 100, but"},
           {"glass,G,B,nu\nCu50Zr50,30,100,0.2\n", 2, 1, "nu given as 0.2, but"},
           {"glass,G,G_GPa\n", 1, 9, "column \"G_GPa\" gives the same as \"G\""},
           {"glass,formula\n", 1, 7, "column \"formula\" gives the same as \"glass\""},
           {"glass,G\n\"Cu50\nZr50,30\n", 2, 1, "a quoted cell is not closed"},
           {"glass,G\nCu50Zr50,\"30\"x\n", 2, 14, "text after the closing quote"},
           {"glass,G\nCu50Qq50," + std::string(1 << 20, '1') + "\n", 2, 5,
            "formula \"Cu50Qq50\", position 5"},
           {"glass,G\nCu50Zr50," + std::string(1 << 20, 'x') + "\n", 2, 10,
            "\"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx...\" is not"},
           {"", 0, 0, "no header line"},
           {"# only a comment\nglass,G\n", 0, 0, "no measurements after the header"},
       }) {
    Source bad;
    bad.text = b.text;
    const auto result = read_measured(bad);
    ASSERT_TRUE(std::holds_alternative<FileFault>(result)) << b.message;
    const FileFault& e = std::get<FileFault>(result);
    EXPECT_EQ(e.line, b.line) << e.message;
    EXPECT_EQ(e.column, b.column) << e.message;
    EXPECT_TRUE(e.message.starts_with(b.message)) << e.message;
    EXPECT_LT(e.message.size(), 200U);
  }
  // A quoted formula may span lines and hold quotes; it is read whole.
  Source quoted;
  quoted.text = "glass,G,note\n\"Cu50\"\"\"\",30,\"two\nlines\"\nZr50Cu50,31,\n";
  const auto read_quoted = read_measured(quoted);
  ASSERT_TRUE(std::holds_alternative<FileFault>(read_quoted));
  EXPECT_EQ(std::get<FileFault>(read_quoted).line, 2U);  // Cu50"" is no formula
}

}  // namespace
}  // namespace glassform
