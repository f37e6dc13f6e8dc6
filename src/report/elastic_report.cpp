#include "report/elastic_report.hpp"
#include "io/format.hpp"

#include <nlohmann/json.hpp>

#include "report/csv_report.hpp"
#include "report/json_report.hpp"
#include "report/number_format.hpp"
#include "report/text_report.hpp"

namespace glassform {

namespace {

std::string formula_text(std::span<const FormulaPart> parts) {
  std::string text;
  for (const FormulaPart& p : parts) {
    text.append(p.element->symbol);
    append_format(text, "{:.2f}", p.amount);
  }
  return text;
}

std::vector<std::string> notes(const ElasticResult& r) {
  std::vector<std::string> out;
  for (const auto& [modulus, name] :
       {std::pair{&r.e, "Young's modulus"}, std::pair{&r.g, "shear modulus"},
        std::pair{&r.b, "bulk modulus"}}) {
    if (!modulus->value)
      out.push_back("no " + std::string(name) + " data for " + std::string(modulus->missing));
  }
  return out;
}

}  // namespace

void write_formula_elastic(OutputSink& sink, Format format, std::span<const FormulaPart> parts,
                           const ElasticResult& result) {
  const std::string formula = formula_text(parts);
  std::string out;
  const std::optional<ElasticConstants>& k = result.constants;
  const std::array<std::optional<float>, 9> values{
      result.e.value,
      result.g.value,
      result.b.value,
      k ? std::optional(k->c11) : std::nullopt,
      k ? std::optional(k->c12) : std::nullopt,
      k ? std::optional(k->c44) : std::nullopt,
      k ? std::optional(k->fragility) : std::nullopt,
      k ? std::optional(k->c12_over_c11) : std::nullopt,
      k ? std::optional(k->c44_over_c11) : std::nullopt};
  switch (format) {
    case Format::kText:
      out = "Elastic properties estimated from the constituents of " + formula + ":\n";
      append_elastic_text(out, ElasticStyle::kComposition, result);
      break;
    case Format::kCsv: {
      out = "formula,E_GPa,G_GPa,B_GPa,C11_GPa,C12_GPa,C44_GPa,m,C12/C11,C44/C11,warnings\n";
      out.append(formula);
      for (const std::optional<float>& v : values) {
        out.push_back(',');
        if (v) append_shortest(out, *v);
      }
      out.push_back(',');
      std::string joined;
      for (const std::string& n : notes(result))
        joined.append(joined.empty() ? n : "; " + n);
      append_csv_cell(out, joined);
      out.push_back('\n');
      break;
    }
    case Format::kJson:
    case Format::kJsonl: {
      nlohmann::ordered_json j;
      j["glassform_version"] = GLASSFORM_VERSION;
      j["formula"] = formula;
      nlohmann::ordered_json percent = nlohmann::ordered_json::array();
      for (const FormulaPart& p : parts)
        percent.push_back({{"symbol", p.element->symbol}, {"at_percent", p.amount}});
      j["atomic_percent"] = std::move(percent);
      constexpr std::array<const char*, 9> kKeys{"E_GPa",   "G_GPa",        "B_GPa",
                                                 "C11_GPa", "C12_GPa",      "C44_GPa",
                                                 "m",       "C12_over_C11", "C44_over_C11"};
      for (std::size_t i = 0; i < kKeys.size(); ++i) {
        j[kKeys[i]] =
            values[i] ? nlohmann::ordered_json(json_number(*values[i])) : nlohmann::ordered_json();
      }
      j["warnings"] = notes(result);
      out = j.dump(format == Format::kJson ? 2 : -1);
      out.push_back('\n');
      break;
    }
  }
  sink.write(out);
}

}  // namespace glassform
