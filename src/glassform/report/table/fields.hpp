// The one table of output fields: every quantity that a CSV column, a JSON key, a screen's
// text column, a sort key or the browser shows, with its name (one spelling everywhere), unit,
// kind and meaning, and how its value is read from a result row. Writers loop over it; adding
// a quantity is adding a row here.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "glassform/model/alloys.hpp"
#include "glassform/model/assessment.hpp"
#include "glassform/model/casting_thickness.hpp"
#include "glassform/model/criteria.hpp"
#include "glassform/model/glass_score.hpp"
#include "glassform/model/measured.hpp"
#include "glassform/model/weighing.hpp"

namespace glassform {

// What one output row is read from: a composition of a model alloy, or a composition given
// by its element amounts (the elastic estimate of any formula).
struct Row {
  const AlloyResult* alloy = nullptr;  // null for a given composition
  const Composition* composition = nullptr;
  std::span<const FormulaPart> parts;  // a given composition's elements, at.%
  const ElasticResult* elastic = nullptr;
  std::optional<double> grams;                    // the ingot mass for the masses to weigh
  std::optional<std::size_t> line;                // the input line of a batch row
  std::optional<std::string_view> label;          // the batch line's "LABEL:"
  const GlassCriteria* given_criteria = nullptr;  // a given composition's, worked out already
  const ModelMatch* model = nullptr;              // the model composition nearest a given one
  const MeasuredGlass* measured = nullptr;        // the measurement of the same composition
  const ElementData* data = nullptr;              // the elements' data; null for the built-in

  // The data the row's elements come from.
  [[nodiscard]] const ElementData& element_data() const {
    return data != nullptr ? *data : ElementData::builtin();
  }

  // The composition criteria, worked out once.
  [[nodiscard]] const GlassCriteria& criteria() const {
    if (given_criteria != nullptr) return *given_criteria;
    if (!criteria_) {
      criteria_ = alloy != nullptr ? glass_criteria(*alloy, *composition)
                                   : glass_criteria(parts, element_data());
    }
    return *criteria_;
  }

  // The glass-formation score, worked out once; nothing where it cannot be computed.
  [[nodiscard]] const std::optional<GlassScore>& score() const {
    if (!score_) score_ = glass_score(criteria());
    return *score_;
  }

  // The casting-thickness estimate, worked out once; nothing without a score.
  [[nodiscard]] const std::optional<CastingEstimate>& casting() const {
    if (!casting_) {
      const std::optional<GlassScore>& s = score();
      casting_ = s ? casting_thickness(criteria(), *s) : std::nullopt;
    }
    return *casting_;
  }

  // The weight percent of each element of a model alloy's composition, worked out once.
  [[nodiscard]] const std::array<float, 4>& weight_percent() const {
    if (!weights_) weights_ = composition_weight_percent(*alloy, *composition);
    return *weights_;
  }

  // A row of a given composition, as assess works it out.
  static Row of(const Assessment& a) {
    Row row;
    row.parts = a.parts;
    row.elastic = &a.elastic;
    row.given_criteria = &a.criteria;
    row.model = a.model ? &*a.model : nullptr;
    row.data = a.data;
    return row;
  }

  // A row of a composition of a model alloy.
  static Row of(const AlloyResult& alloy, const Composition& composition,
                std::optional<double> grams = std::nullopt) {
    Row row;
    row.alloy = &alloy;
    row.composition = &composition;
    row.elastic = &composition.elastic;
    row.grams = grams;
    row.data = alloy.data;
    return row;
  }

