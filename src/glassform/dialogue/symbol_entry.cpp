#include "glassform/dialogue/dialogue.hpp"
#include "glassform/report/text/text_report.hpp"

namespace glassform {

void print_symbol_note(Console& console) {
  console.print(kSymbolNote);
  console.line_end();
}

std::string ask_symbol(Console& console, std::string_view prompt) {
  console.print(prompt);
  return console.read_symbol_line();
}

Flow take_elements(Console& console, std::span<const std::string> texts,
                   std::span<const Element*> elements) {
  bool all_found = true;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const int index = sw(kSymbols, texts[i]);
    if (index != 0) {
      elements[i] = &element_at(index);
    } else if (texts[i].empty()) {
      return Flow::kExitProgram;
    } else {
      console.print("ERROR: \"");
      console.print(texts[i]);
      console.print("\"");
      console.line_end();
      all_found = false;
    }
  }
  return all_found ? Flow::kContinue : Flow::kEndCalculation;
}

void print_report(Console& console, std::span<const Element* const> elements,
                  std::span<const ClusterMeasure> measures, std::span<const int> chosen) {
  const std::optional<AlloyResult> alloy = compute_alloy(elements, measures, chosen);
  if (!alloy) return;  // the questions accept no integer below 1
  std::string text;
  append_text_report(text, *alloy);
  console.print(text);
}

}  // namespace glassform
