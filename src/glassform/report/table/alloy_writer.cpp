#include "glassform/report/table/alloy_writer.hpp"

#include "glassform/report/text/text_report.hpp"
#include "glassform/report/text/weighing_report.hpp"

namespace glassform {

AlloyWriter::AlloyWriter(OutputSink& sink, Format format, std::optional<double> grams,
                         std::vector<Column> columns)
    : format_(format), grams_(grams), table_(sink, format, std::move(columns)), text_(sink) {}

void AlloyWriter::add(const AlloyResult& alloy, const std::optional<Origin>& origin) {
  if (format_ != Format::kText) {
    for (const Composition& c : alloy.compositions()) {
      Row row = Row::of(alloy, c, grams_);
      row.measured = find_measured(measured_, alloy, c);
      if (origin) {
        row.line = origin->line;
        row.label = origin->label;
      }
      table_.add(row);
    }
    return;
  }
  std::string& out = text_.start();
  append_text_report(out, alloy, [&](std::string& notes, const Composition& c) {
    append_elastic_notes(notes, c.elastic);
    if (const MeasuredGlass* m = find_measured(measured_, alloy, c)) {
      append_measured_text(notes, *m, c.elastic);
    }
    append_criteria_text(notes, glass_criteria(alloy, c));
  });
  if (out.back() != '\n') out.push_back('\n');
  if (grams_) {
    for (const Composition& c : alloy.compositions())
      append_weighing_text(out, alloy, c, *grams_);
  }
  text_.end();
}

void AlloyWriter::finish() {
  if (format_ != Format::kText) {
    table_.finish();
    return;
  }
  text_.finish();
}

}  // namespace glassform
