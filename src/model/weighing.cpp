#include "model/weighing.hpp"

#include <algorithm>
#include <cstdlib>

namespace glassform {

void weight_percent(std::span<const Element* const> elements, std::span<const double> atomic,
                    std::span<double> out) {
  double total = 0;
  for (std::size_t i = 0; i < elements.size(); ++i)
    total += atomic[i] * elements[i]->atomic_weight;
  for (std::size_t i = 0; i < elements.size(); ++i)
    out[i] = total > 0 ? atomic[i] * elements[i]->atomic_weight / total * 100 : 0;
}

void atomic_percent(std::span<const Element* const> elements, std::span<const double> weight,
                    std::span<double> out) {
  double total = 0;
  for (std::size_t i = 0; i < elements.size(); ++i)
    total += weight[i] / elements[i]->atomic_weight;
  for (std::size_t i = 0; i < elements.size(); ++i)
    out[i] = total > 0 ? weight[i] / elements[i]->atomic_weight / total * 100 : 0;
}

void masses(std::span<const double> weight, double total_grams, std::span<double> out) {
  double total = 0;
  for (const double w : weight)
    total += w;
  for (std::size_t i = 0; i < weight.size(); ++i)
    out[i] = total > 0 ? total_grams * (weight[i] / total) : 0;
}

std::array<double, 4> composition_weight_percent_exact(const AlloyResult& alloy,
                                                       const Composition& c) {
  const std::span<const Element* const> e = alloy.elements();
  std::array<double, 4> atomic{};
  for (std::size_t i = 0; i < e.size(); ++i)
    atomic[i] = static_cast<double>(c.percent[i]);
  std::array<double, 4> weight{};
  weight_percent(e, std::span(atomic).first(e.size()), std::span(weight).first(e.size()));
  return weight;
}

std::array<float, 4> composition_weight_percent(const AlloyResult& alloy,
                                                const Composition& composition) {
  const std::array<double, 4> weight = composition_weight_percent_exact(alloy, composition);
  std::array<float, 4> stored{};
  for (std::size_t i = 0; i < stored.size(); ++i)
    stored[i] = static_cast<float>(weight[i]);
  return stored;
}

namespace {

bool is_upper(char c) {
  return c >= 'A' && c <= 'Z';
}
bool is_lower(char c) {
  return c >= 'a' && c <= 'z';
}
bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

class FormulaReader {
 public:
  explicit FormulaReader(std::string_view text) : text_(text) {}

  ParsedFormula read() {
    ParsedFormula result;
    std::vector<FormulaPart> parts;
    skip_blanks();
    if (pos_ == text_.size()) return fail(0, "the formula is empty");
    if (!read_sequence(parts, false)) return std::move(failed_);
    double total = 0;
    for (const FormulaPart& p : parts)
      total += p.amount;
    if (!(total > 0)) return fail(0, "the amounts add up to zero");
    for (const FormulaPart& p : parts) {
      auto same = [&p](const FormulaPart& q) { return q.element == p.element; };
      auto it = std::find_if(result.parts.begin(), result.parts.end(), same);
      if (it == result.parts.end()) {
        result.parts.push_back({p.element, p.amount / total * 100});
      } else {
        it->amount += p.amount / total * 100;
      }
    }
    return result;
  }

 private:
  ParsedFormula fail(std::size_t position, std::string message) {
    failed_.parts.clear();
    failed_.error = FormulaError{position, std::move(message)};
    return failed_;
  }

  void skip_blanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t'))
      ++pos_;
  }

  // An optional amount; 1 when none is written. False (with the error set) for a bad one.
  bool read_amount(double& amount) {
    amount = 1;
    skip_blanks();
    if (pos_ < text_.size() && text_[pos_] == '-') {
      fail(pos_, "negative amount");
      return false;
    }
    const std::size_t start = pos_;
    bool point = false;
    while (pos_ < text_.size() && (is_digit(text_[pos_]) || (text_[pos_] == '.' && !point))) {
      point = point || text_[pos_] == '.';
      ++pos_;
    }
    if (pos_ == start) return true;
    const std::string number(text_.substr(start, pos_ - start));
    if (number == ".") {
      fail(start, "bad amount \".\"");
      return false;
    }
    amount = std::strtod(number.c_str(), nullptr);
    return true;
  }

  bool read_sequence(std::vector<FormulaPart>& parts, bool in_group) {
    for (skip_blanks(); pos_ < text_.size(); skip_blanks()) {
      const char c = text_[pos_];
      if (c == ')') {
        if (in_group) return true;
        fail(pos_, "unbalanced parenthesis: ')' without '('");
        return false;
      }
      if (c == '(') {
        if (in_group) {
          fail(pos_, "parentheses inside parentheses: one level only");
          return false;
        }
        const std::size_t open = pos_++;
        std::vector<FormulaPart> group;
        if (!read_sequence(group, true)) return false;
        if (pos_ == text_.size()) {
          fail(open, "unbalanced parenthesis: '(' without ')'");
          return false;
        }
        ++pos_;  // ')'
        double inner = 0;
        for (const FormulaPart& p : group)
          inner += p.amount;
        if (group.empty() || !(inner > 0)) {
          fail(open, "the group's amounts add up to zero");
          return false;
        }
        double amount = 1;
        if (!read_amount(amount)) return false;
        for (const FormulaPart& p : group)
          parts.push_back({p.element, p.amount / inner * amount});
        continue;
      }
      if (is_upper(c)) {
        const std::size_t start = pos_++;
        if (pos_ < text_.size() && is_lower(text_[pos_])) ++pos_;
        const std::string_view symbol = text_.substr(start, pos_ - start);
        const Element* element = find_element(symbol);
        if (element == nullptr) {
          fail(start, unknown_symbol_message(symbol));
          return false;
        }
        double amount = 1;
        if (!read_amount(amount)) return false;
        parts.push_back({element, amount});
        continue;
      }
      if (c == '-') {
        fail(pos_, "negative amount");
      } else if (is_digit(c) || c == '.') {
        fail(pos_, "an amount without an element before it");
      } else {
        fail(pos_, std::string("unexpected character '") + c + "'");
      }
      return false;
    }
    return true;  // at the end of the text; a group's caller reports the missing ')'
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  ParsedFormula failed_;
};

}  // namespace

ParsedFormula parse_formula(std::string_view text) {
  return FormulaReader(text).read();
}

ElasticResult estimate_formula_elastic(std::span<const FormulaPart> parts) {
  std::vector<Constituent> constituents;
  constituents.reserve(parts.size());
  for (const FormulaPart& p : parts) {
    const Element& e = *p.element;
    constituents.push_back({e.symbol, e.e, e.g, e.b, static_cast<float>(p.amount)});
  }
  return estimate_elastic(constituents);
}

}  // namespace glassform
