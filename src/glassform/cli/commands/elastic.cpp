#include "glassform/cli/cli_internal.hpp"
#include "glassform/report/table/assessment_report.hpp"

namespace glassform::cli {

void register_elastic(CLI::App& app, Run& run) {
  register_assessment_command(app, run, AssessmentScope::kElastic);
}

}  // namespace glassform::cli
