#include "glassform/report/text/elastic_report.hpp"

#include "glassform/report/table/fields.hpp"
#include "glassform/report/table/table_writer.hpp"
#include "glassform/report/text/text_report.hpp"

namespace glassform {

void write_formula_elastic(OutputSink& sink, Format format, std::span<const FormulaPart> parts,
                           const ElasticResult& result) {
  Row row;
  row.parts = parts;
  row.elastic = &result;
  if (format != Format::kText) {
    TableWriter table(sink, format, positional_columns(formula_fields()));
    table.add(row);
    table.finish();
    return;
  }
  std::string out = "Elastic properties estimated from the constituents of " +
                    std::string(*text_value(find_field("formula")->value(row))) + ":\n";
  append_elastic_text(out, ElasticStyle::kComposition, result);
  sink.write(out);
}

}  // namespace glassform
