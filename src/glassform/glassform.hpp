// glassform as a C++ library: one header for the whole public interface. Link
// glassform::report (which brings glassform::io and glassform::model) with
// find_package(glassform), or the pkg-config package glassform; docs/library.md shows a start.
#pragma once

// The model: elements, clusters, the three alloy computations, the elastic estimate, the
// composition criteria, the glass-formation score and casting thickness, weighing and screening.
#include "glassform/model/alloys.hpp"
#include "glassform/model/assessment.hpp"
#include "glassform/model/casting_thickness.hpp"
#include "glassform/model/cluster_model.hpp"
#include "glassform/model/criteria.hpp"
#include "glassform/model/elastic.hpp"
#include "glassform/model/element_properties.hpp"
#include "glassform/model/element_sets.hpp"
#include "glassform/model/elements.hpp"
#include "glassform/model/glass_score.hpp"
#include "glassform/model/measured.hpp"
#include "glassform/model/mixing_enthalpy.hpp"
#include "glassform/model/model_constants.hpp"
#include "glassform/model/score_domain.hpp"
#include "glassform/model/screening.hpp"
#include "glassform/model/weighing.hpp"

// Formulas and the byte streams the writers write to.
#include "glassform/io/formula.hpp"
#include "glassform/io/streams.hpp"

// The table of output fields and the writers of text, CSV, JSON and the Blackman diagram.
#include "glassform/report/plot/blackman_plot.hpp"
#include "glassform/report/request/screen_setup.hpp"
#include "glassform/report/table/alloy_writer.hpp"
#include "glassform/report/table/assessment_report.hpp"
#include "glassform/report/table/fields.hpp"
#include "glassform/report/table/row_writer.hpp"
#include "glassform/report/table/tables.hpp"
#include "glassform/report/version.hpp"
