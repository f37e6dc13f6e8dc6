// Constants of the cluster-packing model, each as the model has always used it: the
// reported numbers depend on these exact values, not on their mathematical ideals.
#pragma once

#include <array>

namespace glassform::model {

// pi to ten significant digits, and four times that value.
inline constexpr double kPi = 3.141592654;
inline constexpr double kFourPi = 12.566370616;

// Radius-ratio thresholds between triangular (3), square (4) and pentagonal (5) cluster faces.
inline constexpr double kTriangleFaceMin = 0.225;
inline constexpr double kSquareFaceMin = 0.414;
inline constexpr double kPentagonFaceMin = 0.902;

// Below this radius ratio a solute is too small for the cluster to be stable.
inline constexpr double kSmallSoluteRatio = kTriangleFaceMin;

// 4/3 as the nearest double, inside the cluster spacing term sqrt((R + 1)^2 - 4/3).
inline constexpr double kFourThirds = 1.3333333333333333;

// Number of solvent atoms around a solute at full coordination.
inline constexpr double kFullShell = 12.0;

// 400 * 4pi/3 with pi = 3.141592654: sphere volume over cube volume, in percent, with the
// cell edges measured in units of the solvent radius.
inline constexpr double kPackingFactor = 1675.5160821333336;

// Multipliers of the cluster spacing term giving candidate cell edges.
inline constexpr double kTwoRootTwo = 2.82842712474619;           // 2*sqrt(2), fcc cluster stacking
inline constexpr double kEightOverRootThree = 4.618802153517007;  // 8/sqrt(3), bcc, binary
inline constexpr double kTwoOverRootThree = 1.1547005383792517;   // 2/sqrt(3), bcc body diagonal

// Relative radius difference at or below which a solute is interchangeable with the solvent.
inline constexpr double kSizeSimilarity = 0.02;

// Ideal radius ratios for coordination numbers 4 to 24, from the efficient packing of
// spheres of radius R around a central one.
inline constexpr int kIdealMin = 4;
inline constexpr int kIdealMax = 24;
inline constexpr std::array<float, kIdealMax - kIdealMin + 1> kIdealRadiusRatios{
    0.225F, 0.362F, 0.414F, 0.518F, 0.617F, 0.71F,  0.799F, 0.884F, 0.902F, 0.976F, 1.047F,
    1.116F, 1.183F, 1.248F, 1.311F, 1.373F, 1.433F, 1.491F, 1.548F, 1.604F, 1.659F};

}  // namespace glassform::model
