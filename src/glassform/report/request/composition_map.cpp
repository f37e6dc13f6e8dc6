#include "glassform/report/request/composition_map.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "glassform/io/format.hpp"
#include "glassform/io/formula.hpp"
#include "glassform/io/text.hpp"
#include "glassform/model/glass_score.hpp"
#include "glassform/model/score_domain.hpp"
#include "glassform/report/request/alloy_request.hpp"
#include "glassform/report/request/composition_search.hpp"
#include "glassform/report/table/assessment_report.hpp"
#include "glassform/report/version.hpp"

namespace glassform {

namespace {

// "Cu50Zr40Al10: glass (melt-spun, Ward et al. 2016)": a labelled composition of the map's
// elements (with slices, the fourth among them).
std::string known_title(std::span<const Element* const> elements, const LabelledComposition& k) {
  std::string text;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    if (k.percent[i] == 0) continue;
    text.append(elements[i]->symbol);
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

// The map's elements: A, B, C and the slices' fourth, if any.
std::vector<const Element*> map_elements(const MapRequest& request, const Element* fourth) {
  std::vector<const Element*> out(request.elements.begin(), request.elements.end());
  if (fourth != nullptr) out.push_back(fourth);
  return out;
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
std::variant<std::vector<KnownMarker>, std::string> read_known(const MapRequest& request,
                                                               const Element* fourth) {
  std::string_view text = *request.known_file;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<KnownMarker> out;
  int formula = -1;
  int label = -1;
  std::size_t number = 0;
  bool header = true;
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
      if (formula < 0) {
        return fault_text(request.known_name, {number, 0, "the header has no formula column"});
      }
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
        return fault_text(request.known_name,
                          {number, 0,
                           "label " + quoted_text(cell(label)) +
                               " is none of glass, crystalline, AM, AC, CR, BMG, Ribbon"});
      }
      marker.kind = *kind;
    }
    const ParsedFormula parsed = parse_composition(cell(formula), request_data(request.data));
    if (parsed.error) {
      return fault_text(request.known_name,
                        {number, 0, formula_error_text(cell(formula), *parsed.error)});
    }
    bool on_map = true;
    for (const FormulaPart& p : parsed.parts) {
      const auto* at = std::find(request.elements.begin(), request.elements.end(), p.element);
      if (at != request.elements.end()) {
        marker.percent[static_cast<std::size_t>(at - request.elements.begin())] += p.amount;
      } else if (p.element == fourth) {
        marker.fourth += p.amount;
      } else {
        on_map = false;
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

namespace {

// The place among A, B and C of a symbol of the range, or nothing.
std::optional<std::size_t> place_of(const MapRequest& request, std::string_view symbol) {
  for (std::size_t i = 0; i < 3; ++i) {
    if (request.elements[i]->symbol == symbol) return i;
  }
  return std::nullopt;
}

// An amount in at.% as grid units of `units` per 100, or nothing where it is no multiple of the
// step in 0..100.
std::optional<int> units_of(std::string_view text, int units) {
  const std::string digits(text);
  char* end = nullptr;
  const double value = std::strtod(digits.c_str(), &end);
  if (digits.empty() || end != digits.c_str() + digits.size() || !std::isfinite(value) ||
      digits.find_first_not_of(".0123456789") != std::string::npos || value > 100) {
    return std::nullopt;
  }
  const double u = value * units / 100;
  if (std::abs(u - std::round(u)) > 1e-9 * std::max(1.0, u)) return std::nullopt;
  return static_cast<int>(std::lround(u));
}

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> out;
  for (;;) {
    const std::size_t at = text.find(separator);
    out.push_back(text.substr(0, at));
    if (at == std::string_view::npos) return out;
    text.remove_prefix(at + 1);
  }
}

// Reads --range into the plan's bounds, or says why it cannot.
std::optional<std::string> read_range(const MapRequest& request, MapPlan& plan) {
  plan.lo = {0, 0, 0};
  plan.hi = {plan.units, plan.units, plan.units};
  if (request.range.empty()) return std::nullopt;
  const std::string form =
      "the range is SYMBOL=LOW..HIGH[,SYMBOL=LOW..HIGH] over the map's elements, in at.% and "
      "multiples of the step, not " +
      quoted_text(request.range);
  std::array<bool, 3> named{};
  for (const std::string_view item : split(request.range, ',')) {
    const std::size_t equals = item.find('=');
    const std::size_t dots = item.find("..");
    if (equals == std::string_view::npos || dots == std::string_view::npos || dots < equals) {
      return form;
    }
    const std::optional<std::size_t> i = place_of(request, item.substr(0, equals));
    if (!i) {
      return "the range names " + quoted_text(std::string(item.substr(0, equals))) +
             ", which is none of the map's elements";
    }
    if (named[*i]) return "the range names " + std::string(item.substr(0, equals)) + " twice";
    named[*i] = true;
    const std::optional<int> lo = units_of(item.substr(equals + 1, dots - equals - 1), plan.units);
    const std::optional<int> hi = units_of(item.substr(dots + 2), plan.units);
    if (!lo || !hi) return form;
    if (*lo > *hi) return "the range of " + std::string(item.substr(0, equals)) + " runs backwards";
    plan.lo[*i] = *lo;
    plan.hi[*i] = *hi;
  }
  if (plan.lo[0] + plan.lo[1] + plan.lo[2] > plan.units ||
      plan.hi[0] + plan.hi[1] + plan.hi[2] < plan.units) {
    return "the range " + quoted_text(request.range) + " holds no composition";
  }
  return std::nullopt;
}

// Reads --with into the plan's slices, or says why it cannot.
std::optional<std::string> read_slices(const MapRequest& request, MapPlan& plan) {
  if (request.with.empty()) return std::nullopt;
  const std::string form =
      "the slices are SYMBOL=SHARE[,SHARE...] of a fourth element, each a multiple of the step "
      "in at.% below 100, not " +
      quoted_text(request.with);
  const std::size_t equals = request.with.find('=');
  if (equals == std::string::npos) return form;
  const std::string symbol = request.with.substr(0, equals);
  plan.fourth = request_data(request.data).find(symbol);
  if (plan.fourth == nullptr) return "the slices name " + quoted_text(symbol) + ", no element";
  if (place_of(request, symbol)) {
    return "the slices' element " + symbol + " is one of the map's three: name a fourth";
  }
  plan.slices.clear();
  for (const std::string_view share :
       split(std::string_view(request.with).substr(equals + 1), ',')) {
    const std::optional<int> u = units_of(share, plan.units);
    if (!u || *u >= plan.units) return form;
    if (std::find(plan.slices.begin(), plan.slices.end(), *u) != plan.slices.end()) {
      return "the slices name " + std::string(share) + " twice";
    }
    plan.slices.push_back(*u);
  }
  if (plan.slices.size() > 8)
    return "at most 8 slices are drawn in a row, not " + std::to_string(plan.slices.size());
  return std::nullopt;
}

// Calls visit(a, b, c, d) for each grid composition of the plan, in row order.
template <typename Visit>
void each_point(const MapPlan& plan, Visit&& visit) {
  for (const int d : plan.slices) {
    const int m = plan.units - d;
    for (int a = m; a >= 0; --a) {
      for (int b = m - a; b >= 0; --b) {
        const int c = m - a - b;
        if (a < plan.lo[0] || a > plan.hi[0] || b < plan.lo[1] || b > plan.hi[1] ||
            c < plan.lo[2] || c > plan.hi[2]) {
          continue;
        }
        visit(a, b, c, d);
      }
    }
  }
}

}  // namespace

namespace {

// The checked request, or why not.
std::variant<MapPlan, std::string> plan_map(const MapRequest& request) {
  for (std::size_t i = 0; i < 3; ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (request.elements[i] == request.elements[j]) {
        return "a map takes three different elements, not " +
               std::string(request.elements[i]->symbol) + " twice";
      }
    }
  }
  auto units = grid_units(request.step);
  if (const std::string* why = std::get_if<std::string>(&units)) return *why;
  const Field* field = find_field(request.field);
  if (field == nullptr ||
      (field->kind != FieldKind::kNumber && field->kind != FieldKind::kInteger)) {
    return "the field is a numeric field of glassform fields, not " + quoted_text(request.field);
  }
  MapPlan plan;
  plan.units = std::get<int>(units);
  plan.field = field;
  if (!request.range.empty() && !request.with.empty()) {
    return "a range zooms into one triangle and slices draw several: give one of them";
  }
  if (auto why = read_range(request, plan)) return *why;
  if (auto why = read_slices(request, plan)) return *why;
  if (request.known_file) {
    auto known = read_known(request, plan.fourth);
    if (const std::string* why = std::get_if<std::string>(&known)) return *why;
    plan.user_known = std::get<std::vector<KnownMarker>>(std::move(known));
  }
  return plan;
}

}  // namespace

Answer<MapPlan> answer(const MapRequest& request) {
  auto planned = plan_map(request);
  if (auto* why = std::get_if<std::string>(&planned)) {
    return invalid_request(std::move(*why));
  }
  return std::get<MapPlan>(std::move(planned));
}

Answer<std::array<const Element*, 3>> map_elements(std::span<const std::string> symbols,
                                                   const ElementData* data) {
  if (symbols.size() != 3) {
    return invalid_request("a map takes three element symbols");
  }
  std::array<const Element*, 3> out{};
  for (std::size_t i = 0; i < 3; ++i) {
    Answer<const Element*> e = element_named(symbols[i], request_data(data));
    if (auto* why = std::get_if<RequestError>(&e)) return std::move(*why);
    out[i] = std::get<const Element*>(e);
  }
  return out;
}

std::size_t map_size(const MapPlan& plan) {
  std::size_t count = 0;
  each_point(plan, [&count](int, int, int, int) { ++count; });
  return count;
}

std::vector<Column> map_columns(const MapRequest& request, const MapPlan& plan) {
  return shares_and_assess_columns(map_elements(request, plan.fourth));
}

void each_map_composition(const MapRequest& request, const MapPlan& plan,
                          const std::function<void(const Assessment&)>& visit) {
  const std::vector<const Element*> elements = map_elements(request, plan.fourth);
  each_point(plan, [&](int a, int b, int c, int d) {
    const std::array<int, 4> units{a, b, c, d};
    visit(assess(grid_parts(elements, std::span(units).first(elements.size()), plan.units),
                 request.data));
  });
}

MapDrawing::MapDrawing(const MapRequest& request, const MapPlan& plan)
    : request_(request), plan_(plan) {
  const Field& field = *plan.field;
  for (std::size_t i = 0; i < 3; ++i)
    map_.corners[i] = std::string(request.elements[i]->symbol);
  map_.field = std::string(field.name);
  map_.unit = std::string(field.unit);
  map_.better = field.better;
  map_.probability = field.name == "p_glass" || field.name == "p_glass_sd";
  const double step = 100.0 / plan.units;
  for (const int d : plan.slices) {
    TernaryPanel panel;
    panel.units = plan.units - d;
    panel.total = 100 - d * step;
    panel.lo = plan.lo;
    for (std::size_t i = 0; i < 3; ++i)
      panel.hi[i] = std::min(plan.hi[i], panel.units);
    if (plan.fourth != nullptr) {
      panel.heading = fmt::format("{} {} at.%", plan.fourth->symbol, d * step);
      for (std::size_t i = 0; i < 3 && d > 0; ++i) {
        panel.corners[i] = fmt::format("{}{}{}{}", request.elements[i]->symbol, panel.total,
                                       plan.fourth->symbol, d * step);
      }
    }
    map_.panels.push_back(std::move(panel));
  }
  sizes_.reserve(plan.slices.size());
  for (const int d : plan.slices) {
    MapPlan one = plan;
    one.slices = {d};
    sizes_.push_back(map_size(one));
  }
}

void MapDrawing::add(const Assessment& assessment) {
  while (panel_ + 1 < map_.panels.size() && map_.panels[panel_].values.size() == sizes_[panel_])
    ++panel_;
  TernaryPanel& panel = map_.panels[panel_];
  panel.values.push_back(numeric_value(plan_.field->value(Row::of(assessment))));
  panel.titles.push_back(formula_text(assessment.parts));
}

std::string MapDrawing::svg() const {
  TernaryMap map = map_;
  const ElementData& data = request_data(request_.data);
  const std::vector<const Element*> elements = map_elements(request_, plan_.fourth);
  std::vector<std::size_t> places;
  bool builtin = true;
  for (const Element* e : elements) {
    places.push_back(data.position(*e));
    builtin = builtin && places.back() < kElementCount;
  }
  std::vector<KnownMarker> known;
  if (request_.known_file) {
    known = plan_.user_known;
  } else if (request_.known && builtin) {
    for (const LabelledComposition& k : labelled_within(places)) {
      KnownMarker marker;
      marker.percent = {k.percent[0], k.percent[1], k.percent[2]};
      marker.fourth = elements.size() > 3 ? k.percent[3] : 0;
      marker.kind = k.kind == LabelledComposition::Kind::kCrystalline
                        ? KnownMarker::Kind::kCrystalline
                        : KnownMarker::Kind::kGlass;
      marker.title = known_title(elements, k);
      known.push_back(std::move(marker));
    }
  }
  // Each on the slice of its fourth element's share (within half a step), inside the range.
  const double step = 100.0 / plan_.units;
  std::size_t drawn = 0;
  for (const KnownMarker& k : known) {
    for (std::size_t p = 0; p < plan_.slices.size(); ++p) {
      const double sum = k.percent[0] + k.percent[1] + k.percent[2] + k.fourth;
      if (!(sum > 0) || std::abs(k.fourth / sum * 100 - plan_.slices[p] * step) > step / 2 + 1e-9) {
        continue;
      }
      bool within = true;
      for (std::size_t i = 0; i < 3; ++i) {
        const double u = k.percent[i] / sum * plan_.units;
        within = within && u >= plan_.lo[i] - 1e-6 && u <= plan_.hi[i] + 1e-6;
      }
      if (!within) continue;
      map.panels[p].known.push_back(k);
      ++drawn;
    }
  }
  const auto& e = request_.elements;
  map.title = fmt::format("{} over {}-{}-{}", map.field, e[0]->symbol, e[1]->symbol, e[2]->symbol);
  std::string what =
      fmt::format("Every composition of {}, {} and {}", e[0]->symbol, e[1]->symbol, e[2]->symbol);
  if (plan_.fourth != nullptr) {
    map.title += fmt::format(" with {}", plan_.fourth->symbol);
    std::string shares;
    for (const int d : plan_.slices)
      append_format(shares, "{}{}", shares.empty() ? "" : ", ", d * step);
    what += fmt::format(" with {} at {} at.%", plan_.fourth->symbol, shares);
  }
  if (!request_.range.empty()) what += " within " + request_.range + " at.%";
  for (std::string& line :
       wrapped(fmt::format("{} at step {} at.% ({} compositions), as "
                           "glassform {} assess gives it; element data {}.",
                           what, request_.step, map_size(plan_), version(), data.name()),
               120)) {
    map.caption.push_back(std::move(line));
  }
  for (std::string& line : wrapped("score p_glass: " + std::string(score_model_name()), 120))
    map.caption.push_back(std::move(line));
  if (request_.known_file) {
    map.caption.push_back(fmt::format("{} known compositions of these elements from {}.", drawn,
                                      request_.known_name));
  } else if (!request_.known) {
    map.caption.emplace_back("Known compositions not drawn.");
  } else {
    map.caption.push_back(
        fmt::format("{} known compositions of these elements: melt-spun glasses and non-glasses "
                    "(Ward et al. 2016), bulk glasses (Ward et al. 2018).",
                    drawn));
  }
  return ternary_map_svg(map);
}

}  // namespace glassform
