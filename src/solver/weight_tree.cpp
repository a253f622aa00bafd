#include "solver/weight_tree.h"

#include <algorithm>

namespace tessaron::solver {

namespace {

// The lowest set bit of a node number: how many weights the node sums.
std::size_t Span(std::size_t node) {
    return node & (~node + 1);
}

constexpr std::size_t kRebuildEvery = std::size_t{1} << 16;

}  // namespace

void WeightTree::Add(double weight) {
    weights_.push_back(weight);
    const std::size_t node = weights_.size();
    double sum = 0.0;
    for (std::size_t i = node - Span(node); i < node; ++i) {
        sum += weights_[i];
    }
    sums_.push_back(sum);
}

void WeightTree::Set(std::size_t index, double weight) {
    const double change = weight - weights_[index];
    weights_[index] = weight;
    for (std::size_t node = index + 1; node <= sums_.size(); node += Span(node)) {
        sums_[node - 1] += change;
    }
    if (++changes_ >= kRebuildEvery) {
        Rebuild();
    }
}

double WeightTree::Total() const {
    double total = 0.0;
    for (std::size_t node = sums_.size(); node > 0; node -= Span(node)) {
        total += sums_[node - 1];
    }
    return total;
}

std::size_t WeightTree::Find(double target) const {
    // Down the tree: take every node whose sum still lies at or below what is left of the target.
    std::size_t found = 0;
    std::size_t step = 1;
    while (step * 2 <= sums_.size()) {
        step *= 2;
    }
    for (; step > 0; step /= 2) {
        const std::size_t next = found + step;
        if (next <= sums_.size() && sums_[next - 1] <= target) {
            found = next;
            target -= sums_[next - 1];
        }
    }
    return std::min(found, sums_.size() - 1);
}

void WeightTree::Rebuild() {
    changes_ = 0;
    std::copy(weights_.begin(), weights_.end(), sums_.begin());
    for (std::size_t node = 1; node <= sums_.size(); ++node) {
        const std::size_t parent = node + Span(node);
        if (parent <= sums_.size()) {
            sums_[parent - 1] += sums_[node - 1];
        }
    }
}

}  // namespace tessaron::solver
