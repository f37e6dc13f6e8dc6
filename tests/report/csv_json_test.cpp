#include <gtest/gtest.h>

#include <fmt/format.h>
#include <algorithm>

#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "glassform/io/formula.hpp"
#include "glassform/report/request/screen_setup.hpp"
#include "glassform/report/table/alloy_writer.hpp"
#include "glassform/report/table/csv_report.hpp"
#include "glassform/report/table/row_filter.hpp"
#include "glassform/report/table/table_writer.hpp"
#include "glassform/report/table/tables.hpp"
#include "glassform/report/text/warnings.hpp"

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
  const std::vector<const Field*> fields = alloy_fields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i]->name == name) return row.at(i);
  }
  ADD_FAILURE() << name;
  return {};
}

void append_csv_rows(std::string& out, const AlloyResult& alloy) {
  for (const Composition& c : alloy.compositions())
    append_csv_row(out, positional_columns(alloy_fields()), Row::of(alloy, c));
}

TEST(Csv, EveryKindHasEveryColumn) {
  std::string out;
  append_csv_header(out, positional_columns(alloy_fields()));
  EXPECT_EQ(cells(out).size(), alloy_fields().size());
  append_csv_rows(out, *compute_binary(el("Zr"), el("Cu"), 10));
  append_csv_rows(out, *compute_ternary(el("Cu"), el("Zr"), el("Al"), 17, 15));
  append_csv_rows(out, *compute_quaternary(el("Zr"), el("Al"), el("Cu"), el("Ni"), {11, 10, 10}));
  std::size_t rows = 0;
  for (std::size_t start = 0, end; (end = out.find('\n', start)) != std::string::npos;
       start = end + 1, ++rows) {
    EXPECT_EQ(cells(out.substr(start, end - start)).size(), alloy_fields().size()) << rows;
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

// What a cell never holds: a number a reader cannot take, a signed zero, a text a spreadsheet
// would run as a formula.
TEST(Csv, CellsAreSafeWhateverTheValue) {
  struct Case {
    FieldValue value;
    std::string_view csv, json;
  };
  for (const Case& c : {
           Case{std::numeric_limits<float>::infinity(), "", "null"},
           Case{std::numeric_limits<double>::quiet_NaN(), "", "null"},
           Case{-std::numeric_limits<double>::infinity(), "", "null"},
           Case{-0.0F, "0", "0"},
           Case{-0.0, "0", "0"},
           Case{std::string("=HYPERLINK(\"x\")"), "\"'=HYPERLINK(\"\"x\"\")\"",
                "\"=HYPERLINK(\\\"x\\\")\""},
           Case{std::string("+1"), "'+1", "\"+1\""},
           Case{std::string("-1"), "'-1", "\"-1\""},
           Case{std::string("@SUM(A1)"), "'@SUM(A1)", "\"@SUM(A1)\""},
           Case{std::string("a=b"), "a=b", "\"a=b\""},
       }) {
    std::string csv;
    std::string json;
    append_csv_value(csv, c.value);
    append_json_value(json, c.value);
    EXPECT_EQ(csv, c.csv);
    EXPECT_EQ(json, c.json);
  }
}

TEST(Csv, TernaryOutOfRangeAndOverfullPackingAreWarned) {
  std::string out;
  append_csv_rows(out, *compute_binary(el("Zr"), el("Cu"), 4));
  const std::string warnings = column(cells(out), "warnings");
  EXPECT_EQ(warnings.rfind("packing efficiency 1138.11 % is above 100 %", 0), 0U) << warnings;
}

// For generated alloys of every kind: every field's CSV cell and JSON value say the same, and
// equal the value the table reads from the result (numbers in the CSV's shortest digits).
TEST(Fields, CsvAndJsonAgreeWithTheResultForGeneratedAlloys) {
  std::mt19937 random(17);
  std::uniform_int_distribution<std::size_t> pick(0, kElementCount - 1);
  std::uniform_int_distribution<int> shift(-2, 2);
  const std::vector<const Field*> fields = alloy_fields();
  const std::vector<Column> columns = positional_columns(fields);
  for (int n = 0; n < 300; ++n) {
    const std::size_t count = 2 + static_cast<std::size_t>(n % 3);
    std::vector<const Element*> elements;
    std::vector<ClusterMeasure> measures;
    std::vector<int> chosen;
    for (std::size_t i = 0; i < count; ++i)
      elements.push_back(&kElements[pick(random)]);
    for (std::size_t i = 1; i < count; ++i) {
      measures.push_back(measure_cluster(*elements[i], *elements[0]));
      chosen.push_back(std::max(1, nearest_integer(measures.back().coordination) + shift(random)));
    }
    const AlloyResult alloy = *compute_alloy(elements, measures, chosen);
    for (const Composition& c : alloy.compositions()) {
      const Row row = Row::of(alloy, c, 10.0);
      std::string csv;
      append_csv_row(csv, columns, row);
      std::string json;
      append_json_object(json, columns, row, false);
      const std::vector<std::string> cell = cells(csv);
      const nlohmann::json object = nlohmann::json::parse(json);
      ASSERT_EQ(cell.size(), fields.size());
      ASSERT_EQ(object.size(), fields.size());
      for (std::size_t i = 0; i < fields.size(); ++i) {
        const Field& f = *fields[i];
        const nlohmann::json& j = object.at(std::string(f.name));
        const FieldValue value = f.value(row);
        if (std::holds_alternative<std::monostate>(value)) {
          EXPECT_TRUE(cell[i].empty() && j.is_null()) << f.name;
        } else if (const std::optional<std::string_view> text = text_value(value)) {
          EXPECT_EQ(cell[i], *text) << f.name;
          EXPECT_EQ(j, *text) << f.name;
        } else if (const bool* flag = std::get_if<bool>(&value)) {
          EXPECT_EQ(cell[i], *flag ? "true" : "false") << f.name;
          EXPECT_EQ(j, *flag) << f.name;
        } else {
          const double number = *numeric_value(value);
          EXPECT_EQ(std::strtod(cell[i].c_str(), nullptr), j.get<double>()) << f.name;
          if (std::holds_alternative<float>(value)) {
            EXPECT_EQ(std::strtof(cell[i].c_str(), nullptr), static_cast<float>(number)) << f.name;
          } else {
            EXPECT_EQ(std::strtod(cell[i].c_str(), nullptr), number) << f.name;
          }
        }
      }
    }
  }
}

// The fragility's constants, 0.67 and 12 as given: B-Ni is one of the alloys whose shortest
// digits change when 0.67 is taken as a float.
TEST(Fields, FragilityDigits) {
  const Element& b = el("B");
  const Element& ni = el("Ni");
  const AlloyResult alloy =
      *compute_binary(b, ni, nearest_integer(measure_cluster(ni, b).coordination));
  std::string csv;
  append_csv_rows(csv, alloy);
  EXPECT_EQ(column(cells(csv), "m_fragility"), "32.97047");
}

TEST(Json, ShapeIsOneFlatObjectPerRowWithMissingValuesNull) {
  StringSink sink;
  AlloyWriter writer(sink, Format::kJsonl);
  writer.add(*compute_binary(el("Zr"), el("Mn"), 11));
  writer.add(*compute_binary(el("Zr"), el("Cu"), 10));
  writer.finish();
  const std::string text = sink.text;
  const nlohmann::json j = nlohmann::json::parse(text.substr(0, text.find('\n')));
  EXPECT_EQ(j["kind"], "binary");
  EXPECT_TRUE(j["G_GPa"].is_null());
  EXPECT_TRUE(j["C44/C11"].is_null());
  EXPECT_EQ(j["warnings"], "no shear modulus data for Mn");
  EXPECT_NE(text.find("\"x_solvent_at%\":81.9303,"), std::string::npos) << text;
  EXPECT_NE(text.find("\"R1_used\":0.799,"), std::string::npos) << text;
}

// The score reads the fields tagged as its inputs, in its own order; the compact views have one
// column per place.
TEST(Fields, TagsAgreeWithTheScoreAndTheViews) {
  std::vector<std::string_view> inputs;
  for (const Field* f : tagged_fields(kScoreInput))
    inputs.push_back(f->name);
  std::vector<std::string_view> trained(kScoreFeatureNames.begin(), kScoreFeatureNames.end());
  std::ranges::sort(inputs);
  std::ranges::sort(trained);
  EXPECT_EQ(inputs, trained);
  for (const std::uint32_t view : {kTextView, kPageView}) {
    const std::vector<const Field*> columns = view_fields(view);
    for (std::size_t i = 0; i < columns.size(); ++i) {
      EXPECT_GT(columns[i]->place, i == 0 ? 0 : columns[i - 1]->place) << columns[i]->name;
      EXPECT_NE(columns[i]->kind, FieldKind::kText) << columns[i]->name;
    }
  }
}

// A positive mixing enthalpy with a small size difference warns of a solid solution; an
// enthalpy of exactly 0 does not.
TEST(Warnings, SolidSolutionWhereTheCriteriaExpectOne) {
  constexpr std::string_view kText = "a crystalline solid solution is expected";
  for (const auto& [formula, warned] : {std::pair{"Cu70Zn30", true}, std::pair{"Fe70Mn30", false},
                                        std::pair{"Cu46Zr46Al8", false}}) {
    const std::vector<std::string> w =
        criteria_warnings(glass_criteria(parse_formula(formula).parts));
    EXPECT_EQ(std::ranges::any_of(w, [&](const std::string& t) { return t.ends_with(kText); }),
              warned)
        << formula;
  }
}

// docs/output.md lists the fields and the other tables' columns as `glassform fields --all`
// prints them.
TEST(Fields, OutputDocumentationIsCurrent) {
  std::ifstream file(GLASSFORM_OUTPUT_DOC);
  std::stringstream text;
  text << file.rdbuf();
  const std::string doc = text.str();
  for (const auto& [marker, generated] :
       {std::pair{"fields", fields_markdown()}, std::pair{"tables", other_tables_markdown()}}) {
    const std::size_t begin = doc.find('\n', doc.find(fmt::format("<!-- {}:begin", marker))) + 1;
    const std::size_t end = doc.find(fmt::format("<!-- {}:end -->", marker));
    ASSERT_LT(begin, end) << marker;
    EXPECT_EQ(doc.substr(begin, end - begin), generated)
        << "docs/output.md is stale: put the output of `glassform fields --all` between its "
        << marker << " markers";
  }
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
        EXPECT_NE(two.text.find("71 of them\n\nFor a <10> glass:"), std::string::npos);
        EXPECT_TRUE(two.text.ends_with(
            "C44/C11 = 0.2633\n"
            "Poisson's ratio nu = 0.340, B/G = 2.80: ductile (Pugh: B/G > 1.75)\n"
            "Estimates from the crystalline elements' moduli: they run high for glasses\n"
            "  (G by 17 to 73 % for the glasses of the validation page).\n"
            "Glass-forming criteria: delta = 8.09 %, dH_mix = -13.6 kJ/mol,\n"
            "  dS_mix = 3.93 J/(mol K), Tm = 1989 K, Omega = 0.57\n"
            "Pair mixing enthalpy: -23.0 kJ/mol (Cu-Zr)\n"
            "Electronegativity difference delta_chi = 0.219, valence electrons = 5.26\n"
            "Inoue's rules: three elements at 5 at.% or more: no,\n"
            "  radii of the main three differ by more than 12 %: no,\n"
            "  negative dH_mix among the main three: no\n"
            "Glass-formation score p_glass = 0.586 (trained on melt-spun ribbons)\n"
            "Critical casting thickness estimate Dmax = 0.99 mm (80 %: 0.39-2.2 mm), from 564 "
            "bulk glasses; base element Zr: 71 of them\n"));
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

// The conditions of --where: each operator, flags, texts, absent values, and what is refused.
TEST(RowFilter, ConditionsOnTheFieldsOfARow) {
  const AlloyResult cu_zr_al = *compute_ternary(el("Cu"), el("Zr"), el("Al"), 17, 15);
  const AlloyResult zr_mn = *compute_binary(el("Zr"), el("Mn"), 11);  // no G
  const Row ternary = Row::of(cu_zr_al, cu_zr_al.compositions()[0]);  // dH_mix -7.91
  const Row no_shear = Row::of(zr_mn, zr_mn.compositions()[0]);       // dH_mix -8.44
  const std::array<const Element*, 4> candidates{&el("Cu"), &el("Zr"), &el("Al"), &el("Mn")};
  const std::vector<Column> columns = screen_columns(candidates);
  struct Case {
    const char* text;
    std::optional<bool> ternary;  // nothing: refused
    bool no_shear;
  };
  for (const Case& c : {
           Case{"dH_mix_kJ/mol > -8", true, false},
           Case{"dH_mix_kJ/mol<=-8", false, true},
           Case{"dH_mix_kJ/mol<-10", false, false},
           Case{"delta_pct >= 0", true, true},
           Case{"Z1 = 17", true, false},
           Case{"Z1 != 17", false, true},
           Case{"inoue_negative_dH = true", true, false},
           Case{"inoue_3_elements=0", false, true},
           Case{"solute1 = Zr", true, false},
           Case{"G_GPa > 0", true, false},  // absent: fails
           Case{"solute1 < Zr", std::nullopt, false},
           Case{"dH_mix < -10", std::nullopt, false},
           Case{"delta_pct > 0x10", std::nullopt, false},
           Case{"delta_pct > nan", std::nullopt, false},
           Case{"delta_pct", std::nullopt, false},
           Case{"delta_pct =", std::nullopt, false},
           Case{"x_Al_at% > 0", true, false},  // a wide share column: 0 where Al is absent
           Case{"x_Mn_at%>=10", false, true},
           Case{"x_Fe_at% > 0", std::nullopt, false},  // no candidate
           Case{"line > 0", std::nullopt, false},      // never in a screen's rows
           Case{"G_measured_GPa > 0", std::nullopt, false},
       }) {
    const auto parsed = parse_condition(c.text, columns);
    ASSERT_EQ(std::holds_alternative<RowCondition>(parsed), c.ternary.has_value()) << c.text;
    if (!c.ternary) continue;
    EXPECT_EQ(meets(std::get<RowCondition>(parsed), ternary), *c.ternary) << c.text;
    EXPECT_EQ(meets(std::get<RowCondition>(parsed), no_shear), c.no_shear) << c.text;
  }
  // A value copied from the CSV selects its row, as the same filter in pandas does.
  for (const Column& column : columns) {
    if (column.field == nullptr || column.field->kind != FieldKind::kNumber) continue;
    std::string cell;
    append_csv_value(cell, column.value(ternary));
    if (cell.empty()) continue;
    const auto parsed = parse_condition(std::string(column.name) + "=" + cell, columns);
    ASSERT_TRUE(std::holds_alternative<RowCondition>(parsed)) << column.name;
    EXPECT_TRUE(meets(std::get<RowCondition>(parsed), ternary)) << column.name << "=" << cell;
  }
  // A near miss is named.
  const auto miss = parse_condition("p_glas > 0.5", columns);
  ASSERT_TRUE(std::holds_alternative<std::string>(miss));
  EXPECT_NE(std::get<std::string>(miss).find("did you mean p_glass?"), std::string::npos);
}

}  // namespace
}  // namespace glassform