 private:
  mutable std::optional<std::array<float, 4>> weights_;
  mutable std::optional<GlassCriteria> criteria_;
  mutable std::optional<std::optional<GlassScore>> score_;
  mutable std::optional<std::optional<CastingEstimate>> casting_;
};

enum class FieldKind : std::uint8_t { kText, kInteger, kNumber, kFlag };

// A field belongs to the alloy as a whole, or to one element position (solvent, solute 1..3).
enum class FieldScope : std::uint8_t { kAlloy, kElement };

// A stored single-precision value and a double are written in their own shortest forms; a
// text is a string, or a view of a text that outlives the row (a symbol, a kind's name).
using FieldValue =
    std::variant<std::monostate, std::string, std::string_view, long long, float, double, bool>;

// The text of a text value; nothing for any other.
std::optional<std::string_view> text_value(const FieldValue& value);

// The outputs a field is a column of, as bits of Field::tags.
inline constexpr std::uint32_t kModelRow = 1U << 0;     // a composition of a model alloy
inline constexpr std::uint32_t kGivenRow = 1U << 1;     // everything said of a given composition
inline constexpr std::uint32_t kElasticRow = 1U << 2;   // the elastic estimate of a given one
inline constexpr std::uint32_t kInputRow = 1U << 3;     // where a row of an input file came from
inline constexpr std::uint32_t kMeasuredRow = 1U << 4;  // a measurement beside it (--measured)
inline constexpr std::uint32_t kScoreInput = 1U << 5;   // a feature of the score p_glass
inline constexpr std::uint32_t kTextView = 1U << 6;     // the screen's text table, Python's HTML
inline constexpr std::uint32_t kPageView = 1U << 7;     // the browser's table of compositions
inline constexpr std::uint32_t kGridRow = 1U << 8;      // a row of a screen over element systems

// The part of a result a field tells of. A given composition's row is ordered by part
// (identity, score, criteria, ...); every other output keeps the table's order.
enum class FieldSection : std::uint8_t {
  kIdentity,
  kCluster,
  kElastic,
  kWarnings,
  kWeights,
  kCriteria,
  kRules,
  kScore,
  kIsotropic,
  kModel,
  kMeasured,
  kInput
};

// Which way a field is better for glass formation, as a map's colours and a default order
// read it; most fields have no preferred direction.
enum class Better : std::uint8_t { kNone, kHigh, kLow };

struct Field {
  std::string_view name;  // the CSV header, the JSON key, the sort and filter key
  std::string_view unit;  // empty for a pure number or a text
  FieldKind kind;
  FieldScope scope;
  std::string_view meaning;
  FieldValue (*value)(const Row&);  // std::monostate where the row has no value
  std::uint32_t tags = 0;
  FieldSection section = FieldSection::kIdentity;
  Better better = Better::kNone;
  // In the compact views (kTextView, kPageView): the column's place (1 first), its decimals
  // and its header where shorter than the name.
  int place = 0;
  int decimals = 0;
  std::string_view header = {};

  [[nodiscard]] bool has(std::uint32_t tag) const { return (tags & tag) != 0; }
  [[nodiscard]] std::string_view short_header() const { return header.empty() ? name : header; }
};

// Every field, in column order.
std::span<const Field> all_fields();

// The field of a name, or nothing.
const Field* find_field(std::string_view name);

// The fields with any of these tags, in the table's order.
std::vector<const Field*> tagged_fields(std::uint32_t tags);

// The columns of each kind of output.
std::vector<const Field*> alloy_fields();    // a composition of a model alloy
std::vector<const Field*> batch_fields();    // the same, with the input line and label
std::vector<const Field*> formula_fields();  // the elastic estimate of a given composition
std::vector<const Field*> assess_fields();   // everything said of a given composition

// The fields with the measured moduli (--measured) added before the input's line, if any.
std::vector<const Field*> with_measured(std::vector<const Field*> fields);

// The columns of a compact view (kTextView or kPageView), in their places.
std::vector<const Field*> view_fields(std::uint32_t view);

// One output column: a field, or in the wide layout one element's share (its atomic percent,
// weight percent or grams) summed over the positions it holds in the row's alloy (0 where the
// alloy lacks it); for a given composition, its atomic percent only.
struct Column {
  Column(const Field* f) : field(f), name(f->name) {}  // NOLINT(google-explicit-constructor)
  Column(const Element* e, std::string column_name, std::array<const Field*, 4> share)
      : element(e), name(std::move(column_name)), positions(share) {}

  [[nodiscard]] FieldValue value(const Row& row) const;

  const Field* field = nullptr;
  const Element* element = nullptr;
  std::string name;
  std::array<const Field*, 4> positions{};  // the share's field at each position
};

// The columns of these fields, positional: every field as it is.
std::vector<Column> positional_columns(const std::vector<const Field*>& fields);

// The columns of given compositions over a fixed set of elements (a map, a neighbourhood): each
// element's x_El_at% first, then the fields of assess without the input's line and label.
std::vector<Column> shares_and_assess_columns(std::span<const Element* const> elements);

// The wide layout: the positional x_*_at%, w_*_wt% and m_*_g fields replaced, where the first
// of them stood, by one column per element (x_Cu_at%, w_Cu_wt%, m_Cu_g), in the given order.
std::vector<Column> wide_columns(const std::vector<const Field*>& fields,
                                 std::span<const Element* const> elements);

// A field's value as a number: integers, numbers and flags (1 or 0); nothing for text and
// absent values. Inline: a screen's sort key reads it for every row.
inline std::optional<double> numeric_value(const FieldValue& value) {
  if (const auto* f = std::get_if<float>(&value)) return *f;
  if (const auto* i = std::get_if<long long>(&value)) return static_cast<double>(*i);
  if (const auto* d = std::get_if<double>(&value)) return *d;
  if (const auto* b = std::get_if<bool>(&value)) return *b ? 1.0 : 0.0;
  return std::nullopt;
}

// "text", "integer", "number" or "flag"; "alloy" or "element".
std::string_view kind_name(FieldKind kind);
std::string_view scope_name(FieldScope scope);

// The field table as Markdown (name, unit, kind, per, meaning): the text of `glassform fields`
// and the field section of docs/output.md.
std::string fields_markdown();

}  // namespace glassform
