#include "core/roadlighting/luminance.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <stdexcept>
#include <vector>

#include "core/numeric/degrees.hpp"
#include "core/roadlighting/column_workers.hpp"
#include "core/roadlighting/glare.hpp"

namespace vl {

namespace {

struct PointSums {
    std::array<double, kDirections> luminance{};
    double observer1 = 0;
    double observer2 = 0;
    double horizontal = 0;
    double hemispherical = 0;
};

// A luminaire of the main row seen from a grid point.
struct RowSight {
    double d2;       // squared horizontal distance
    double t;        // tan gamma
    double gamma;    // from the downward vertical at the luminaire
    double azimuth;  // from the point towards the luminaire
};

// Where a point's reflection lookups for one luminaire lie in its batch: the 36 viewing
// directions from `first`, and each observer's own lookup (-1: one of the 36, at `same`).
struct ReflectionPlace {
    std::size_t first = 0;
    long observer[2] = {-1, -1};
    std::size_t same[2] = {0, 0};
};

// Points whose reflections are looked up in one batch.
constexpr int kStrip = 8;

// Main row index m of luminaire n (kMainRow runs 14 .. -14).
std::size_t rowIndex(int n) { return static_cast<std::size_t>(kMainRow.front() - n); }

// What a worker keeps from column to column.
struct ColumnScratch {
    std::vector<EyeSight> eyeSights;       // the glare maps', [j * row.count + v]
    std::vector<RowSight> sights;          // [j * 29 + m]
    std::vector<TableLookup> intensities;  // [j * 29 + m]; the second value: towards the eye
    std::vector<TableLookup> reflections;  // one strip's
    std::array<ReflectionPlace, kStrip * kRowLuminaires> places{};  // [(j % kStrip) * 29 + m]
    std::vector<std::size_t> pending;      // reflections not taken from the mirror column
    std::vector<TableLookup> pendingLookups;
    std::vector<double> agedTerms;         // [j * 29 + m]
};

// The intensities towards the main row from every point of column x: batched, and with the
// intensity towards the eye 1.5 m above the point on the same C from each luminaire of
// `eyeRow` (the glare maps' luminaires at tilt 0; none otherwise).
void columnIntensities(const ComputationGrid& grid, const RoadInstallation& road, const LuminaireIntensity& luminaire,
                       double x, const GlareRow& eyeRow, ColumnScratch& scratch) {
    const int nY = grid.pointsAlongY;
    const double h = road.poleHeight;
    const double eyeHeight = road.poleHeight - kEyeHeight;
    std::array<bool, kRowLuminaires> eyeWanted{};
    for (std::size_t v = 0; v < eyeRow.count; ++v) eyeWanted[rowIndex(eyeRow.luminaires[v])] = true;
    scratch.sights.resize(static_cast<std::size_t>(nY) * kMainRow.size());
    scratch.intensities.resize(scratch.sights.size());
    for (int j = 0; j < nY; ++j) {
        const double y = gridPointY(grid, j);
        for (std::size_t m = 0; m < kMainRow.size(); ++m) {
            const std::size_t k = static_cast<std::size_t>(j) * kMainRow.size() + m;
            const double xQ = static_cast<double>(kMainRow[m]) * road.spacing;
            const double dx = x - xQ;
            const double dy = y - road.overhang;
            RowSight& s = scratch.sights[k];
            s.d2 = dy * dy + dx * dx;
            s.t = std::sqrt(s.d2) / h;
            s.gamma = atand(s.t);
            s.azimuth = azimuthToLuminaire(dx, dy);
            TableLookup& q = scratch.intensities[k];
            q = TableLookup{s.azimuth + 180.0, s.gamma, 0.0, eyeWanted[m], 0.0, 0.0};
            // The glare maps' sight from the eye: the same d2 and azimuth, its own gamma.
            if (q.second) q.x2Second = atand(std::sqrt(s.d2) / eyeHeight);
        }
    }
    luminaire.atMany(scratch.intensities);
}

// The glare maps' values at the points of column i from the shared lookups.
void columnGlare(const RoadInstallation& road, const GlareRow& row, int i, int nY, ColumnScratch& scratch,
                 GlareMaps& maps) {
    scratch.eyeSights.resize(static_cast<std::size_t>(nY) * row.count);
    for (int j = 0; j < nY; ++j) {
        for (std::size_t v = 0; v < row.count; ++v) {
            const std::size_t k = static_cast<std::size_t>(j) * kMainRow.size() + rowIndex(row.luminaires[v]);
            const TableLookup& q = scratch.intensities[k];
            scratch.eyeSights[static_cast<std::size_t>(j) * row.count + v] =
                EyeSight{scratch.sights[k].d2, q.x2Second, scratch.sights[k].azimuth, q.valueSecond};
        }
    }
    glareColumn(road, row, i, nY, scratch.eyeSights.data(), maps);
}

// The reflection lookups of one grid point, for every luminaire of the main row with tan
// gamma up to 12, appended to `batch`: the 36 viewing directions, then each observer's beta
// unless one of the 36 is that very beta.
void queueReflections(const ComputationGrid& grid, const RoadInstallation& road, double x, double y,
                      const RowSight* sights, ReflectionPlace* places, std::vector<TableLookup>& batch) {
    const double viewing[2] = {observerAzimuth(grid, road, 1, x, y), observerAzimuth(grid, road, 2, x, y)};
    std::array<double, kDirections> beta{};
    for (std::size_t m = 0; m < kMainRow.size(); ++m) {
        const RowSight& s = sights[m];
        if (s.t > kReflectionCutoff) continue;
        ReflectionPlace& place = places[m];
        place.first = batch.size();
        for (int k = 0; k < kDirections; ++k) {
            beta[static_cast<std::size_t>(k)] = foldAzimuth(s.azimuth, static_cast<double>(10 * k));
            batch.push_back({beta[static_cast<std::size_t>(k)], s.t, 0.0, false, 0.0, 0.0});
        }
        for (int o = 0; o < 2; ++o) {
            const double b = foldAzimuth(s.azimuth, viewing[o]);
            const auto found = std::find(beta.begin(), beta.end(), b);
            if (found != beta.end()) {
                place.observer[o] = -1;
                place.same[o] = static_cast<std::size_t>(found - beta.begin());
            } else {
                place.observer[o] = static_cast<long>(batch.size());
                batch.push_back({b, s.t, 0.0, false, 0.0, 0.0});
            }
        }
    }
}

// One grid point: every sum runs over the main row in its order (14 S down to -14 S), with
// the intensities and reflections looked up before.
void sumPoint(const RoadInstallation& road, const RoadLookups& lookups, const RowSight* sights,
              const TableLookup* intensities, const ReflectionPlace* places, const std::vector<TableLookup>& batch,
              PointSums& sums, double* agedTerms) {
    const double h = road.poleHeight;
    const double hh = h * h;
    auto clamped = [](double r) { return r < 0.0 ? 0.0 : r; };
    for (std::size_t m = 0; m < kMainRow.size(); ++m) {
        const RowSight& s = sights[m];
        const double intensity = intensities[m].value;
        const bool reflects = s.t <= kReflectionCutoff;
        const ReflectionPlace& place = places[m];
        for (int k = 0; k < kDirections; ++k) {
            const auto kk = static_cast<std::size_t>(k);
            const double r = reflects ? clamped(batch[place.first + kk].value) : 0.0;
            sums.luminance[kk] = sums.luminance[kk] + intensity * r * 0.0001 / hh;
        }
        const double dd = hh + s.d2;
        const double cg = cosd(s.gamma);
        sums.horizontal = sums.horizontal + intensity * cg / dd;
        sums.hemispherical = sums.hemispherical + intensity * (1.0 + cg) / (4.0 * dd);
        agedTerms[m] = lookups.agedAsphalt.at(s.gamma) * intensity * cg / dd;
        double observed[2] = {0.0, 0.0};
        if (reflects) {
            for (int o = 0; o < 2; ++o) {
                observed[o] = place.observer[o] < 0 ? batch[place.first + place.same[o]].value
                                                    : batch[static_cast<std::size_t>(place.observer[o])].value;
                observed[o] = clamped(observed[o]);
            }
        }
        sums.observer1 = sums.observer1 + intensity * observed[0] * 0.0001 / hh;
        sums.observer2 = sums.observer2 + intensity * observed[1] * 0.0001 / hh;
    }
}

// The aged asphalt sum runs over the whole pass in visiting order: each column's terms are
// added as soon as the columns before it are in.
class ColumnOrderedSum {
public:
    void add(int column, const std::vector<double>& terms) {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (column != next_) {
            waiting_.emplace(column, terms);
            return;
        }
        fold(terms);
        for (auto it = waiting_.find(next_); it != waiting_.end(); it = waiting_.find(next_)) {
            fold(it->second);
            waiting_.erase(it);
        }
    }
    double sum() const { return sum_; }

private:
    void fold(const std::vector<double>& terms) {
        for (const double term : terms) sum_ = sum_ + term;
        ++next_;
    }
    std::mutex mutex_;
    std::map<int, std::vector<double>> waiting_;
    int next_ = 0;
    double sum_ = 0.0;
};

}  // namespace

double clampedCoefficient(const SurfaceReflection& surface, double beta, double tanGamma) {
    if (tanGamma > kReflectionCutoff) return 0.0;
    const double r = surface.coefficient(beta, tanGamma);
    return r < 0.0 ? 0.0 : r;
}

double observerAzimuth(const ComputationGrid& grid, const RoadInstallation& road, int observer, double x, double y) {
    if (road.gridChoice == 3) return 0.0;
    return atand((y - observerY(grid, road, observer)) / (x + grid.observerDistance));
}

double horizontalIlluminanceAt(const RoadInstallation& road, const LuminaireIntensity& luminaire, double x, double y) {
    const double h = road.poleHeight;
    const double hh = h * h;
    double sum = 0.0;
    for (const int n : kMainRow) {
        const double xQ = static_cast<double>(n) * road.spacing;
        const double dx = x - xQ;
        const double dy = y - road.overhang;
        const double d2 = dy * dy + dx * dx;
        const double gamma = atand(std::sqrt(d2) / h);
        const double intensity = luminaire.at(azimuthToLuminaire(dx, dy) + 180.0, gamma);
        sum = sum + intensity * cosd(gamma) / (hh + d2);
    }
    return sum * road.lampFlux * road.maintenanceFactor;
}

void horizontalIlluminanceMany(const RoadInstallation& road, const LuminaireIntensity& luminaire,
                               std::span<const RoadPoint> points, std::span<double> values) {
    if (values.size() != points.size()) throw std::invalid_argument("horizontalIlluminanceMany: sizes differ");
    const double h = road.poleHeight;
    const double hh = h * h;
    const std::size_t perPoint = kMainRow.size();
    std::vector<TableLookup> lookups(points.size() * perPoint);
    std::vector<double> d2s(lookups.size());
    std::vector<double> gammas(lookups.size());
    for (std::size_t p = 0; p < points.size(); ++p) {
        for (std::size_t m = 0; m < perPoint; ++m) {
            const std::size_t k = p * perPoint + m;
            const double xQ = static_cast<double>(kMainRow[m]) * road.spacing;
            const double dx = points[p].x - xQ;
            const double dy = points[p].y - road.overhang;
            d2s[k] = dy * dy + dx * dx;
            gammas[k] = atand(std::sqrt(d2s[k]) / h);
            lookups[k] = TableLookup{azimuthToLuminaire(dx, dy) + 180.0, gammas[k], 0.0, false, 0.0, 0.0};
        }
    }
    luminaire.atMany(lookups);
    for (std::size_t p = 0; p < points.size(); ++p) {
        double sum = 0.0;
        for (std::size_t m = 0; m < perPoint; ++m) {
            const std::size_t k = p * perPoint + m;
            sum = sum + lookups[k].value * cosd(gammas[k]) / (hh + d2s[k]);
        }
        values[p] = sum * road.lampFlux * road.maintenanceFactor;
    }
}

namespace {

bool sameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

// The reflections of a strip of points of a column whose mirror column (x mirrored about
// half a spacing) was just done: a point of the mirror column sees luminaire 1 - n where
// this one sees n, at the same tan gamma and mirrored azimuths, so that many of its betas
// are those of the viewing direction 180 - 10 k (or 10 k) there, often to the bit. A
// lookup whose beta and tan gamma are bit for bit those of one made there takes its value;
// the others are looked up.
void reuseMirrored(const ColumnScratch& mirror, int firstPoint, int pointsInStrip, ColumnScratch& column) {
    const std::vector<TableLookup>& before = mirror.reflections;
    std::vector<TableLookup>& batch = column.reflections;
    std::vector<bool> done(batch.size(), false);
    for (int s = 0; s < pointsInStrip; ++s) {
        const std::size_t strip = static_cast<std::size_t>(s) * kMainRow.size();
        const std::size_t point = static_cast<std::size_t>(firstPoint + s) * kMainRow.size();
        for (std::size_t m = 0; m < kMainRow.size(); ++m) {
            const int partner = 1 - kMainRow[m];
            if (partner < kMainRow.back() || partner > kMainRow.front()) continue;
            const std::size_t pm = rowIndex(partner);
            const RowSight& a = column.sights[point + m];
            const RowSight& b = mirror.sights[point + pm];
            // Both looked up in this strip (tan gamma up to 12), at the same tan gamma.
            if (a.t > kReflectionCutoff || b.t > kReflectionCutoff || !sameBits(a.t, b.t)) continue;
            const ReflectionPlace& p = column.places[strip + m];
            const ReflectionPlace& q = mirror.places[strip + pm];
            for (int k = 0; k < kDirections; ++k) {
                TableLookup& l = batch[p.first + static_cast<std::size_t>(k)];
                for (const int candidate : {(kDirections / 2 - k + kDirections) % kDirections, k}) {
                    const TableLookup& earlier = before[q.first + static_cast<std::size_t>(candidate)];
                    if (sameBits(earlier.x1, l.x1)) {
                        l.value = earlier.value;
                        done[p.first + static_cast<std::size_t>(k)] = true;
                        break;
                    }
                }
            }
        }
    }
    column.pending.clear();
    column.pendingLookups.clear();
    for (std::size_t k = 0; k < batch.size(); ++k) {
        if (done[k]) continue;
        column.pending.push_back(k);
        column.pendingLookups.push_back(batch[k]);
    }
}

}  // namespace

bool mainPassComputesGlare(const RoadLookups& lookups) { return lookups.luminaire.tilt() == 0.0; }

MainPass computeMainPass(const ComputationGrid& grid, const RoadInstallation& road, const RoadLookups& lookups,
                         int workers, DirectionalLuminance& luminanceByDirection, const ColumnControl& control) {
    const int nX = grid.pointsAlongX;
    const int nY = grid.pointsAlongY;
    const double flux = road.lampFlux;
    const std::size_t perPoint = kMainRow.size();
    const std::size_t points = static_cast<std::size_t>(nX) * static_cast<std::size_t>(nY);
    MainPass pass{GridMap(nX, nY), GridMap(nX, nY), GridMap(nX, nY), GridMap(nX, nY), 0.0, std::nullopt};
    luminanceByDirection.resize(points * kDirections);  // every value written by its column
    const bool withGlare = mainPassComputesGlare(lookups);
    if (withGlare) pass.glare = GlareMaps{GridMap(nX, nY), GridMap(nX, nY), GridMap(nX, nY)};
    const bool reuse = lookups.surface.repeatable();
    ColumnOrderedSum aged;
    std::mutex scratchMutex;
    std::vector<std::unique_ptr<ColumnScratch>> idle;
    auto takeScratch = [&] {
        const std::lock_guard<std::mutex> lock(scratchMutex);
        if (idle.empty()) return std::make_unique<ColumnScratch>();
        std::unique_ptr<ColumnScratch> s = std::move(idle.back());
        idle.pop_back();
        return s;
    };
    // Columns i and nX-1-i are computed together: the second may reuse the first's reflections.
    forEachColumn((nX + 1) / 2, workers, control, [&](int task) {
        const int left = task;
        const int right = nX - 1 - task;
        const int count = right > left ? 2 : 1;
        std::array<std::unique_ptr<ColumnScratch>, 2> scratch{takeScratch(), count == 2 ? takeScratch() : nullptr};
        const std::array<int, 2> column{left, right};
        std::array<GlareRow, 2> eyeRow{};
        for (int c = 0; c < count; ++c) {
            const double x = gridPointX(grid, column[c]);
            eyeRow[c] = withGlare ? glareRow(road, x) : GlareRow{};
            columnIntensities(grid, road, lookups.luminaire, x, eyeRow[c], *scratch[c]);
            scratch[c]->agedTerms.resize(static_cast<std::size_t>(nY) * perPoint);
        }
        for (int j0 = 0; j0 < nY; j0 += kStrip) {
            const int strip = std::min(kStrip, nY - j0);
            for (int c = 0; c < count; ++c) {
                ColumnScratch& s = *scratch[c];
                const int i = column[c];
                const double x = gridPointX(grid, i);
                // The reflections of a strip of points in one batch.
                s.reflections.clear();
                for (int j = j0; j < j0 + strip; ++j) {
                    const std::size_t at = static_cast<std::size_t>(j) * perPoint;
                    queueReflections(grid, road, x, gridPointY(grid, j), s.sights.data() + at,
                                     s.places.data() + static_cast<std::size_t>(j - j0) * perPoint, s.reflections);
                }
                if (c == 1 && reuse) {
                    reuseMirrored(*scratch[0], j0, strip, s);
                    lookups.surface.coefficientMany(s.pendingLookups);
                    for (std::size_t k = 0; k < s.pending.size(); ++k) s.reflections[s.pending[k]].value = s.pendingLookups[k].value;
                } else {
                    lookups.surface.coefficientMany(s.reflections);
                }
                for (int j = j0; j < j0 + strip; ++j) {
                    const std::size_t point = static_cast<std::size_t>(i) * static_cast<std::size_t>(nY) + static_cast<std::size_t>(j);
                    const std::size_t first = static_cast<std::size_t>(j) * perPoint;
                    PointSums sums;
                    sumPoint(road, lookups, s.sights.data() + first, s.intensities.data() + first,
                             s.places.data() + static_cast<std::size_t>(j - j0) * perPoint, s.reflections, sums,
                             s.agedTerms.data() + first);
                    for (std::size_t k = 0; k < sums.luminance.size(); ++k) {
                        luminanceByDirection[point * kDirections + k] = sums.luminance[k] * flux;
                    }
                    pass.luminanceObserver1(i, j) = sums.observer1 * flux;
                    pass.luminanceObserver2(i, j) = sums.observer2 * flux;
                    pass.horizontalIlluminance(i, j) = sums.horizontal * flux;
                    pass.hemisphericalIlluminance(i, j) = sums.hemispherical * flux;
                }
            }
        }
        for (int c = 0; c < count; ++c) {
            if (withGlare) columnGlare(road, eyeRow[c], column[c], nY, *scratch[c], *pass.glare);
            aged.add(column[c], scratch[c]->agedTerms);
        }
        const std::lock_guard<std::mutex> lock(scratchMutex);
        for (int c = 0; c < count; ++c) idle.push_back(std::move(scratch[c]));
    });
    const double g = aged.sum();
    pass.agedAsphaltReflectedPercent = g * 10.0 * road.roadWidth * road.spacing / static_cast<double>(nX * nY * 100);
    return pass;
}

}  // namespace vl
