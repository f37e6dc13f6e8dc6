// The weighing tables: weight percentages and the masses to weigh (model/weighing.hpp works them
// out), for the compositions of an alloy and for any composition a user writes down.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "glassform/io/streams.hpp"
#include "glassform/model/alloys.hpp"
#include "glassform/model/weighing.hpp"
#include "glassform/report/table/formats.hpp"

namespace glassform {

// The weighing table printed after a text report: element, at.%, wt.%, grams to 0.1 mg, and
// the total with the requested mass.
void append_weighing_text(std::string& out, const AlloyResult& alloy,
                          const Composition& composition, double grams);

void write_weighing(OutputSink& sink, Format format, const Weighing& weighing);

// The text table of write_weighing: element, at.%, wt.% (and grams), then the total.
void append_weighing_table(std::string& out, const Weighing& weighing);

}  // namespace glassform
