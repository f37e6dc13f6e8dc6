#include "glassform/report/text/weighing_report.hpp"
#include "glassform/io/format.hpp"

#include <nlohmann/json.hpp>

#include "glassform/report/table/csv_report.hpp"
#include "glassform/report/table/json_report.hpp"
#include "glassform/report/table/number_format.hpp"
#include "glassform/report/table/tables.hpp"
#include "glassform/report/text/text_report.hpp"

namespace glassform {

namespace {

std::string fixed(double value, int decimals) {
  std::string text;
  append_format(text, "{:.{}f}", value, decimals);
  return text;
}

std::string weighing_table(const std::vector<std::string>& symbols,
                           const std::vector<double>& atomic, const std::vector<double>& weight,
                           const std::vector<double>* grams, double total_grams) {
  std::vector<std::string> header{"element", "at.%", "wt.%"};
  if (grams != nullptr) header.emplace_back("grams");
  std::vector<std::vector<std::string>> rows;
  for (std::size_t i = 0; i < symbols.size(); ++i) {
    rows.push_back({symbols[i], fixed(atomic[i], 2), fixed(weight[i], 2)});
    if (grams != nullptr) rows.back().push_back(fixed((*grams)[i], 4));
  }
  rows.push_back({"total", "100.00", "100.00"});
  if (grams != nullptr) rows.back().push_back(fixed(total_grams, 4));
  return aligned_table(header, rows);
}

}  // namespace

void append_weighing_text(std::string& out, const AlloyResult& alloy,
                          const Composition& composition, double grams) {
  const std::span<const Element* const> e = alloy.elements();
  const std::array<double, 4> weight = composition_weight_percent_exact(alloy, composition);
  const std::array<double, 4> mass = composition_masses(alloy, composition, grams);
  std::vector<std::string> symbols;
  std::vector<double> atomic;
  std::vector<double> wt;
  std::vector<double> g;
  for (std::size_t i = 0; i < e.size(); ++i) {
    symbols.emplace_back(e[i]->symbol);
    atomic.push_back(static_cast<double>(composition.percent[i]));
    wt.push_back(weight[i]);
    g.push_back(mass[i]);
  }
  out.append("\nWeighing for an ingot of ");
  append_shortest_double(out, grams);
  out.append(" g");
  if (composition.gamma_sites) {
    out.append(" (");
    out.append(gamma_sites_name(*composition.gamma_sites));
    out.append(" gamma sites)");
  }
  out.append(":\n");
  out.append(weighing_table(symbols, atomic, wt, &g, grams));
}

void append_weighing_table(std::string& out, const Weighing& w) {
  std::vector<std::string> symbols;
  for (const Element* e : w.elements)
    symbols.emplace_back(e->symbol);
  out.append(weighing_table(symbols, w.atomic, w.weight, w.grams ? &*w.grams : nullptr,
                            w.total_grams.value_or(0)));
}

void write_weighing(OutputSink& sink, Format format, const Weighing& w) {
  std::string out;
  switch (format) {
    case Format::kText:
      append_weighing_table(out, w);
      break;
    case Format::kCsv:
      for (const TableColumn& c : weigh_columns())
        out.append(out.empty() ? "" : ",").append(c.name);
      out.push_back('\n');
      for (std::size_t i = 0; i < w.elements.size(); ++i) {
        out.append(w.elements[i]->symbol);
        out.push_back(',');
        append_shortest_double(out, w.atomic[i]);
        out.push_back(',');
        append_shortest_double(out, w.weight[i]);
        out.push_back(',');
        if (w.grams) append_shortest_double(out, (*w.grams)[i]);
        out.push_back('\n');
      }
      break;
    case Format::kJson:
    case Format::kJsonl: {
      nlohmann::ordered_json j;
      nlohmann::ordered_json list = nlohmann::ordered_json::array();
      for (std::size_t i = 0; i < w.elements.size(); ++i) {
        nlohmann::ordered_json e;
        e["symbol"] = w.elements[i]->symbol;
        e["at_percent"] = w.atomic[i];
        e["wt_percent"] = w.weight[i];
        e["grams"] = w.grams ? nlohmann::ordered_json((*w.grams)[i]) : nlohmann::ordered_json();
        list.push_back(std::move(e));
      }
      j["elements"] = std::move(list);
      j["total_grams"] =
          w.total_grams ? nlohmann::ordered_json(*w.total_grams) : nlohmann::ordered_json();
      out = j.dump(format == Format::kJson ? 2 : -1);
      out.push_back('\n');
      break;
    }
  }
  sink.write(out);
}

}  // namespace glassform
