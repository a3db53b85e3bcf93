// A map of values over the grid points and the statistics the report gives of it.
#pragma once

#include <cstddef>
#include <vector>

namespace vl {

// Value at point (i, j): i along x (0..nX-1), j across (0..nY-1).
class GridMap {
public:
    GridMap() = default;
    GridMap(int nX, int nY)
        : nX_(nX), nY_(nY), values_(static_cast<std::size_t>(nX) * static_cast<std::size_t>(nY), 0.0) {}
    double& operator()(int i, int j) { return values_[index(i, j)]; }
    double operator()(int i, int j) const { return values_[index(i, j)]; }
    int nX() const { return nX_; }
    int nY() const { return nY_; }
    bool empty() const { return values_.empty(); }

private:
    std::size_t index(int i, int j) const {
        return static_cast<std::size_t>(i) * static_cast<std::size_t>(nY_) + static_cast<std::size_t>(j);
    }
    int nX_ = 0;
    int nY_ = 0;
    std::vector<double> values_;
};

struct MapStatistics {
    double average = 0;
    double minimum = 0;
    double maximum = 0;
    double rms = 0;
};

}  // namespace vl
