#include "core/roadlighting/glare.hpp"

#include <cmath>
#include <cstddef>
#include <vector>

#include "core/numeric/degrees.hpp"
#include "core/roadlighting/column_workers.hpp"
#include "core/roadlighting/map_statistics.hpp"

namespace vl {

namespace {

// A luminaire at (xQ, overhang) seen from an eye 1.5 m above (xE, yE).
struct LuminaireSight {
    double d2;         // squared horizontal distance
    double gamma;      // at the luminaire, from the downward vertical
    double azimuth;    // from the eye towards the luminaire
    double folded;     // that azimuth folded into 0..180
    double intensity;  // towards the eye, cd/klm
};

LuminaireSight sightGeometry(const RoadInstallation& road, double xE, double yE, double xQ) {
    const double height = road.poleHeight - kEyeHeight;
    const double dy = yE - road.overhang;
    const double dx = xE - xQ;
    LuminaireSight sight;
    sight.d2 = dy * dy + dx * dx;
    sight.gamma = atand(std::sqrt(sight.d2) / height);
    sight.azimuth = azimuthToLuminaire(dx, dy);
    sight.folded = foldAzimuth(sight.azimuth, 0.0);
    sight.intensity = 0.0;
    return sight;
}

LuminaireSight sightFromEye(const RoadInstallation& road, const LuminaireIntensity& luminaire, double xE, double yE,
                            double xQ) {
    LuminaireSight sight = sightGeometry(road, xE, yE, xQ);
    sight.intensity = luminaire.at(sight.azimuth + 180.0, sight.gamma);
    return sight;
}

// Angle between the line of sight (1 deg below the horizontal, along +x) and the luminaire.
double veilingFromSight(const RoadInstallation& road, const LuminaireSight& sight) {
    const double height = road.poleHeight - kEyeHeight;
    const double u = cosd(90.0 - sight.gamma + 1.0);
    const double v = cosd(sight.folded);
    const double theta = acosd(u * v);
    return sind(sight.gamma - 1.0) * sight.intensity * 10.0 * v / (theta * theta * (height * height + sight.d2));
}

}  // namespace

double veilingContribution(const RoadInstallation& road, const LuminaireIntensity& luminaire, double xE, double yE,
                           double xQ) {
    return veilingFromSight(road, sightFromEye(road, luminaire, xE, yE, xQ));
}

double glareObserverVeiling(const RoadInstallation& road, const LuminaireIntensity& luminaire, double yE,
                            std::span<const int> order) {
    const double xE = glareObserverX(road);
    double sum = 0.0;
    for (const int n : order) {
        const double contribution = veilingContribution(road, luminaire, xE, yE, static_cast<double>(n) * road.spacing);
        if (kRelativeThreshold * sum <= contribution) sum = sum + contribution;
    }
    return sum;
}

GlareObservers computeGlareObservers(const ComputationGrid& grid, const RoadInstallation& road,
                                     const LuminaireIntensity& luminaire) {
    GlareObservers g;
    g.veilingLuminance1 =
        glareObserverVeiling(road, luminaire, observerY(grid, road, 1), kGlareRowNearestFirst) * road.lampFlux;
    g.veilingLuminance2 =
        glareObserverVeiling(road, luminaire, observerY(grid, road, 2), kGlareRowFarthestFirst) * road.lampFlux;
    return g;
}

namespace {

struct VerticalSums {
    double semicylindrical = 0;
    double vertical = 0;
};

// Illuminances 1.5 m above a point on a vertical semicylinder and a vertical plane both
// facing -x, from one luminaire behind the point.
void addVertical(const RoadInstallation& road, const LuminaireSight& sight, VerticalSums& sums) {
    const double height = road.poleHeight - kEyeHeight;
    const double hh = height * height;
    const double cg = cosd(sight.gamma);
    const double w = sight.intensity * sind(sight.gamma) * (cg * cg);
    const double p = cosd(180.0 - sight.folded);
    sums.semicylindrical = sums.semicylindrical + (p + 1.0) * w / (kPi * hh);
    sums.vertical = sums.vertical + p * w / hh;
}

// Main row index m of luminaire n (kMainRow runs 14 .. -14).
std::size_t rowIndex(int n) { return static_cast<std::size_t>(kMainRow.front() - n); }

}  // namespace

GlareMaps computeGlareMaps(const ComputationGrid& grid, const RoadInstallation& road,
                           const LuminaireIntensity& luminaire, int workers, std::span<const double> eyeIntensity) {
    const int nX = grid.pointsAlongX;
    const int nY = grid.pointsAlongY;
    const double flux = road.lampFlux;
    const double height = road.poleHeight - kEyeHeight;
    const std::size_t perPoint = kMainRow.size();
    const bool shared = !eyeIntensity.empty();
    GlareMaps maps{GridMap(nX, nY), GridMap(nX, nY), GridMap(nX, nY)};
    forEachColumn(nX, workers, [&](int i) {
        const double x = gridPointX(grid, i);
        // The luminaires ahead seen at most 20 deg above the eye's horizontal (the veiling
        // luminance sums only those), then every one behind.
        std::vector<int> visited;
        for (const int n : kAheadOfPoint) {
            const double xQ = static_cast<double>(n) * road.spacing;
            if (atand(height / (xQ - x)) <= kScreeningAngle) visited.push_back(n);
        }
        const std::size_t ahead = visited.size();
        visited.insert(visited.end(), kBehindPoint.begin(), kBehindPoint.end());
        std::vector<LuminaireSight> sights(static_cast<std::size_t>(nY) * visited.size());
        std::vector<TableLookup> batch;
        if (!shared) batch.resize(sights.size());
        for (int j = 0; j < nY; ++j) {
            const double y = gridPointY(grid, j);
            const std::size_t point = static_cast<std::size_t>(i) * static_cast<std::size_t>(nY) + static_cast<std::size_t>(j);
            for (std::size_t v = 0; v < visited.size(); ++v) {
                const std::size_t k = static_cast<std::size_t>(j) * visited.size() + v;
                const int n = visited[v];
                LuminaireSight& sight = sights[k];
                sight = sightGeometry(road, x, y, static_cast<double>(n) * road.spacing);
                if (shared) {
                    sight.intensity = eyeIntensity[point * perPoint + rowIndex(n)];
                } else {
                    batch[k] = TableLookup{sight.azimuth + 180.0, sight.gamma, 0.0, false, 0.0, 0.0};
                }
            }
        }
        if (!shared) {
            luminaire.atMany(batch);
            for (std::size_t k = 0; k < sights.size(); ++k) sights[k].intensity = batch[k].value;
        }
        for (int j = 0; j < nY; ++j) {
            const LuminaireSight* s = sights.data() + static_cast<std::size_t>(j) * visited.size();
            double veiling = 0.0;
            for (std::size_t v = 0; v < ahead; ++v) veiling = veiling + veilingFromSight(road, s[v]);
            VerticalSums sums;
            for (std::size_t v = ahead; v < visited.size(); ++v) addVertical(road, s[v], sums);
            maps.veilingLuminance(i, j) = veiling * flux;
            maps.semicylindricalIlluminance(i, j) = sums.semicylindrical * flux;
            maps.verticalIlluminance(i, j) = sums.vertical * flux;
        }
    });
    return maps;
}

double thresholdIncrement(double veilingLuminance, double initialAverageLuminance) {
    return 65.0 * veilingLuminance / std::pow(initialAverageLuminance, kThresholdExponent);
}

double glareRating(double veilingLuminance, double maintainedAverageLuminance, double q) {
    const double environment = 0.035 * maintainedAverageLuminance / q;
    return 27.0 + 24.0 * std::log10(veilingLuminance / std::pow(environment, kGlareRatingExponent));
}

void computeGlareStatistics(double q, RoadLightingResult& r) {
    const int nX = r.grid.pointsAlongX;
    const int nY = r.grid.pointsAlongY;
    r.veilingLuminanceStats = computeMapStatistics(r.veilingLuminance);
    r.thresholdIncrement1 = thresholdIncrement(r.veilingLuminanceObserver1, r.luminanceObserver1Stats.average / q);
    r.thresholdIncrement2 = thresholdIncrement(r.veilingLuminanceObserver2, r.luminanceObserver2Stats.average / q);
    for (int i = 0; i < nX; ++i) {
        for (int j = 0; j < nY; ++j) {
            r.semicylindricalIlluminance(i, j) = r.semicylindricalIlluminance(i, j) * q;
            r.verticalIlluminance(i, j) = r.verticalIlluminance(i, j) * q;
        }
    }
    r.semicylindricalIlluminanceStats = computeMapStatistics(r.semicylindricalIlluminance);
    r.verticalIlluminanceStats = computeMapStatistics(r.verticalIlluminance);
    r.glareRating = GridMap(nX, nY);
    for (int i = 0; i < nX; ++i) {
        for (int j = 0; j < nY; ++j) {
            r.glareRating(i, j) = glareRating(r.veilingLuminance(i, j), r.luminanceObserver1Stats.average, q);
        }
    }
    r.glareRatingStats = computeMapStatistics(r.glareRating);
}

}  // namespace vl
