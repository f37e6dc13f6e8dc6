#include "glassform/report/request/screen_setup.hpp"

#include <algorithm>
#include <bitset>
#include <thread>

#include "glassform/model/criteria.hpp"
#include "glassform/model/element_sets.hpp"
#include "glassform/model/glass_score.hpp"
#include "glassform/report/table/fields.hpp"
#include "glassform/report/table/row_filter.hpp"

namespace glassform {

std::variant<Exclusion, std::string> parse_exclusion(std::vector<std::string> items) {
  if (items.empty()) {
    for (std::string_view rest = kDefaultExcluded; !rest.empty();) {
      const std::size_t comma = rest.find(',');
      items.emplace_back(rest.substr(0, comma));
      rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
  }
  Exclusion out;
  if (items.size() == 1 && items[0] == "none") {
    out.names = "none";
    return out;
  }
  for (const std::string& item : items) {
    if (const ElementSet* set = find_element_set(item)) {
      for (const Element& e : kElements) {
        if (holds(*set, e)) out.elements.push_back(&e);
      }
    } else if (const Element* e = find_element(item)) {
      out.elements.push_back(e);
    } else {
      std::string why = "\"" + item + "\" is neither a set (";
      for (const ElementSet& k : kElementSets)
        why.append(k.name).append(", ");
      return why.append("or none alone) nor an element symbol");
    }
    out.names.append(out.names.empty() ? "" : ",").append(item);
  }
  return out;
}

unsigned screen_threads() {
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
  return 1;  // the page's module is built without threads
#else
  return std::clamp(std::thread::hardware_concurrency(), 1U, kMostScreenThreads);
#endif
}

bool excludes(const Exclusion& exclusion, const Element* element) {
  // By symbol: the element may be a user's data's copy of a built-in one.
  return std::any_of(exclusion.elements.begin(), exclusion.elements.end(),
                     [element](const Element* e) { return e->symbol == element->symbol; });
}

std::vector<const Element*> all_elements_but(const Exclusion& exclusion, const ElementData& data) {
  std::vector<const Element*> out;
  for (const Element& e : data.elements().first(kElementCount)) {
    if (!excludes(exclusion, &e) && e.radius > 0) out.push_back(&e);
  }
  return out;
}

std::vector<const Element*> screen_candidates(std::span<const Element* const> solvents,
                                              std::span<const Element* const> solutes) {
  std::vector<const Element*> out(solvents.begin(), solvents.end());
  out.insert(out.end(), solutes.begin(), solutes.end());
  std::sort(out.begin(), out.end());  // table order: the table is one array
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

std::vector<Column> screen_columns(std::span<const Element* const> candidates) {
  std::vector<Column> columns = positional_columns(alloy_fields());
  for (Column& c : wide_columns(alloy_fields(), candidates)) {
    if (c.element != nullptr) columns.push_back(std::move(c));
  }
  return columns;
}

std::variant<SortOrder, std::string> parse_sort(std::string key,
                                                std::span<const Element* const> candidates) {
  SortOrder order;
  if (key.empty()) key = kDefaultSort;
  if (key == "mismatch") return order;
  if (key == kDefaultSort) {
    // The rows inside the score's data first, then the extrapolated ones, each by p_glass
    // descending: 2 + p or p, where p is the trees' probability before calibration (which the
    // calibration keeps in order, but ties where it clips at 0 and 1); none without a score.
    order.key = [](const AlloyResult& alloy, const Composition& c) -> std::optional<double> {
      const Row row = Row::of(alloy, c);
      const std::optional<GlassScore>& score = row.score();
      if (!score) return std::nullopt;
      return score->extrapolated ? score->uncalibrated : 2 + score->uncalibrated;
    };
    order.descending = true;
    // An alloy outside the data, whose every composition holds all its elements, ranks below 1.
    order.most = [](const AlloyResult& alloy) {
      const ElementData& data = data_of(alloy);
      std::bitset<kElementCount> present;
      for (const Element* e : alloy.elements()) {
        const std::size_t at = data.position(*e);
        // A user's value makes every row extrapolated.
        if (at >= kElementCount || data.changed(*e)) return 1.0;
        present.set(at);
      }
      for (const Composition& c : alloy.compositions()) {
        for (std::size_t i = 0; i < alloy.elements().size(); ++i) {
          if (!(c.percent[i] > 0)) return 3.0;
        }
      }
      return is_inside_score_data(present) ? 3.0 : 1.0;
    };
    return order;
  }
  const bool descending = key[0] == '-';
  const std::string name = descending ? key.substr(1) : key;
  std::vector<Column> columns = screen_columns(candidates);
  std::erase_if(columns, [](const Column& c) {
    return c.field != nullptr && c.field->kind == FieldKind::kText;
  });
  const auto known = std::find_if(columns.begin(), columns.end(),
                                  [&name](const Column& c) { return c.name == name; });
  if (known == columns.end()) {
    std::string keys;
    for (const Column& c : columns) {
      if (c.element != nullptr) continue;
      if (!keys.empty()) keys.append(", ");
      keys.append(c.name);
    }
    return "unknown sort key \"" + name + "\"" + did_you_mean(name, columns) +
           "; the keys are the numeric fields (glassform fields) and the share columns "
           "x_El_at%, w_El_wt% of the candidates: " +
           keys;
  }
  if (name == "p_glass") {
    // By the trees' own probability, which the calibrated p_glass follows without its ties.
    order.key = [](const AlloyResult& alloy, const Composition& c) -> std::optional<double> {
      const Row row = Row::of(alloy, c);
      const std::optional<GlassScore>& score = row.score();
      if (!score) return std::nullopt;
      return score->uncalibrated;
    };
  } else {
    order.key = [column = *known](const AlloyResult& alloy, const Composition& c) {
      return numeric_value(column.value(Row::of(alloy, c)));
    };
  }
  order.descending = descending;
  return order;
}

std::variant<std::function<bool(const AlloyResult&, const Composition&)>, std::string> parse_where(
    const std::vector<std::string>& texts, std::span<const Element* const> candidates) {
  auto parsed = parse_conditions(texts, screen_columns(candidates));
  if (std::string* why = std::get_if<std::string>(&parsed)) return std::move(*why);
  std::vector<RowCondition> conditions = std::get<std::vector<RowCondition>>(std::move(parsed));
  if (conditions.empty()) return std::function<bool(const AlloyResult&, const Composition&)>();
  return [conditions = std::move(conditions)](const AlloyResult& alloy, const Composition& c) {
    return meets_all(conditions, Row::of(alloy, c));
  };
}

std::string screen_first_line(const Exclusion& exclusion, bool keep_unphysical,
                              std::string_view sort) {
  std::string line = "excluded: " + exclusion.names + "; unphysical rows " +
                     (keep_unphysical ? "kept" : "dropped");
  if (sort.empty() || sort == kDefaultSort) {
    line.append("; order: rows inside the score's data first, each group by p_glass descending");
  }
  return line;
}

}  // namespace glassform
