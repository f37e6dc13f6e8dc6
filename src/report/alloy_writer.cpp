#include "report/alloy_writer.hpp"

#include "report/text_report.hpp"
#include "report/weighing_report.hpp"

namespace glassform {

namespace {
constexpr std::size_t kFlushSize = 1 << 16;
}  // namespace

AlloyWriter::AlloyWriter(OutputSink& sink, Format format, std::optional<double> grams,
                         std::vector<Column> columns)
    : sink_(sink), format_(format), grams_(grams), table_(sink, format, std::move(columns)) {}

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
  if (!first_) buffer_.push_back('\n');
  append_text_report(buffer_, alloy, [&](std::string& out, const Composition& c) {
    append_elastic_notes(out, c.elastic);
    if (const MeasuredGlass* m = find_measured(measured_, alloy, c)) {
      append_measured_text(out, *m, c.elastic);
    }
    append_criteria_text(out, glass_criteria(alloy, c));
  });
  if (buffer_.back() != '\n') buffer_.push_back('\n');
  if (grams_) {
    for (const Composition& c : alloy.compositions())
      append_weighing_text(buffer_, alloy, c, *grams_);
  }
  first_ = false;
  if (buffer_.size() >= kFlushSize) {
    write_or_stop(sink_, buffer_);
    buffer_.clear();
  }
}

void AlloyWriter::finish() {
  if (format_ != Format::kText) {
    table_.finish();
    return;
  }
  if (!buffer_.empty()) write_or_stop(sink_, buffer_);
  buffer_.clear();
}

}  // namespace glassform
