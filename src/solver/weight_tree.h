// Weights of a growing list of items, for drawing an item by weight: a Fenwick tree, so that
// adding an item, changing one weight and finding the item at a running sum each cost the
// logarithm of the list's length rather than its length.
#pragma once

#include <cstddef>
#include <vector>

namespace tessaron::solver {

class WeightTree {
  public:
    std::size_t Size() const { return weights_.size(); }
    double Weight(std::size_t index) const { return weights_[index]; }
    void Add(double weight);
    void Set(std::size_t index, double weight);
    double Total() const;
    // The first item whose running sum (its weight and all before it) exceeds `target`, for a
    // target from 0 up to the total; the last item for a target beyond it. Needs an item.
    std::size_t Find(double target) const;

  private:
    void Rebuild();
    std::vector<double> weights_;
    // Node n (counted from 1) holds the sum of the n & -n weights that end with item n - 1.
    std::vector<double> sums_;
    // Sums kept by adding differences drift by rounding; now and then they are summed afresh.
    std::size_t changes_ = 0;
};

}  // namespace tessaron::solver
