#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "report/alloy_writer.hpp"
#include "report/csv_report.hpp"
#include "report/json_report.hpp"

namespace glassform {
namespace {

const Element& el(std::string_view symbol) {
  return *find_element(symbol);
}

std::vector<std::string> cells(const std::string& row) {
  std::vector<std::string> out(1);
  bool quoted = false;
  for (std::size_t i = 0; i < row.size(); ++i) {
    const char c = row[i];
    if (quoted) {
      if (c == '"' && i + 1 < row.size() && row[i + 1] == '"') {
        out.back().push_back('"');
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        out.back().push_back(c);
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      out.emplace_back();
    } else if (c != '\n') {
      out.back().push_back(c);
    }
  }
  return out;
}

std::string column(const std::vector<std::string>& row, std::string_view name) {
  for (std::size_t i = 0; i < kCsvColumns.size(); ++i) {
    if (kCsvColumns[i] == name) return row.at(i);
  }
  ADD_FAILURE() << name;
  return {};
}

TEST(Csv, EveryKindHasEveryColumn) {
  std::string out;
  append_csv_header(out);
  EXPECT_EQ(cells(out).size(), kCsvColumns.size());
  append_csv_rows(out, *compute_binary(el("Zr"), el("Cu"), 10));
  append_csv_rows(out, *compute_ternary(el("Cu"), el("Zr"), el("Al"), 17, 15));
  append_csv_rows(out, *compute_quaternary(el("Zr"), el("Al"), el("Cu"), el("Ni"), {11, 10, 10}));
  std::size_t rows = 0;
  for (std::size_t start = 0, end; (end = out.find('\n', start)) != std::string::npos;
       start = end + 1, ++rows) {
    EXPECT_EQ(cells(out.substr(start, end - start)).size(), kCsvColumns.size()) << rows;
  }
  EXPECT_EQ(rows, 1U + 1U + 3U + 1U);
}

TEST(Csv, BinaryRowHoldsTheStoredValuesAndEmptyCellsPastItsElements) {
  std::string out;
  append_csv_rows(out, *compute_binary(el("Zr"), el("Cu"), 10));
  const std::vector<std::string> row = cells(out);
  EXPECT_EQ(column(row, "kind"), "binary");
  EXPECT_EQ(column(row, "solute2"), "");
  EXPECT_EQ(column(row, "gamma_sites"), "");
  EXPECT_EQ(column(row, "Z1"), "10");
  EXPECT_EQ(column(row, "R1_used"), "0.799");
  EXPECT_EQ(column(row, "formula"), "Zr81.93Cu18.07");
  EXPECT_EQ(column(row, "x_solute3_at%"), "");
  EXPECT_EQ(column(row, "warnings"), "");
}

TEST(Csv, MissingModulusIsAnEmptyCellWithItsReason) {
  std::string out;
  append_csv_rows(out, *compute_binary(el("Zr"), el("Mn"), 11));
  const std::vector<std::string> row = cells(out);
  EXPECT_EQ(column(row, "G_GPa"), "");
  EXPECT_EQ(column(row, "C11_GPa"), "");
  EXPECT_NE(column(row, "E_GPa"), "");
  EXPECT_EQ(column(row, "warnings"), "no shear modulus data for Mn");
}

TEST(Csv, QuotesCellsWithCommasAndQuotes) {
  std::string out;
  append_csv_cell(out, "plain");
  out.push_back('|');
  append_csv_cell(out, "Radius ratio too big: \"Al\"; a, b");
  EXPECT_EQ(out, "plain|\"Radius ratio too big: \"\"Al\"\"; a, b\"");
}

TEST(Csv, TernaryOutOfRangeAndOverfullPackingAreWarned) {
  std::string out;
  append_csv_rows(out, *compute_binary(el("Zr"), el("Cu"), 4));
  const std::string warnings = column(cells(out), "warnings");
  EXPECT_EQ(warnings.rfind("packing efficiency 1138.11 % is above 100 %", 0), 0U) << warnings;
}

TEST(Json, NumbersAreShortestAndMissingValuesNull) {
  const nlohmann::json j =
      nlohmann::json::parse(alloy_json(*compute_binary(el("Zr"), el("Mn"), 11), -1));
  EXPECT_EQ(j["kind"], "binary");
  EXPECT_EQ(j["elements"][1]["G_GPa"], nullptr);
  const nlohmann::json& c = j["compositions"][0];
  EXPECT_TRUE(c["G_GPa"].is_null());
  EXPECT_TRUE(c["C44_over_C11"].is_null());
  EXPECT_EQ(c["atomic_percent"][0]["symbol"], "Zr");
  EXPECT_EQ(c["warnings"][0], "no shear modulus data for Mn");
  const std::string text = alloy_json(*compute_binary(el("Zr"), el("Cu"), 10), -1);
  EXPECT_NE(text.find("\"at_percent\":81.9303"), std::string::npos) << text;
  EXPECT_NE(text.find("\"ratio_used\":0.799}"), std::string::npos) << text;
}

TEST(AlloyWriter, SeparatesTextReportsAndClosesJsonArrays) {
  const AlloyResult zr_cu = *compute_binary(el("Zr"), el("Cu"), 10);
  for (const Format format : {Format::kText, Format::kCsv, Format::kJson, Format::kJsonl}) {
    StringSink empty;
    AlloyWriter(empty, format).finish();
    StringSink two;
    AlloyWriter writer(two, format);
    writer.add(zr_cu);
    writer.add(zr_cu);
    writer.finish();
    switch (format) {
      case Format::kText:
        EXPECT_EQ(empty.text, "");
        EXPECT_NE(two.text.find("C44/C11 = 0.2633\n\nFor a <10> glass:"), std::string::npos);
        EXPECT_TRUE(two.text.ends_with("C44/C11 = 0.2633\n"));
        break;
      case Format::kCsv:
        EXPECT_EQ(empty.text.find("kind,solvent,"), 0U);
        break;
      case Format::kJson:
        EXPECT_EQ(empty.text, "[]\n");
        EXPECT_EQ(nlohmann::json::parse(two.text).size(), 2U);
        break;
      case Format::kJsonl:
        EXPECT_EQ(empty.text, "");
        EXPECT_EQ(std::count(two.text.begin(), two.text.end(), '\n'), 2);
        break;
    }
  }
}

}  // namespace
}  // namespace glassform
