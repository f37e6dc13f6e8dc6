#include "report/alloy_writer.hpp"

#include "report/csv_report.hpp"
#include "report/text_report.hpp"
#include "report/weighing_report.hpp"

namespace glassform {

namespace {
constexpr std::size_t kFlushSize = 1 << 16;
}  // namespace

AlloyWriter::AlloyWriter(OutputSink& sink, Format format, std::optional<double> grams)
    : sink_(sink), format_(format), grams_(grams), json_(sink, format == Format::kJsonl) {
  if (format_ == Format::kCsv) append_csv_header(buffer_);
}

void AlloyWriter::add(const AlloyResult& alloy) {
  switch (format_) {
    case Format::kText:
      if (!first_) buffer_.push_back('\n');
      append_text_report(buffer_, alloy);
      if (buffer_.back() != '\n') buffer_.push_back('\n');
      if (grams_) {
        for (const Composition& c : alloy.compositions())
          append_weighing_text(buffer_, alloy, c, *grams_);
      }
      break;
    case Format::kCsv:
      append_csv_rows(buffer_, alloy, grams_);
      break;
    case Format::kJson:
    case Format::kJsonl:
      json_.add_alloy(alloy, grams_);
      break;
  }
  first_ = false;
  flush_if_full();
}

void AlloyWriter::flush_if_full() {
  if (buffer_.size() < kFlushSize) return;
  sink_.write(buffer_);
  buffer_.clear();
}

void AlloyWriter::finish() {
  if (!buffer_.empty()) sink_.write(buffer_);
  buffer_.clear();
  if (format_ == Format::kJson || format_ == Format::kJsonl) json_.finish();
}

}  // namespace glassform
