#include "report/json_report.hpp"

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "report/csv_report.hpp"
#include "report/number_format.hpp"
#include "report/warnings.hpp"
#include "report/weighing_report.hpp"

namespace glassform {

namespace {

using Json = nlohmann::ordered_json;

Json number_or_null(const std::optional<float>& value) {
  return value ? Json(json_number(*value)) : Json(nullptr);
}

Json modulus_or_null(float value) {
  return value == 0.0F ? Json(nullptr) : Json(json_number(value));
}

Json warnings_json(const std::vector<std::string>& list) {
  Json out = Json::array();
  for (const std::string& w : list)
    out.push_back(w);
  return out;
}

Json composition_json(const AlloyResult& alloy, const Composition& c, std::optional<double> grams) {
  const std::span<const Element* const> e = alloy.elements();
  Json j;
  if (c.gamma_sites) j["gamma_sites"] = *c.gamma_sites;
  Json percent = Json::array();
  for (std::size_t i = 0; i < e.size(); ++i) {
    percent.push_back({{"symbol", e[i]->symbol}, {"at_percent", json_number(c.percent[i])}});
  }
  j["atomic_percent"] = std::move(percent);
  const std::array<float, 4> weight = composition_weight_percent(alloy, c);
  Json weights = Json::array();
  for (std::size_t i = 0; i < e.size(); ++i)
    weights.push_back({{"symbol", e[i]->symbol}, {"wt_percent", json_number(weight[i])}});
  j["weight_percent"] = std::move(weights);
  if (grams) {
    const std::array<double, 4> mass = composition_masses(alloy, c, *grams);
    Json list = Json::array();
    for (std::size_t i = 0; i < e.size(); ++i)
      list.push_back({{"symbol", e[i]->symbol}, {"grams", mass[i]}});
    j["mass_g"] = std::move(list);
  } else {
    j["mass_g"] = nullptr;
  }
  std::string formula;
  append_formula(formula, alloy, c);
  j["formula"] = formula;
  j["solvent_atoms"] = json_number(c.solvent_atoms);
  j["total_atoms"] = json_number(c.total_atoms);
  j["cell_edges"] = {json_number(c.cell.edges[0]), json_number(c.cell.edges[1]),
                     json_number(c.cell.edges[2])};
  j["cell_volume"] = json_number(c.cell.volume);
  j["packing_percent"] = json_number(c.packing);
  j["E_GPa"] = number_or_null(c.elastic.e.value);
  j["G_GPa"] = number_or_null(c.elastic.g.value);
  j["B_GPa"] = number_or_null(c.elastic.b.value);
  const std::optional<ElasticConstants>& k = c.elastic.constants;
  j["C11_GPa"] = number_or_null(k ? std::optional(k->c11) : std::nullopt);
  j["C12_GPa"] = number_or_null(k ? std::optional(k->c12) : std::nullopt);
  j["C44_GPa"] = number_or_null(k ? std::optional(k->c44) : std::nullopt);
  j["m"] = number_or_null(k ? std::optional(k->fragility) : std::nullopt);
  j["C12_over_C11"] = number_or_null(k ? std::optional(k->c12_over_c11) : std::nullopt);
  j["C44_over_C11"] = number_or_null(k ? std::optional(k->c44_over_c11) : std::nullopt);
  j["warnings"] = warnings_json(composition_warnings(alloy, c));
  return j;
}

}  // namespace

double json_number(float value) {
  return std::strtod(format_shortest(value).c_str(), nullptr);
}

std::string alloy_json(const AlloyResult& alloy, int indent, std::optional<double> grams) {
  Json j;
  j["glassform_version"] = GLASSFORM_VERSION;
  j["kind"] = kind_name(alloy.kind);
  const std::span<const Element* const> e = alloy.elements();
  Json elements = Json::array();
  for (std::size_t i = 0; i < e.size(); ++i) {
    elements.push_back({{"symbol", e[i]->symbol},
                        {"role", role_name(alloy.kind, i)},
                        {"radius_nm", json_number(e[i]->radius)},
                        {"E_GPa", modulus_or_null(e[i]->e)},
                        {"G_GPa", modulus_or_null(e[i]->g)},
                        {"B_GPa", modulus_or_null(e[i]->b)}});
  }
  j["elements"] = std::move(elements);
  Json clusters = Json::array();
  const std::span<const Cluster> k = alloy.clusters();
  for (std::size_t i = 0; i < k.size(); ++i) {
    clusters.push_back({{"solute", e[i + 1]->symbol},
                        {"radius_ratio", json_number(k[i].measure.ratio)},
                        {"face_parameter", k[i].measure.face},
                        {"coordination_number", json_number(k[i].measure.coordination)},
                        {"chosen", k[i].chosen},
                        {"has_ideal_ratio", k[i].ideal_ratio.has_value()},
                        {"ideal_ratio", number_or_null(k[i].ideal_ratio)},
                        {"ratio_used", json_number(k[i].ratio_used)}});
  }
  j["clusters"] = std::move(clusters);
  j["mismatch"] = number_or_null(alloy.mismatch);
  Json compositions = Json::array();
  for (const Composition& c : alloy.compositions())
    compositions.push_back(composition_json(alloy, c, grams));
  j["compositions"] = std::move(compositions);
  j["warnings"] = warnings_json(alloy_warnings(alloy));
  return j.dump(indent);
}

void JsonStream::add_alloy(const AlloyResult& alloy, std::optional<double> grams) {
  add_object(alloy_json(alloy, lines_ ? -1 : 2, grams));
}

void JsonStream::add_object(std::string_view text) {
  buffer_.clear();
  if (!lines_) buffer_.append(first_ ? "[\n" : ",\n");
  buffer_.append(text);
  if (lines_) buffer_.push_back('\n');
  first_ = false;
  sink_.write(buffer_);
}

void JsonStream::finish() {
  if (lines_) return;
  sink_.write(first_ ? "[]\n" : "\n]\n");
}

}  // namespace glassform
