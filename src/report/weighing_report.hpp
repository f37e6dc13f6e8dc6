// Weight percentages and the masses to weigh, for the compositions of an alloy and for any
// composition a user writes down.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "io/streams.hpp"
#include "model/alloys.hpp"
#include "model/weighing.hpp"
#include "report/formats.hpp"

namespace glassform {

// Grams of each element for an ingot of `grams`; unrounded, they add up to `grams`.
std::array<double, 4> composition_masses(const AlloyResult& alloy, const Composition& composition,
                                         double grams);

// The weighing table printed after a text report: element, at.%, wt.%, grams to 0.1 mg, and
// the total with the requested mass.
void append_weighing_text(std::string& out, const AlloyResult& alloy,
                          const Composition& composition, double grams);

// A composition as `weigh` prints it: element, at.%, wt.% and, given a mass, grams.
struct Weighing {
  std::vector<const Element*> elements;
  std::vector<double> atomic;  // percent
  std::vector<double> weight;  // percent
  std::optional<std::vector<double>> grams;
  std::optional<double> total_grams;
};

Weighing weigh(const std::vector<FormulaPart>& parts, bool amounts_are_weight,
               std::optional<double> grams);

void write_weighing(OutputSink& sink, Format format, const Weighing& weighing);

// The text table of write_weighing: element, at.%, wt.% (and grams), then the total.
void append_weighing_table(std::string& out, const Weighing& weighing);

}  // namespace glassform
