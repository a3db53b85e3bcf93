#include "writers/plot_images.hpp"

#include <cstddef>
#include <functional>

#include "core/numeric/degrees.hpp"
#include "core/numeric/spline.hpp"
#include "writers/format.hpp"
#include "writers/streams.hpp"
#include "core/photometry/emission.hpp"
#include "core/photometry/tilt_rotation.hpp"
#include "app/computation_state.hpp"

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

double gammaAt(int m) { return valueAt(state().photometry.gammaAngles, static_cast<std::size_t>(m)); }
double cAt(int l) { return valueAt(state().photometry.cAngles, static_cast<std::size_t>(l)); }

double agedAsphaltAt(double x) {
    const AgedAsphaltCurve& a = state().agedAsphalt;
    return evaluateSpline(a.x.data(), a.y.data(), a.y2.data(), kAgedAsphaltPoints, x);
}

bool reachesZenith() {
    const int nG = state().photometry.gammaCount;
    return nG > 0 && gammaAt(nG - 1) == 180.0;
}

}  // namespace

double integrateTableFlux(const std::vector<double>& table) {
    const PhotometryTable& p = state().photometry;
    const int nC = p.cCount;
    const int nG = p.gammaCount;
    double sum = 0.0;
    for (int m = 0; m < nG; ++m) {
        const double g = gammaAt(m);
        const double dg = gammaWidth(m);
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
        for (int l = 0; l < nC - 1; ++l) {
            sum += valueAt(table, cell(l, m, nC)) * bandSolidAngle(cWidth(l), ga, gb);
        }
    }
    return sum;
}

std::string plotImageFormat(int cCount) {
    std::string format = "(";
    format += fmt::I(cCount, 3);
    format += "F8.2)";
    return format;
}

RoadModel buildRoadModel() {
    const ComputationState& s = state();
    const PhotometryTable& p = s.photometry;
    const int nC = p.cCount;
    const int nG = p.gammaCount;
    const double W = s.installation.roadWidth;
    const double h = s.installation.poleHeight;
    const double o = s.installation.overhang;
    const std::vector<double>& Ie = s.rotated.rotatedIntensity;

    // Reference values: the aged asphalt reflectance at grazing incidence, the mean
    // intensity just below the horizontal towards the back of the luminaire, and the
    // road's diffuse vertical intensity and its forward excess at 1 deg elevation.
    const double a89 = agedAsphaltAt(89.0);
    const double Ih = (luminaireIntensityAt(180.0, 89.0) + luminaireIntensityAt(180.0, 85.0) +
                       luminaireIntensityAt(180.0, 80.0)) /
                      3;
    const double I1 = s.pollution.roadIntensity1deg0;
    const double I90 = s.pollution.roadIntensity1deg90;
    const double I0 = I90 / kOneDegreeSolidFactor;
    const double dI = I1 - I90;
    const double y1 = s.agedAsphalt.y[0];
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
                    const double a = agedAsphaltAt(180.0 - g);
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

namespace {

void writeFluxLines(Stream stream, double reflected, double diffused, double total) {
    listText(stream, "3D plot, model road surface:");
    writeLine(stream, " upward road reflected %  " + fmt::F(reflected, 7, 2));
    writeLine(stream, " upward road diffused %   " + fmt::F(diffused, 7, 2));
    writeLine(stream, " total upward road flux %" + fmt::F(total, 7, 2));
}

// One image: rows m0..nG, each nC values in single precision.
void writeImage(const std::string& prefix, int m0, const std::function<double(std::size_t)>& value) {
    const ComputationState& s = state();
    const int nC = s.photometry.cCount;
    const int nG = s.photometry.gammaCount;
    OutputFile file;
    file.create(prefix + s.run.runStamp + ".dat");
    for (int m = m0; m < nG; ++m) {
        std::string line;
        line.reserve(static_cast<std::size_t>(nC) * 8);
        for (int l = 0; l < nC; ++l) line += fmt::F(fmt::single(value(cell(l, m, nC))), 8, 2);
        file.writeLine(line);
    }
    file.close();
}

}  // namespace

void writePlotImages() {
    const ComputationState& s = state();
    if (s.run.extendFlag != 1 || !reachesZenith()) return;

    const PhotometryTable& p = s.photometry;
    const int nG = p.gammaCount;
    const double lorl = s.emission.lightOutputRatio;
    const double I90 = s.pollution.roadIntensity1deg90;

    const RoadModel model = buildRoadModel();

    const double total = integrateTableFlux(model.total) / 10 * 100 / lorl;
    const double reflected = integrateTableFlux(model.reflected) / 10 * 100 / lorl;
    const double diffused = I90 * kDiffusedFluxFactor / (lorl * kOneDegreeSolidFactor);
    writeFluxLines(Stream::Console, reflected, diffused, total);
    listText(Stream::Data, fmt::repeat('-', 52));
    writeFluxLines(Stream::Data, reflected, diffused, total);

    // First image row: the last gamma angle at or below the horizontal; a photometry
    // lying wholly above the horizontal starts at its first angle.
    int m0 = 0;
    for (int m = 0; m < nG; ++m) {
        if (gammaAt(m) <= 90.0) m0 = m;
    }
    const std::string range = " First/last gamma angle" + fmt::F(gammaAt(m0), 7, 2) + fmt::F(gammaAt(nG - 1), 7, 2);
    writeLine(Stream::Console, range);
    writeLine(Stream::Data, range);

    const std::vector<double>& Ie = s.rotated.rotatedIntensity;
    const std::vector<double>& Re = s.pollution.roadEstimatedPhotometry;
    const std::vector<double>& Rt = model.total;
    writeImage("uplmp_", m0, [&](std::size_t k) { return valueAt(Ie, k); });
    writeImage("uproa_", m0, [&](std::size_t k) { return valueAt(Re, k); });
    writeImage("uptot_", m0, [&](std::size_t k) { return valueAt(Ie, k) + valueAt(Re, k); });
    writeImage("upro2_", m0, [&](std::size_t k) { return valueAt(Rt, k); });
    writeImage("upto2_", m0, [&](std::size_t k) { return valueAt(Ie, k) + valueAt(Rt, k); });

    listText(Stream::Console, "Raw images for 3D plotting writted");
    listText(Stream::Data, "Raw images for 3D plotting writted");
}

}  // namespace vl
