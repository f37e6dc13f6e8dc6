#include "glassform/report/composition_map.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "glassform/io/format.hpp"
#include "glassform/io/formula.hpp"
#include "glassform/io/text.hpp"
#include "glassform/model/glass_score.hpp"
#include "glassform/model/score_domain.hpp"
#include "glassform/report/assessment_report.hpp"
#include "glassform/report/version.hpp"

namespace glassform {

namespace {

const ElementData& data_of(const MapRequest& request) {
  return request.data != nullptr ? *request.data : ElementData::builtin();
}

// The formula of a grid point, A, B and C in that order, each amount as the grid gives it.
std::string grid_formula(const MapRequest& request, std::array<int, 3> units, int n) {
  std::string text;
  for (std::size_t i = 0; i < 3; ++i) {
    if (units[i] == 0) continue;
    text.append(request.elements[i]->symbol);
    append_format(text, "{}", 100.0 * units[i] / n);
  }
  return text;
}

std::string known_title(const MapRequest& request, const LabelledComposition& k) {
  std::string text;
  for (std::size_t i = 0; i < 3; ++i) {
    if (k.percent[i] == 0) continue;
    text.append(request.elements[i]->symbol);
    append_format(text, "{}", k.percent[i]);
  }
  switch (k.kind) {
    case LabelledComposition::Kind::kGlass:
      return text + ": glass (melt-spun, Ward et al. 2016)";
    case LabelledComposition::Kind::kCrystalline:
      return text + ": not a glass (melt-spun, Ward et al. 2016)";
    case LabelledComposition::Kind::kBulkGlass:
      return text + fmt::format(": bulk glass, Dmax {} mm (Ward et al. 2018)", k.dmax_mm);
  }
  return text;
}

// Lines of at most `width` characters, broken at blanks.
std::vector<std::string> wrapped(const std::string& text, std::size_t width) {
  std::vector<std::string> out;
  std::string line;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t next = text.find(' ', at);
    if (next == std::string::npos) next = text.size();
    const std::string word = text.substr(at, next - at);
    if (!line.empty() && line.size() + 1 + word.size() > width) {
      out.push_back(line);
      line.clear();
    }
    line.append(line.empty() ? "" : " ").append(word);
    at = next + 1;
  }
  if (!line.empty()) out.push_back(line);
  return out;
}

// The label of a known composition, or nothing for a text that is none.
std::optional<KnownMarker::Kind> label_kind(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (text == "glass" || text == "am" || text == "bmg" || text == "ribbon") {
    return KnownMarker::Kind::kGlass;
  }
  if (text == "crystalline" || text == "ac" || text == "cr") return KnownMarker::Kind::kCrystalline;
  return std::nullopt;
}

// A CSV line's cells, each without its blanks and enclosing quotes.
std::vector<std::string> csv_cells(std::string_view line) {
  std::vector<std::string> out;
  std::size_t at = 0;
  for (;;) {
    const std::size_t comma = line.find(',', at);
    std::string cell(line.substr(at, comma == std::string_view::npos ? line.npos : comma - at));
    while (!cell.empty() && (cell.back() == ' ' || cell.back() == '\r'))
      cell.pop_back();
    while (!cell.empty() && cell.front() == ' ')
      cell.erase(cell.begin());
    if (cell.size() >= 2 && cell.front() == '"' && cell.back() == '"') {
      cell = cell.substr(1, cell.size() - 2);
    }
    out.push_back(std::move(cell));
    if (comma == std::string_view::npos) return out;
    at = comma + 1;
  }
}

// The user's known compositions that lie on the map (every element one of its three), or the
// fault of the file as "NAME:LINE: message".
std::variant<std::vector<KnownMarker>, std::string> read_known(const MapRequest& request) {
  std::string_view text = *request.known_file;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<KnownMarker> out;
  int formula = -1;
  int label = -1;
  std::size_t number = 0;
  bool header = true;
  const std::string name = escaped_text(request.known_name, 200);
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++number;
    if (line.find_first_not_of(" \t\r") == std::string_view::npos || line.front() == '#') {
      continue;
    }
    const std::vector<std::string> cells = csv_cells(line);
    if (header) {
      for (std::size_t i = 0; i < cells.size(); ++i) {
        if (cells[i] == "formula") formula = static_cast<int>(i);
        if (cells[i] == "label") label = static_cast<int>(i);
      }
      if (formula < 0) return fmt::format("{}:{}: the header has no formula column", name, number);
      header = false;
      continue;
    }
    const auto cell = [&cells](int i) {
      return i >= 0 && static_cast<std::size_t>(i) < cells.size()
                 ? cells[static_cast<std::size_t>(i)]
                 : std::string();
    };
    KnownMarker marker;
    if (label >= 0) {
      const std::optional<KnownMarker::Kind> kind = label_kind(cell(label));
      if (!kind) {
        return fmt::format("{}:{}: label {} is none of glass, crystalline, AM, AC, CR, BMG, Ribbon",
                           name, number, quoted_text(cell(label)));
      }
      marker.kind = *kind;
    }
    const ParsedFormula parsed = parse_composition(cell(formula), data_of(request));
    if (parsed.error) {
      return fmt::format("{}:{}: formula {}, position {}: {}", name, number,
                         quoted_text(cell(formula)), parsed.error->position + 1,
                         escaped_text(parsed.error->message, std::string::npos));
    }
    bool on_map = true;
    for (const FormulaPart& p : parsed.parts) {
      const auto* at = std::find(request.elements.begin(), request.elements.end(), p.element);
      if (at == request.elements.end()) {
        on_map = false;
      } else {
        marker.percent[static_cast<std::size_t>(at - request.elements.begin())] += p.amount;
      }
    }
    if (!on_map) continue;
    marker.title = cell(formula) + (label >= 0 ? ": " + cell(label) : std::string()) + " (" +
                   request.known_name + ":" + std::to_string(number) + ")";
    out.push_back(std::move(marker));
  }
  return out;
}

}  // namespace

