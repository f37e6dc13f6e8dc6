#include "glassform/report/table/assessment_report.hpp"

#include <algorithm>

#include "glassform/io/format.hpp"
#include "glassform/io/text.hpp"
#include "glassform/report/table/csv_report.hpp"
#include "glassform/report/text/text_report.hpp"
#include "glassform/report/text/weighing_report.hpp"

namespace glassform {

namespace {

void append_model_text(std::string& out, const Assessment& a) {
  if (!a.model) {
    out.append(a.parts.size() < 2 || a.parts.size() > 4
                   ? "Nearest model composition: none (the cluster model takes 2 to 4 elements)\n"
                   : "Nearest model composition: none (no cluster fits these elements)\n");
    return;
  }
  const AlloyResult& alloy = a.model->alloy;
  const Composition& c = alloy.compositions()[a.model->composition];
  std::string formula;
  append_formula(formula, alloy, c);
  out.append("Nearest model composition: " + formula);
  if (c.gamma_sites) append_format(out, " ({} gamma sites)", gamma_sites_name(*c.gamma_sites));
  append_format(out, "\n  distance {:.2f} at.%: the largest difference of an element's share\n",
                static_cast<double>(a.model->distance));
}

}  // namespace

std::string formula_text(std::span<const FormulaPart> parts) {
  std::string text;
  append_formula(text, parts);
  return text;
}

std::string short_formula_text(std::span<const FormulaPart> parts) {
  std::string text;
  for (const FormulaPart& p : parts) {
    std::string amount;
    append_format(amount, "{:.1f}", p.amount);
    if (amount.ends_with(".0")) amount.resize(amount.size() - 2);
    text.append(p.element->symbol);
    text.append(amount);
  }
  return text;
}

AssessmentWriter::AssessmentWriter(OutputSink& sink, Format format, AssessmentScope scope,
                                   std::vector<Column> columns)
    : format_(format), scope_(scope), table_(sink, format, std::move(columns)), text_(sink) {}

void AssessmentWriter::add(const Assessment& a, const std::optional<Origin>& origin) {
  if (format_ != Format::kText) {
    Row row = Row::of(a);
    row.measured = find_measured(measured_, a.parts);
    if (origin) {
      row.line = origin->line;
      row.label = origin->label;
    }
    table_.add(row);
    return;
  }
  std::string& out = text_.start();
  if (scope_ == AssessmentScope::kElastic) {
    out.append("Elastic properties estimated from the constituents of " + formula_text(a.parts) +
               ":\n");
    append_elastic_text(out, ElasticStyle::kComposition, a.elastic);
    append_elastic_notes(out, a.elastic);
    append_measured(out, a);
  } else {
    out.append("Assessment of " + formula_text(a.parts));
    if (origin && origin->label) {
      out.append(" (" + escaped_text(*origin->label, std::string::npos) + ")");
    }
    out.append(":\n");
    if (std::all_of(a.parts.begin(), a.parts.end(),
                    [](const FormulaPart& p) { return p.element->atomic_weight > 0; })) {
      append_weighing_table(out, weigh(a.parts, false, std::nullopt));
    } else {
      out.append("Weight percent: not available (an element without an atomic weight)\n");
    }
    append_criteria_text(out, a.criteria);
    append_model_text(out, a);
    out.append("Elastic properties estimated from the constituents:\n");
    append_elastic_text(out, ElasticStyle::kComposition, a.elastic);
    append_elastic_notes(out, a.elastic);
    append_measured(out, a);
  }
  text_.end();
}

void AssessmentWriter::append_measured(std::string& out, const Assessment& a) const {
  if (const MeasuredGlass* m = find_measured(measured_, a.parts)) {
    append_measured_text(out, *m, a.elastic);
  }
}

void AssessmentWriter::finish() {
  if (format_ != Format::kText) {
    table_.finish();
    return;
  }
  text_.finish();
}

}  // namespace glassform
