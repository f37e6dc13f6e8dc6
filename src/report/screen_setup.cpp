#include "report/screen_setup.hpp"

#include <algorithm>

#include "model/element_sets.hpp"
#include "report/fields.hpp"
#include "report/row_filter.hpp"

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

bool excludes(const Exclusion& exclusion, const Element* element) {
  return std::find(exclusion.elements.begin(), exclusion.elements.end(), element) !=
         exclusion.elements.end();
}

std::vector<const Element*> all_elements_but(const Exclusion& exclusion) {
  std::vector<const Element*> out;
  for (const Element* e : all_elements()) {
    if (!excludes(exclusion, e)) out.push_back(e);
  }
  return out;
}

std::variant<SortOrder, std::string> parse_sort(std::string key) {
  SortOrder order;
  if (key.empty()) key = kDefaultSort;
  if (key == "mismatch") return order;
  const bool descending = key[0] == '-';
  const std::string name = descending ? key.substr(1) : key;
  const std::vector<const Field*> fields = alloy_fields();
  const auto known = std::find_if(fields.begin(), fields.end(), [&name](const Field* f) {
    return f->name == name && f->kind != FieldKind::kText;
  });
  if (known == fields.end()) {
    std::string keys;
    for (const Field* f : fields) {
      if (f->kind == FieldKind::kText) continue;
      if (!keys.empty()) keys.append(", ");
      keys.append(f->name);
    }
    return "unknown sort key \"" + name +
           "\"; the keys are the numeric fields (glassform fields): " + keys;
  }
  const Field* field = *known;
  order.key = [field](const AlloyResult& alloy, const Composition& c) {
    return numeric_value(field->value(Row::of(alloy, c)));
  };
  order.descending = descending;
  return order;
}

std::variant<std::function<bool(const AlloyResult&, const Composition&)>, std::string> parse_where(
    const std::vector<std::string>& texts) {
  std::vector<RowCondition> conditions;
  conditions.reserve(texts.size());
  for (const std::string& text : texts) {
    auto parsed = parse_condition(text);
    if (const std::string* why = std::get_if<std::string>(&parsed)) {
      return "\"" + text + "\": " + *why;
    }
    conditions.push_back(std::get<RowCondition>(std::move(parsed)));
  }
  if (conditions.empty()) return std::function<bool(const AlloyResult&, const Composition&)>();
  return [conditions = std::move(conditions)](const AlloyResult& alloy, const Composition& c) {
    const Row row = Row::of(alloy, c);
    return std::all_of(conditions.begin(), conditions.end(),
                       [&row](const RowCondition& k) { return meets(k, row); });
  };
}

std::string screen_first_line(const Exclusion& exclusion, bool keep_unphysical) {
  return "excluded: " + exclusion.names + "; unphysical rows " +
         (keep_unphysical ? "kept" : "dropped");
}

}  // namespace glassform
