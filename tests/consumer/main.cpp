// The example of docs/library.md: an alloy of the model as CSV, and the score of a formula.
#include <glassform/glassform.hpp>
#include <iostream>

int main() {
  using namespace glassform;
  const std::optional<AlloyResult> alloy =
      compute_binary(*find_element("Zr"), *find_element("Cu"), 10);
  StringSink csv;
  AlloyWriter writer(csv, Format::kCsv, std::nullopt,
                     positional_columns({find_field("formula"), find_field("packing_%")}));
  writer.add(*alloy);
  writer.finish();
  const GlassCriteria criteria = glass_criteria(parse_formula("Cu46Zr46Al8").parts);
  std::cout << csv.text << "p_glass " << glass_score(criteria)->p_glass << "\n";
}
