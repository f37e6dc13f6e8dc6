#include "glassform/io/formula.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "glassform/io/text.hpp"

namespace glassform {

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
  FormulaReader(std::string_view text, const ElementData& data) : text_(text), data_(data) {}

  ParsedFormula read() {
    ParsedFormula result;
    std::vector<FormulaPart> parts;
    skip_blanks();
    if (pos_ == text_.size()) return fail(0, "the formula is empty");
    if (!read_sequence(parts, false)) return std::move(failed_);
    double total = 0;
    for (const FormulaPart& p : parts)
      total += p.amount;
    // A group's amounts times its own can overflow even where each amount does not.
    if (!std::isfinite(total)) return fail(0, "amount too large: the amounts do not add up");
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
    if (!std::isfinite(amount)) {
      fail(start, "amount too large");
      return false;
    }
    if (!std::isnormal(amount) && number.find_first_of("123456789") != std::string::npos) {
      fail(start, "amount too small");
      return false;
    }
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
        const Element* element = data_.find(symbol);
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
        // A whole character where the bytes are UTF-8 (a subscript digit pasted from a paper).
        const std::size_t n = std::max<std::size_t>(1, utf8_character_length(text_.substr(pos_)));
        fail(pos_, "unexpected character '" + std::string(text_.substr(pos_, n)) + "'");
      }
      return false;
    }
    return true;  // at the end of the text; a group's caller reports the missing ')'
  }

  std::string_view text_;
  const ElementData& data_;
  std::size_t pos_ = 0;
  ParsedFormula failed_;
};

}  // namespace

ParsedFormula parse_formula(std::string_view text, const ElementData& data) {
  return FormulaReader(text, data).read();
}

ParsedFormula parse_composition(std::string_view text, const ElementData& data) {
  ParsedFormula parsed = parse_formula(text, data);
  if (!parsed.error && parsed.parts.size() > kMostCompositionElements) {
    parsed.error = FormulaError{0, "at most " + std::to_string(kMostCompositionElements) +
                                       " elements, not " + std::to_string(parsed.parts.size())};
    parsed.parts.clear();
  }
  return parsed;
}

}  // namespace glassform
