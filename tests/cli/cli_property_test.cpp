// The command line against the dialogue, over generated alloys of every kind: its text is the
// dialogue's report, and its CSV and JSON numbers, rounded with the report's formats, are the
// report's digits.
#include <gtest/gtest.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <random>

#include "cli_harness.hpp"
#include "glassform/model/alloys.hpp"
#include "glassform/report/table/fields.hpp"

namespace glassform {
namespace {

struct Alloy {
  std::vector<std::string> symbols;
  std::vector<int> chosen;
};

Alloy random_alloy(std::mt19937& random, std::size_t size) {
  std::uniform_int_distribution<std::size_t> pick(0, kElementCount - 1);
  std::uniform_int_distribution<int> chosen(1, 30);
  Alloy a;
  for (std::size_t i = 0; i < size; ++i)
    a.symbols.emplace_back(kElements[pick(random)].symbol);
  for (std::size_t i = 1; i < size; ++i)
    a.chosen.push_back(chosen(random));
  return a;
}

// The dialogue's report for the alloy: the script of one calculation, and the output from the
// report's first line to the repeat question.
std::string dialogue_report(const Alloy& a) {
  std::string script = std::to_string(a.symbols.size()) + "\n";
  std::vector<std::string> answers = a.symbols;
  std::vector<std::string> integers;
  for (const int k : a.chosen)
    integers.push_back(std::to_string(k));
  if (a.symbols.size() == 3) {  // the ternary asks for its smallest solute after Z1
    answers = {a.symbols[0], a.symbols[1], integers[0], a.symbols[2], integers[1]};
    integers.clear();
  }
  for (const std::string& s : answers)
    script += s + "\n";
  for (const std::string& k : integers)
    script += k + "\n";
  script += "n\n";
  const std::string out = testing::run_script(script).output;
  const std::size_t start = out.find("For a <");
  const std::size_t end = out.rfind("\n\nWould you like to do another calculation");
  if (start == std::string::npos || end == std::string::npos) return "(no report)\n" + out;
  std::string report = out.substr(start, end - start);
  if (report.back() != '\n') report.push_back('\n');
  return report;
}

std::vector<std::string> cli_args(const Alloy& a, const char* format) {
  static const char* kinds[] = {"", "", "binary", "ternary", "quaternary"};
  std::vector<std::string> args{kinds[a.symbols.size()]};
  args.insert(args.end(), a.symbols.begin(), a.symbols.end());
  std::string cn;
  for (const int k : a.chosen)
    cn += (cn.empty() ? "" : ",") + std::to_string(k);
  args.insert(args.end(), {"--cn", cn, "--format", format});
  return args;
}

std::string fixed(const char* format, float value) {
  char text[64];
  std::snprintf(text, sizeof text, format, static_cast<double>(value));
  return text;
}

// The report's lines for the values of one composition, each from a number read as a float.
std::vector<std::string> expected_lines(std::size_t kind_size,
                                        const std::function<std::optional<float>(const char*)>& v) {
  std::vector<std::string> lines;
  const bool quaternary = kind_size == 4;
  if (auto p = v("packing")) {
    lines.push_back(quaternary ? "Packing efficiency of the alloy= " + fixed("%.2f", *p) + " %"
                               : "Packing efficiency of the alloy = " + fixed("%.2f", *p) + "%");
  }
  for (const auto& [key, format] :
       std::vector<std::pair<const char*, const char*>>{{"E", "E = %.1f GPa\n"},
                                                        {"G", "G = %.1f GPa\n"},
                                                        {"C11", "C11 = %.1f GPa\n"},
                                                        {"C12", "C12 = %.1f GPa\n"},
                                                        {"C44", "C44 = %.1f GPa\n"},
                                                        {"m", "m = %.1f (Kinetic"},
                                                        {"C12/C11", "C12/C11 = %.4f"},
                                                        {"C44/C11", "C44/C11 = %.4f"},
                                                        {"x0", "\n%.2f%% of "}}) {
    if (auto x = v(key)) lines.push_back(fixed(format, *x));
  }
  return lines;
}

std::optional<float> csv_float(const std::string& cell) {
  if (cell.empty()) return std::nullopt;
  return std::strtof(cell.c_str(), nullptr);
}

TEST(CliAgreesWithDialogue, OverGeneratedAlloysOfEveryKind) {
  std::mt19937 random(20261208);
  for (int trial = 0; trial < 150; ++trial) {
    const Alloy a = random_alloy(random, 2 + static_cast<std::size_t>(trial % 3));
    const std::string report = dialogue_report(a);
    const testing::CliRun text = testing::run_cli(cli_args(a, "text"));
    ASSERT_EQ(text.status, 0) << text.err;
    // The dialogue's report, each composition followed by the command line's own lines.
    std::string without_criteria;
    std::istringstream lines(text.out);
    bool criteria_line = false;
    for (std::string line; std::getline(lines, line);) {
      // Its own lines, and their continuations (two blanks).
      criteria_line =
          line.starts_with("Glass-forming criteria: ") || line.starts_with("Pair mixing enthalp") ||
          line.starts_with("Inoue's rules: ") || line.starts_with("Electronegativity difference") ||
          line.starts_with("Glass-formation score") || line.starts_with("Poisson's ratio nu = ") ||
          line.starts_with("Critical casting thickness estimate") ||
          line.starts_with("Estimates from the crystalline elements' moduli") ||
          (criteria_line && line.starts_with("  "));
      if (!criteria_line) without_criteria += line + "\n";
    }
    ASSERT_TRUE(criteria_line) << text.out;
    // The dialogue runs its no-constants line into the ternary's separator; the command line
    // ends that line before the criteria.
    std::string expected = report;
    for (std::size_t at = 0; (at = expected.find("this data---", at)) != std::string::npos;)
      expected.insert(at += 9, "\n");
    ASSERT_EQ(without_criteria, expected) << a.symbols[0] << a.symbols[1];

    const testing::CliRun csv = testing::run_cli(cli_args(a, "csv"));
    std::istringstream rows(csv.out);
    std::string header;
    std::getline(rows, header);
    const std::map<std::string, std::string> names{
        {"packing", "packing_%"}, {"E", "E_GPa"},         {"G", "G_GPa"},
        {"C11", "C11_GPa"},       {"C12", "C12_GPa"},     {"C44", "C44_GPa"},
        {"m", "m_fragility"},     {"C12/C11", "C12/C11"}, {"C44/C11", "C44/C11"},
        {"x0", "x_solvent_at%"}};
    for (std::string row; std::getline(rows, row);) {
      std::vector<std::string> cells;
      std::stringstream split(row);
      for (std::string cell; std::getline(split, cell, ',');)
        cells.push_back(cell);
      const std::vector<const Field*> fields = alloy_fields();
      cells.resize(fields.size());
      const auto value = [&](const char* key) -> std::optional<float> {
        const std::string& column = names.at(key);
        for (std::size_t i = 0; i < fields.size(); ++i) {
          if (fields[i]->name == column) return csv_float(cells[i]);
        }
        return std::nullopt;
      };
      for (const std::string& line : expected_lines(a.symbols.size(), value))
        EXPECT_NE(report.find(line), std::string::npos) << line << "\n" << report;
    }

    const testing::CliRun json = testing::run_cli(cli_args(a, "json"));
    // The JSON rows carry the CSV's names.
    for (const nlohmann::json& c : nlohmann::json::parse(json.out)) {
      const auto value = [&](const char* key) -> std::optional<float> {
        const nlohmann::json& v = c.at(names.at(key));
        if (v.is_null()) return std::nullopt;
        return v.get<float>();
      };
      for (const std::string& line : expected_lines(a.symbols.size(), value))
        EXPECT_NE(report.find(line), std::string::npos) << line << "\n" << report;
    }
  }
}

}  // namespace
}  // namespace glassform
