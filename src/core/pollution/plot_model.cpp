#include "core/pollution/plot_model.hpp"

#include <cstddef>

#include "core/numeric/degrees.hpp"

namespace vl {

namespace {

constexpr double kOneDegreeSolidFactor = 0.01745;          // divides the 1 deg road intensity
constexpr double kDiffusedFluxFactor = 31.400000000000002;  // lambertian flux of the road

std::size_t cell(int l, int m, int nC) {
    return static_cast<std::size_t>(l) + static_cast<std::size_t>(nC) * static_cast<std::size_t>(m);
}

double valueAt(const std::vector<double>& table, std::size_t index) {
    return index < table.size() ? table[index] : 0.0;
}

struct RoadModel {
    std::vector<double> reflected;
    std::vector<double> total;
};

RoadModel buildRoadModel(const PollutionInputs& in, const DirectionalPollution& directional,
                         const AgedAsphaltReflectance& agedAsphalt) {
    const PhotometryTable& p = in.photometry;
    const int nC = p.cCount;
    const int nG = p.gammaCount;
    const double W = in.installation.roadWidth;
    const double h = in.installation.poleHeight;
    const double o = in.installation.overhang;
    const std::vector<double>& Ie = in.rotatedIntensity;
    auto gammaAt = [&](int m) { return valueAt(p.gammaAngles, static_cast<std::size_t>(m)); };
    auto cAt = [&](int l) { return valueAt(p.cAngles, static_cast<std::size_t>(l)); };

    // Reference values: the aged asphalt reflectance at grazing incidence, the mean
    // intensity just below the horizontal towards the back of the luminaire, and the
    // road's diffuse vertical intensity and its forward excess at 1 deg elevation.
    const double a89 = agedAsphalt.at(89.0);
    const double Ih = (in.luminaire.at(180.0, 89.0) + in.luminaire.at(180.0, 85.0) +
                       in.luminaire.at(180.0, 80.0)) /
                      3;
    const double I1 = directional.roadIntensity1deg0;
    const double I90 = directional.roadIntensity1deg90;
    const double I0 = I90 / kOneDegreeSolidFactor;
    const double dI = I1 - I90;
    const double y1 = agedAsphalt.curve().y[0];
    // Without light to mirror (or without a reflectance rise) there is no directional part.
    const bool mirrors = Ih != 0.0 && a89 != y1;

    const std::size_t size = static_cast<std::size_t>(nC > 0 ? nC : 0) * static_cast<std::size_t>(nG > 0 ? nG : 0);
    RoadModel model{std::vector<double>(size, 0.0), std::vector<double>(size, 0.0)};
    for (int l = 0; l < nC; ++l) {
        for (int m = 0; m < nG; ++m) {
            const double g = gammaAt(m);
            double rr = 0.0;
            double rt = 0.0;
            if (g >= 90.0) {
                if (mirrors) {
                    const int mStar = nG - 1 - m;  // the mirrored downward direction
                    double Im = valueAt(Ie, cell(l, mStar, nC));
                    const double d = h * tand(gammaAt(mStar)) * sind(cAt(l));
                    if (d < -o || d > W - o) Im = 0.0;  // lands beside the road
                    const double a = agedAsphalt.at(180.0 - g);
                    rr = Im / Ih * dI * (a - y1) / (a89 - y1);
                }
                rt = rr - cosd(g) * I0;
            }
            model.reflected[cell(l, m, nC)] = rr;
            model.total[cell(l, m, nC)] = rt;
        }
    }
    return model;
}

}  // namespace

double integrateTableFlux(const PhotometryTable& p, const std::vector<double>& table) {
    const int nC = p.cCount;
    const int nG = p.gammaCount;
    double sum = 0.0;
    for (int m = 0; m < nG; ++m) {
        const double g = valueAt(p.gammaAngles, static_cast<std::size_t>(m));
        const double dg = gammaWidth(p, m);
        double ga = 0.0;
        double gb = 0.0;
        if (g == 90.0) {
            ga = 90.0;  // the upper half of the horizontal cell only
            gb = 90.0 + dg / 2;
        } else if (g > 90.0 && g < 180.0) {
            ga = g - dg / 2;
            gb = g + dg / 2;
        } else if (g == 180.0) {
            ga = 180.0 - dg / 2;
            gb = 180.0;
        } else {
            continue;
        }
        const double cosines = bandCosines(ga, gb);
        for (int l = 0; l < nC - 1; ++l) {
            sum += valueAt(table, cell(l, m, nC)) * bandSolidAngleOf(cWidth(p, l), cosines);
        }
    }
    return sum;
}

PlotModel buildPlotModel(const PollutionInputs& in, const DirectionalPollution& d,
                         const AgedAsphaltReflectance& agedAsphalt) {
    const PhotometryTable& p = in.photometry;
    const int nG = p.gammaCount;
    const double lorl = in.emission.lightOutputRatio;
    const double I90 = d.roadIntensity1deg90;

    RoadModel model = buildRoadModel(in, d, agedAsphalt);
    PlotModel plot;
    plot.totalFluxPercent = integrateTableFlux(p, model.total) / 10 * 100 / lorl;
    plot.reflectedFluxPercent = integrateTableFlux(p, model.reflected) / 10 * 100 / lorl;
    plot.diffusedFluxPercent = I90 * kDiffusedFluxFactor / (lorl * kOneDegreeSolidFactor);
    plot.reflected = std::move(model.reflected);
    plot.total = std::move(model.total);

    // First image row: the last gamma angle at or below the horizontal; a photometry
    // lying wholly above the horizontal starts at its first angle.
    for (int m = 0; m < nG; ++m) {
        if (valueAt(p.gammaAngles, static_cast<std::size_t>(m)) <= 90.0) plot.firstRow = m;
    }
    return plot;
}

}  // namespace vl
