// Writes the assessments of given compositions one after another in any output format: text
// blocks separated by a blank line, or one row per composition (the field table's columns).
// `glassform assess` writes all of it; `glassform elastic` the elastic estimate alone.
#pragma once

#include <optional>
#include <string>

#include "glassform/io/streams.hpp"
#include "glassform/model/assessment.hpp"
#include "glassform/report/table/alloy_writer.hpp"
#include "glassform/report/table/formats.hpp"
#include "glassform/report/table/table_writer.hpp"

namespace glassform {

enum class AssessmentScope : std::uint8_t { kAll, kElastic };

class AssessmentWriter {
 public:
  AssessmentWriter(OutputSink& sink, Format format, AssessmentScope scope,
                   std::vector<Column> columns);
  AssessmentWriter(const AssessmentWriter&) = delete;
  AssessmentWriter& operator=(const AssessmentWriter&) = delete;

  void add(const Assessment& assessment, const std::optional<Origin>& origin = std::nullopt);
  // Sets each composition beside the first measurement of the same composition.
  void set_measured(std::span<const MeasuredGlass> measured) { measured_ = measured; }
  // Writes what is still buffered and closes a JSON array.
  void finish();

 private:
  void append_measured(std::string& out, const Assessment& a) const;

  Format format_;
  AssessmentScope scope_;
  std::span<const MeasuredGlass> measured_;
  TableWriter table_;
  TextBlocks text_;
};

// The composition in at.% with two decimals, as the `formula` field: Cu46.00Zr46.00Al8.00.
std::string formula_text(std::span<const FormulaPart> parts);

// A short name for a plot: the amounts to one decimal, trailing zeros dropped: Cu46Zr46Al8.
std::string short_formula_text(std::span<const FormulaPart> parts);

}  // namespace glassform
