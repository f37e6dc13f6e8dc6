// The elastic estimate of any composition, as `glassform elastic` writes it.
#pragma once

#include <span>
#include <string_view>

#include "glassform/io/streams.hpp"
#include "glassform/model/weighing.hpp"
#include "glassform/report/table/formats.hpp"

namespace glassform {

// Text: the composition, then the elastic block with the reports' formats. CSV, JSON and
// JSON lines: one row of the formula fields (formula, E_GPa ... C44/C11, warnings), null
// where not computable.
void write_formula_elastic(OutputSink& sink, Format format, std::span<const FormulaPart> parts,
                           const ElasticResult& result);

}  // namespace glassform
