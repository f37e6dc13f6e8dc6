// --elements and --mixing-enthalpy: a user's element data, read before any output is opened.
#include <cstring>

#include "glassform/cli/cli_internal.hpp"
#include "glassform/cli/output.hpp"
#include "glassform/io/text.hpp"

namespace glassform::cli {

NamedText read_whole(const std::string& path) {
  NamedText out{path, {}};
  try {
    FileInput file(path);
    std::array<char, 1 << 16> buffer{};
    while (out.bytes.size() <= kMostElementFileBytes) {
      const std::size_t n = file.read(buffer.data(), buffer.size());
      if (n == 0) break;
      out.bytes.append(buffer.data(), n);
    }
    if (file.error() != 0) throw UsageError(escaped(path) + ": " + std::strerror(file.error()));
  } catch (const RunError& e) {
    throw UsageError(e.what());
  }
  if (out.bytes.size() > kMostElementFileBytes) {
    throw UsageError(escaped(path) + ": larger than " + std::to_string(kMostElementFileBytes) +
                     " bytes");
  }
  return out;
}

void add_element_data_options(CLI::App& command, Run& run) {
  const auto named = [](const std::string& path) {
    return path.empty() ? std::string("needs a file name") : std::string();
  };
  command
      .add_option("--elements", run.elements_path,
                  "A CSV or TSV of element values over the built-in ones (symbol and any of "
                  "radius_nm, E_GPa, G_GPa, B_GPa, atomic_weight_u, melting_point_K, "
                  "electronegativity_pauling, valence_electrons, source); docs/elements.md")
      ->check(named)
      ->type_name("FILE");
  command
      .add_option("--mixing-enthalpy", run.mixing_path,
                  "A CSV or TSV of pair mixing enthalpies over the built-in ones (element_a, "
                  "element_b, dH_mix_kJ_per_mol, optionally note or source)")
      ->check(named)
      ->type_name("FILE");
}

void load_user_element_data(Run& run) {
  if (run.elements_path.empty() && run.mixing_path.empty()) return;
  std::optional<NamedText> elements;
  std::optional<NamedText> pairs;
  if (!run.elements_path.empty()) elements = read_whole(run.elements_path);
  if (!run.mixing_path.empty()) pairs = read_whole(run.mixing_path);
  auto loaded = load_element_data(elements, pairs);
  if (const auto* why = std::get_if<std::string>(&loaded)) throw UsageError(*why);
  run.user_data = std::make_shared<const UserElementData>(std::get<UserElementData>(loaded));
  std::string note = "element data " + run.user_data->digest + ":";
  if (elements) note += " --elements " + escaped(run.elements_path);
  if (pairs)
    note += std::string(elements ? "," : "") + " --mixing-enthalpy " + escaped(run.mixing_path);
  if (run.user_data->changes.empty()) note += "; no value differs from the built-in tables";
  run.note(note);
  for (const std::string& change : run.user_data->changes)
    run.note("  " + change);
}

std::string element_data_line(const Run& run) {
  if (!run.user_data) return {};
  std::string line = "Element data " + run.user_data->digest + ":";
  if (!run.elements_path.empty()) line += " " + escaped(run.elements_path);
  if (!run.mixing_path.empty())
    line += std::string(run.elements_path.empty() ? "" : ",") + " " + escaped(run.mixing_path);
  return line + " over the built-in tables\n";
}

}  // namespace glassform::cli
