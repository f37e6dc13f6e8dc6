#include "report/assessment_report.hpp"

#include "io/format.hpp"
#include "report/csv_report.hpp"
#include "report/text_report.hpp"
#include "report/weighing_report.hpp"

namespace glassform {

namespace {

constexpr std::size_t kFlushSize = 1 << 16;

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
    : sink_(sink), format_(format), scope_(scope), table_(sink, format, std::move(columns)) {}

void AssessmentWriter::add(const Assessment& a, const std::optional<Origin>& origin) {
  if (format_ != Format::kText) {
    Row row;
    row.parts = a.parts;
    row.elastic = &a.elastic;
    row.given_criteria = &a.criteria;
    row.model = a.model ? &*a.model : nullptr;
    row.measured = find_measured(measured_, a.parts);
    if (origin) {
      row.line = origin->line;
      row.label = origin->label;
    }
    table_.add(row);
    return;
  }
  if (!first_) buffer_.push_back('\n');
  first_ = false;
  if (scope_ == AssessmentScope::kElastic) {
    buffer_.append("Elastic properties estimated from the constituents of " +
                   formula_text(a.parts) + ":\n");
    append_elastic_text(buffer_, ElasticStyle::kComposition, a.elastic);
    append_elastic_notes(buffer_, a.elastic);
    append_measured(a);
  } else {
    buffer_.append("Assessment of " + formula_text(a.parts));
    if (origin && origin->label) buffer_.append(" (" + std::string(*origin->label) + ")");
    buffer_.append(":\n");
    append_weighing_table(buffer_, weigh(a.parts, false, std::nullopt));
    append_criteria_text(buffer_, a.criteria);
    append_model_text(buffer_, a);
    buffer_.append("Elastic properties estimated from the constituents:\n");
    append_elastic_text(buffer_, ElasticStyle::kComposition, a.elastic);
    append_elastic_notes(buffer_, a.elastic);
    append_measured(a);
  }
  if (buffer_.size() >= kFlushSize) {
    write_or_stop(sink_, buffer_);
    buffer_.clear();
  }
}

void AssessmentWriter::append_measured(const Assessment& a) {
  if (const MeasuredGlass* m = find_measured(measured_, a.parts)) {
    append_measured_text(buffer_, *m, a.elastic);
  }
}

void AssessmentWriter::finish() {
  if (format_ != Format::kText) {
    table_.finish();
    return;
  }
  if (!buffer_.empty()) write_or_stop(sink_, buffer_);
  buffer_.clear();
}

}  // namespace glassform