std::variant<MapPlan, std::string> plan_map(const MapRequest& request) {
  for (std::size_t i = 0; i < 3; ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (request.elements[i] == request.elements[j]) {
        return "a map takes three different elements, not " +
               std::string(request.elements[i]->symbol) + " twice";
      }
    }
  }
  const std::string& text = request.step;
  char* end = nullptr;
  const double step = std::strtod(text.c_str(), &end);
  const double units = 100 / step;
  if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(step) || !(step > 0) ||
      units > 1000 || std::abs(units - std::round(units)) > 1e-9 * units) {
    return "the step is an amount in at.% that divides 100 (10, 5, 2.5, 1, 0.5, 0.2, 0.1 ...), "
           "not " +
           quoted_text(text);
  }
  const Field* field = find_field(request.field);
  if (field == nullptr ||
      (field->kind != FieldKind::kNumber && field->kind != FieldKind::kInteger)) {
    return "the field is a numeric field of glassform fields, not " + quoted_text(request.field);
  }
  MapPlan plan{static_cast<int>(std::lround(units)), field, {}};
  if (request.known_file) {
    auto known = read_known(request);
    if (const std::string* why = std::get_if<std::string>(&known)) return *why;
    plan.user_known = std::get<std::vector<KnownMarker>>(std::move(known));
  }
  return plan;
}

std::size_t map_size(int units) {
  return static_cast<std::size_t>(units + 1) * static_cast<std::size_t>(units + 2) / 2;
}

std::vector<Column> map_columns(const MapRequest& request) {
  return shares_and_assess_columns(request.elements);
}

void each_map_composition(const MapRequest& request, const MapPlan& plan,
                          const std::function<void(const Assessment&)>& visit) {
  const int n = plan.units;
  for (int a = n; a >= 0; --a) {
    for (int b = n - a; b >= 0; --b) {
      const ParsedFormula parsed =
          parse_composition(grid_formula(request, {a, b, n - a - b}, n), data_of(request));
      visit(assess(parsed.parts, request.data));
    }
  }
}

MapDrawing::MapDrawing(const MapRequest& request, const MapPlan& plan)
    : request_(request), plan_(plan) {
  const Field& field = *plan.field;
  for (std::size_t i = 0; i < 3; ++i)
    map_.corners[i] = std::string(request.elements[i]->symbol);
  map_.units = plan.units;
  map_.field = std::string(field.name);
  map_.unit = std::string(field.unit);
  map_.better = field.better;
  map_.probability = field.name == "p_glass" || field.name == "p_glass_sd";
  map_.values.reserve(map_size(plan.units));
  map_.titles.reserve(map_size(plan.units));
}

void MapDrawing::add(const Assessment& assessment) {
  map_.values.push_back(numeric_value(plan_.field->value(Row::of(assessment))));
  map_.titles.push_back(formula_text(assessment.parts));
}

std::string MapDrawing::svg() const {
  TernaryMap map = map_;
  const ElementData& data = data_of(request_);
  std::array<std::size_t, 3> places{};
  bool builtin = true;
  for (std::size_t i = 0; i < 3; ++i) {
    places[i] = data.position(*request_.elements[i]);
    builtin = builtin && places[i] < kElementCount;
  }
  if (request_.known_file) {
    map.known = plan_.user_known;
  } else if (request_.known && builtin) {
    for (const LabelledComposition& k : labelled_within(places)) {
      KnownMarker marker;
      marker.percent = {k.percent[0], k.percent[1], k.percent[2]};
      marker.kind = k.kind == LabelledComposition::Kind::kCrystalline
                        ? KnownMarker::Kind::kCrystalline
                        : KnownMarker::Kind::kGlass;
      marker.title = known_title(request_, k);
      map.known.push_back(std::move(marker));
    }
  }
  const auto& e = request_.elements;
  map.caption.push_back(fmt::format(
      "Every composition of {}, {} and {} at step {} at.% ({} compositions), as glassform {} "
      "assess gives it; element data {}.",
      e[0]->symbol, e[1]->symbol, e[2]->symbol, request_.step, map_size(plan_.units), version(),
      data.name()));
  for (std::string& line : wrapped("score p_glass: " + std::string(score_model_name()), 120))
    map.caption.push_back(std::move(line));
  if (request_.known_file) {
    map.caption.push_back(fmt::format("{} known compositions of these elements from {}.",
                                      map.known.size(), request_.known_name));
  } else if (!request_.known) {
    map.caption.emplace_back("Known compositions not drawn.");
  } else {
    map.caption.push_back(
        fmt::format("{} known compositions of these elements: melt-spun glasses and non-glasses "
                    "(Ward et al. 2016), bulk glasses (Ward et al. 2018).",
                    map.known.size()));
  }
  return ternary_map_svg(map);
}

}  // namespace glassform
