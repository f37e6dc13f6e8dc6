// glassform as a C++ library: one header for the whole public interface. Link
// glassform::report (which brings glassform::io and glassform::model) with
// find_package(glassform), or the pkg-config package glassform; docs/library.md shows a start.
#pragma once

// The model: elements, clusters, the three alloy computations, the elastic estimate, the
// composition criteria, the glass-formation score, weighing and screening.
#include "model/alloys.hpp"
#include "model/assessment.hpp"
#include "model/cluster_model.hpp"
#include "model/criteria.hpp"
#include "model/elastic.hpp"
#include "model/element_properties.hpp"
#include "model/element_sets.hpp"
#include "model/elements.hpp"
#include "model/glass_score.hpp"
#include "model/measured.hpp"
#include "model/mixing_enthalpy.hpp"
#include "model/model_constants.hpp"
#include "model/screening.hpp"
#include "model/weighing.hpp"

// Formulas and the byte streams the writers write to.
#include "io/formula.hpp"
#include "io/streams.hpp"

// The table of output fields and the writers of text, CSV, JSON and the Blackman diagram.
#include "report/alloy_writer.hpp"
#include "report/assessment_report.hpp"
#include "report/blackman_plot.hpp"
#include "report/fields.hpp"
#include "report/row_writer.hpp"
#include "report/screen_setup.hpp"
#include "report/tables.hpp"
#include "report/version.hpp"
