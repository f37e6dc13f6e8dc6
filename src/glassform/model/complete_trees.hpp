// Regression trees stored complete to a fixed depth, as the trainer writes them: node i has
// children 2i+1 and 2i+2, and a left child where the feature is at most the threshold. The
// thresholds are floats rounded down from the trainer's doubles, which keeps each comparison
// of a float feature exact. Internal to the model: the score and the casting thickness use it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace glassform::trees {

// A node's feature and threshold side by side: one load per level.
struct Node {
  float threshold;
  std::uint32_t feature;
};

template <std::size_t N>
constexpr std::array<Node, N> nodes_of(const std::array<float, N>& thresholds,
                                       const std::array<std::uint8_t, N>& features) {
  std::array<Node, N> nodes{};
  for (std::size_t i = 0; i < N; ++i)
    nodes[i] = {thresholds[i], features[i]};
  return nodes;
}

// `raw` plus the leaves of `count` complete trees of `Depth` levels from `first`, added tree by
// tree in the trainer's order; ten trees are walked at a time, which lets the processor overlap
// their independent loads.
template <int Depth, std::size_t Features>
double add_trees(double raw, std::span<const Node> nodes, std::span<const double> leaves,
                 std::size_t first, std::size_t count, const std::array<float, Features>& x) {
  constexpr std::size_t kInner = (std::size_t{1} << Depth) - 1;
  constexpr std::size_t kLeaves = std::size_t{1} << Depth;
  constexpr std::size_t kAtOnce = 10;
  for (std::size_t t = first; t < first + count; t += kAtOnce) {
    std::array<std::size_t, kAtOnce> node{};
    for (int level = 0; level < Depth; ++level) {
      for (std::size_t k = 0; k < kAtOnce; ++k) {
        const Node& at = nodes[(t + k) * kInner + node[k]];
        node[k] = 2 * node[k] + 1 + static_cast<std::size_t>(x[at.feature] > at.threshold);
      }
    }
    for (std::size_t k = 0; k < kAtOnce; ++k)
      raw += leaves[(t + k) * kLeaves + (node[k] - kInner)];
  }
  return raw;
}

}  // namespace glassform::trees
