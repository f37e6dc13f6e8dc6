#include "glassform/model/cluster_model.hpp"

#include <cmath>

#include "glassform/model/model_constants.hpp"

namespace glassform {

using LD = long double;

float radius_ratio(float solute_radius, float solvent_radius) {
  return static_cast<float>(static_cast<LD>(solute_radius) / static_cast<LD>(solvent_radius));
}

int face_parameter(float ratio) {
  const double r = ratio;
  if (r >= model::kTriangleFaceMin && r < model::kSquareFaceMin) return 3;
  if (r < model::kPentagonFaceMin) return 4;
  return 5;
}

float coordination_number(float ratio) {
  const int q = face_parameter(ratio);
  const double face_term = static_cast<double>((2 - q) * static_cast<LD>(model::kPi));
  const double two_q = 2.0 * q;
  const double sine = std::sin(static_cast<double>(static_cast<LD>(model::kPi) / q));
  const LD r_plus_one = static_cast<LD>(ratio) + 1;
  const double square = std::pow(static_cast<double>(r_plus_one), 2.0);
  const LD root = std::sqrt(static_cast<double>(1 - 1 / static_cast<LD>(square)));
  const double theta = std::acos(static_cast<double>(root * sine));
  const LD n = static_cast<LD>(model::kFourPi) /
               (static_cast<LD>(two_q) * theta + static_cast<LD>(face_term));
  return static_cast<float>(n);
}

std::optional<float> ideal_radius_ratio(int coordination) {
  if (coordination < model::kIdealMin || coordination > model::kIdealMax) return std::nullopt;
  return model::kIdealRadiusRatios[static_cast<std::size_t>(coordination - model::kIdealMin)];
}

bool solute_too_small(float ratio) {
  return static_cast<double>(ratio) < model::kSmallSoluteRatio;
}

float solvent_atoms_per_cluster(long double coordination) {
  return static_cast<float>(coordination / (static_cast<LD>(model::kFullShell) / coordination + 1));
}

double cluster_spacing(float ratio) {
  const double square = std::pow(static_cast<double>(static_cast<LD>(ratio) + 1), 2.0);
  return std::sqrt(static_cast<double>(static_cast<LD>(square) - model::kFourThirds));
}

float cell_edge(double multiplier, long double spacing) {
  return static_cast<float>(static_cast<LD>(multiplier) * spacing);
}

float cell_volume(float a1, float a2, float a3) {
  float largest = a3;
  if (a1 >= a2 && a1 >= a3) {
    largest = a1;
  } else if (a2 >= a1 && a2 >= a3) {
    largest = a2;
  }
  return static_cast<float>(std::pow(static_cast<double>(largest), 3.0));
}

float packing_efficiency(long double atoms, float volume) {
  return static_cast<float>(atoms * static_cast<LD>(model::kPackingFactor) /
                            static_cast<LD>(volume));
}

bool interchangeable_with_solvent(float solute_radius, float solvent_radius) {
  const LD difference = std::fabs(static_cast<LD>(solvent_radius) - solute_radius);
  return difference / solvent_radius <= static_cast<LD>(model::kSizeSimilarity);
}

double cube(float x) {
  return std::pow(static_cast<double>(x), 3.0);
}

}  // namespace glassform
