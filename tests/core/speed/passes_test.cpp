// The batched grid passes (main pass with its shared glare lookups, the glare maps of a
// tilted luminaire, the aged asphalt sum folded as columns finish) against a literal
// point-by-point transcription, bit for bit, on every instruction set, with one and two
// workers.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "core/numeric/degrees.hpp"
#include "core/roadlighting/glare.hpp"
#include "core/roadlighting/luminance.hpp"
#include "readers/eulumdat.hpp"
#include "readers/surface_files.hpp"

namespace vl {
namespace {

bool same(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b) || (std::isnan(a) && std::isnan(b));
}

// The passes as first written: one point at a time, one lookup at a time.
struct LiteralPasses {
    GridMap l1, l2, e, ehs, veiling, semicylindrical, vertical;
    std::vector<double> byDirection;
    double aged = 0;
};

struct Sight {
    double d2, gamma, folded, intensity;
};

Sight literalSight(const RoadInstallation& road, const LuminaireIntensity& luminaire, double xE, double yE, double xQ) {
    const double dy = yE - road.overhang;
    const double dx = xE - xQ;
    Sight s;
    s.d2 = dy * dy + dx * dx;
    s.gamma = atand(std::sqrt(s.d2) / (road.poleHeight - kEyeHeight));
    const double azimuth = azimuthToLuminaire(dx, dy);
    s.folded = foldAzimuth(azimuth, 0.0);
    s.intensity = luminaire.at(azimuth + 180.0, s.gamma);
    return s;
}

LiteralPasses literalPasses(const ComputationGrid& grid, const RoadInstallation& road, const RoadLookups& lookups) {
    const int nX = grid.pointsAlongX;
    const int nY = grid.pointsAlongY;
    const double h = road.poleHeight;
    const double hh = h * h;
    const double height = road.poleHeight - kEyeHeight;
    const double flux = road.lampFlux;
    LiteralPasses p{GridMap(nX, nY), GridMap(nX, nY), GridMap(nX, nY), GridMap(nX, nY), GridMap(nX, nY),
                    GridMap(nX, nY), GridMap(nX, nY), {}, 0.0};
    std::vector<double> agedTerms;
    for (int i = 0; i < nX; ++i) {
        const double x = gridPointX(grid, i);
        for (int j = 0; j < nY; ++j) {
            const double y = gridPointY(grid, j);
            std::array<double, kDirections> luminance{};
            double o1 = 0, o2 = 0, e = 0, ehs = 0;
            const double a1 = observerAzimuth(grid, road, 1, x, y);
            const double a2 = observerAzimuth(grid, road, 2, x, y);
            for (const int n : kMainRow) {
                const double dx = x - static_cast<double>(n) * road.spacing;
                const double dy = y - road.overhang;
                const double d2 = dy * dy + dx * dx;
                const double t = std::sqrt(d2) / h;
                const double gamma = atand(t);
                const double azimuth = azimuthToLuminaire(dx, dy);
                const double intensity = lookups.luminaire.at(azimuth + 180.0, gamma);
                std::array<double, kDirections> beta{};
                std::array<double, kDirections> r{};
                for (std::size_t k = 0; k < beta.size(); ++k) {
                    beta[k] = foldAzimuth(azimuth, static_cast<double>(10 * k));
                    r[k] = clampedCoefficient(lookups.surface, beta[k], t);
                    luminance[k] = luminance[k] + intensity * r[k] * 0.0001 / hh;
                }
                const double dd = hh + d2;
                const double cg = cosd(gamma);
                e = e + intensity * cg / dd;
                ehs = ehs + intensity * (1.0 + cg) / (4.0 * dd);
                agedTerms.push_back(lookups.agedAsphalt.at(gamma) * intensity * cg / dd);
                auto observed = [&](double viewing) {
                    const double b = foldAzimuth(azimuth, viewing);
                    for (std::size_t k = 0; k < beta.size(); ++k) {
                        if (beta[k] == b) return r[k];
                    }
                    return clampedCoefficient(lookups.surface, b, t);
                };
                o1 = o1 + intensity * observed(a1) * 0.0001 / hh;
                o2 = o2 + intensity * observed(a2) * 0.0001 / hh;
            }
            for (const double l : luminance) p.byDirection.push_back(l * flux);
            p.l1(i, j) = o1 * flux;
            p.l2(i, j) = o2 * flux;
            p.e(i, j) = e * flux;
            p.ehs(i, j) = ehs * flux;
            double veiling = 0.0;
            for (const int n : kAheadOfPoint) {
                const double xQ = static_cast<double>(n) * road.spacing;
                if (atand(height / (xQ - x)) > kScreeningAngle) continue;
                const Sight s = literalSight(road, lookups.luminaire, x, y, xQ);
                const double u = cosd(90.0 - s.gamma + 1.0);
                const double v = cosd(s.folded);
                const double theta = acosd(u * v);
                veiling = veiling + sind(s.gamma - 1.0) * s.intensity * 10.0 * v / (theta * theta * (height * height + s.d2));
            }
            double semicylindrical = 0.0;
            double vertical = 0.0;
            for (const int n : kBehindPoint) {
                const Sight s = literalSight(road, lookups.luminaire, x, y, static_cast<double>(n) * road.spacing);
                const double cg = cosd(s.gamma);
                const double w = s.intensity * sind(s.gamma) * (cg * cg);
                const double q = cosd(180.0 - s.folded);
                semicylindrical = semicylindrical + (q + 1.0) * w / (kPi * (height * height));
                vertical = vertical + q * w / (height * height);
            }
            p.veiling(i, j) = veiling * flux;
            p.semicylindrical(i, j) = semicylindrical * flux;
            p.vertical(i, j) = vertical * flux;
        }
    }
    double g = 0.0;
    for (const double term : agedTerms) g = g + term;
    p.aged = g * 10.0 * road.roadWidth * road.spacing / static_cast<double>(nX * nY * 100);
    return p;
}

void expectSameMap(const GridMap& got, const GridMap& want, const char* what) {
    ASSERT_EQ(got.nX(), want.nX());
    ASSERT_EQ(got.nY(), want.nY());
    for (int i = 0; i < got.nX(); ++i) {
        for (int j = 0; j < got.nY(); ++j) ASSERT_TRUE(same(got(i, j), want(i, j))) << what << " at " << i << ", " << j;
    }
}

GridChoice record(int number, int nX, char flagX, int nY, char flagY, double o1 = 0.25, double o2 = 0.75) {
    return GridChoice{std::string(40, ' '), number, nX, flagX, nY, flagY, 60.0, 1.5, o1, o2};
}

// The installation of the form's defaults with a photometry, tilt, grid choice and surface.
void expectLiteralPasses(const std::string& photometry, double tilt, const GridChoice& gridRecord, int gridChoice,
                         const std::string& surfaceClass) {
    SCOPED_TRACE(photometry + " tilt " + std::to_string(tilt) + " grid " + std::to_string(gridRecord.gridNumber) +
                 " " + surfaceClass);
    EulumdatFile file;
    readEulumdat(photometry, file);
    SurfaceTableFile surfaceFile;
    readSurfaceTable(std::string(VL_BUNDLED_DATA_DIR) + "/SRT_" + surfaceClass, surfaceFile);
    const AgedAsphaltCurve curve = readAgedAsphaltCurve(std::string(VL_BUNDLED_DATA_DIR) + "/asphalt1_reflectance.dat");
    const LuminaireIntensity luminaire(file.table, tilt);
    const SurfaceReflection surface(surfaceFile.table);
    const AgedAsphaltReflectance aged(curve);
    const RoadLookups lookups{luminaire, surface, aged};
    RoadInstallation road;
    road.roadWidth = 7.0;
    road.spacing = 24.0;
    road.overhang = 2.5;
    road.poleHeight = 7.0;
    road.lampFlux = 6.5;
    road.maintenanceFactor = 0.8;
    road.tilt = tilt;
    road.gridChoice = gridChoice;
    const ComputationGrid grid = setupGrid(gridRecord, road, 0.0, 0.0);

    forceLookupInstructionSet(InstructionSet::Scalar);
    const LiteralPasses want = literalPasses(grid, road, lookups);
    for (const InstructionSet set : supportedInstructionSets()) {
        ASSERT_TRUE(forceLookupInstructionSet(set));
        for (const int workers : {1, 2}) {
            SCOPED_TRACE(std::string(instructionSetName(set)) + ", workers " + std::to_string(workers));
            DirectionalLuminance byDirection;
            MainPass pass = computeMainPass(grid, road, lookups, workers, byDirection);
            ASSERT_EQ(pass.glare.has_value(), tilt == 0.0);
            const GlareMaps glare = pass.glare ? std::move(*pass.glare) : computeGlareMaps(grid, road, luminaire, workers);
            ASSERT_EQ(byDirection.size(), want.byDirection.size());
            for (std::size_t k = 0; k < byDirection.size(); ++k) ASSERT_TRUE(same(byDirection[k], want.byDirection[k])) << k;
            expectSameMap(pass.luminanceObserver1, want.l1, "observer 1 luminance");
            expectSameMap(pass.luminanceObserver2, want.l2, "observer 2 luminance");
            expectSameMap(pass.horizontalIlluminance, want.e, "horizontal illuminance");
            expectSameMap(pass.hemisphericalIlluminance, want.ehs, "hemispherical illuminance");
            expectSameMap(glare.veilingLuminance, want.veiling, "veiling luminance");
            expectSameMap(glare.semicylindricalIlluminance, want.semicylindrical, "semicylindrical illuminance");
            expectSameMap(glare.verticalIlluminance, want.vertical, "vertical illuminance");
            EXPECT_TRUE(same(pass.agedAsphaltReflectedPercent, want.aged));
        }
        // The edge strips' illuminance, on the road and beside it, in one batch.
        std::vector<RoadPoint> points;
        for (int i = 0; i < grid.pointsAlongX; ++i) {
            for (const double y : {-3.5, -0.2, 0.1, 3.3, 6.9, 7.4, 10.0}) points.push_back({gridPointX(grid, i), y});
        }
        std::vector<double> values(points.size());
        horizontalIlluminanceMany(road, luminaire, points, values);
        for (std::size_t k = 0; k < points.size(); ++k) {
            ASSERT_TRUE(same(values[k], horizontalIlluminanceAt(road, luminaire, points[k].x, points[k].y)))
                << instructionSetName(set) << " point " << k;
        }
    }
    forceLookupInstructionSet(std::nullopt);
}

const std::string kBundled = std::string(VL_BUNDLED_DATA_DIR) + "/eulumdat.ldt";
std::string testLdt(const char* name) { return std::string(VL_TEST_DATA_DIR) + "/ldt/" + name; }

TEST(Passes, BundledLuminaireUntiltedAndTilted) {
    expectLiteralPasses(kBundled, 0.0, record(1, 10, 'c', 6, 'c'), 1, "C2");
    expectLiteralPasses(kBundled, 10.0, record(2, 24, 'b', 9, 'b'), 2, "R3");
    expectLiteralPasses(kBundled, -15.0, record(1, 10, 'c', 6, 'c'), 1, "C1");
}

TEST(Passes, ObserversAtInfinityAtTheEdgesAndOtherPhotometries) {
    expectLiteralPasses(kBundled, 0.0, record(3, 10, 'c', 6, 'c'), 3, "R1");
    expectLiteralPasses(kBundled, 0.0, record(7, 13, 'c', 7, 'b', 0.0, 0.99), 7, "C2");
    expectLiteralPasses(testLdt("sample4.ldt"), 0.0, record(2, 30, 'b', 12, 'b'), 2, "R2");
    expectLiteralPasses(testLdt("road_luminaire.ldt"), 5.0, record(1, 11, 'c', 5, 'c'), 1, "R4");
}

}  // namespace
}  // namespace vl
