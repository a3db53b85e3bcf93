// Declared and integrated emission figures of the luminaire.
#include "core/photometry/emission.hpp"

#include <cstddef>

#include "core/numeric/degrees.hpp"

namespace vl {

namespace {

constexpr double kPi10 = 3.141592653;

double at(const std::vector<double>& r, const PhotometryTable& p, int i, int j) {
    return r[static_cast<std::size_t>(i + p.cCount * j)];
}

// The band of each gamma angle as a sum counts it: the cosine difference of its cone
// bounds and the gamma row it takes the intensity from (none for a gamma the sum skips).
struct Band {
    bool counted = false;
    double cosines = 0;
    int row = 0;
};

// The sum over C planes and counted bands, in that order, of solid angle times intensity.
double sumOverBands(const PhotometryTable& p, const std::vector<double>& r, const std::vector<Band>& bands) {
    double sum = 0.0;
    for (int i = 0; i < p.cCount - 1; ++i) {
        const double dC = cWidth(p, i);
        for (const Band& b : bands) {
            if (b.counted) sum += bandSolidAngleOf(dC, b.cosines) * at(r, p, i, b.row);
        }
    }
    return sum;
}

// Flux of the upper half-space (cd/klm x sr); a gamma of 90 counts half its band.
double upwardSum(const PhotometryTable& p, const std::vector<double>& r) {
    const int nG = p.gammaCount;
    std::vector<Band> bands(static_cast<std::size_t>(nG));
    for (int j = 0; j < nG; ++j) {
        const double dG = gammaWidth(p, j);
        const double g = p.gammaAngles[static_cast<std::size_t>(j)];
        Band& b = bands[static_cast<std::size_t>(j)];
        if (g == 90.0) {
            b = {true, bandCosines(90.0, 90.0 + dG / 2.0), j};
        } else if (g > 90.0 && g < 180.0) {
            b = {true, bandCosines(g - dG / 2.0, g + dG / 2.0), j};
        } else if (g == 180.0) {
            b = {true, bandCosines(180.0 - dG / 2.0, 180.0), nG - 1};
        }
    }
    return sumOverBands(p, r, bands);
}

// Flux of the lower half-space, each band mirrored into the upper half.
double downwardSum(const PhotometryTable& p, const std::vector<double>& r) {
    const int nG = p.gammaCount;
    std::vector<Band> bands(static_cast<std::size_t>(nG));
    for (int j = 0; j < nG; ++j) {
        const double dG = gammaWidth(p, j);
        const double g = p.gammaAngles[static_cast<std::size_t>(j)];
        Band& b = bands[static_cast<std::size_t>(j)];
        if (g == 90.0) {
            b = {true, bandCosines(90.0, 90.0 + dG / 2.0), j};
        } else if (g > 0.0 && g < 90.0) {
            b = {true, bandCosines(180.0 - g - dG / 2.0, 180.0 - g + dG / 2.0), j};
        } else if (g == 0.0) {
            b = {true, bandCosines(180.0 - dG / 2.0, 180.0), 0};
        }
    }
    return sumOverBands(p, r, bands);
}

}  // namespace

double cWidth(const PhotometryTable& p, int i) {
    if (p.cStep != 0.0) return p.cStep;
    const int nC = p.cCount;
    const auto c = [&](int k) { return p.cAngles[static_cast<std::size_t>(k)]; };
    if (i == 0) return (c(1) - c(nC - 2) + 360.0) / 2.0;
    if (i == nC - 1) return (c(0) - c(nC - 3) + 360.0) / 2.0;
    return (c(i + 1) - c(i - 1)) / 2.0;
}

double gammaWidth(const PhotometryTable& p, int j) {
    if (p.gammaStep != 0.0) return p.gammaStep;
    const int nG = p.gammaCount;
    const auto g = [&](int k) { return p.gammaAngles[static_cast<std::size_t>(k)]; };
    if (j == 0) return g(1);
    if (j == nG - 1) return g(nG - 1) - g(nG - 2);
    return (g(j + 1) - g(j - 1)) / 2.0;
}

double bandCosines(double gammaA, double gammaB) { return cosd(gammaA) - cosd(gammaB); }

double bandSolidAngleOf(double deltaC, double cosines) { return cosines * (deltaC * kPi10) / 180.0; }

double bandSolidAngle(double deltaC, double gammaA, double gammaB) {
    return bandSolidAngleOf(deltaC, bandCosines(gammaA, gammaB));
}

EmissionResult computeEmission(const PhotometryTable& p, const std::vector<double>& rotatedIntensity) {
    EmissionResult result;
    const DeclaredLuminaireData& d = p.declared;
    EmissionData& e = result.effective;
    e.downwardFluxFactor = d.downwardFluxFactor;
    e.lightOutputRatio = d.lightOutputRatio;
    e.upwardFluxFactor = 100.0 - e.downwardFluxFactor;
    result.declared = {e.downwardFluxFactor, e.upwardFluxFactor, e.lightOutputRatio,
                       e.lightOutputRatio * e.downwardFluxFactor / 100.0,
                       e.lightOutputRatio * e.upwardFluxFactor / 100.0};

    const double lastGamma = p.gammaAngles[static_cast<std::size_t>(p.gammaCount - 1)];
    result.fullSphere = lastGamma == 180.0;
    double ulor = 0.0;
    if (result.fullSphere) {
        ulor = upwardSum(p, rotatedIntensity) / 10.0;
        e.upwardLightOutputRatio = ulor;
    }
    const double dlor = downwardSum(p, rotatedIntensity) / 10.0;
    result.downwardLightOutputRatio = dlor;
    if (result.fullSphere) {
        const double lorl = dlor + ulor;
        e.lightOutputRatio = lorl;
        e.downwardFluxFactor = dlor * 100.0 / lorl;
        e.upwardFluxFactor = ulor * 100.0 / lorl;
        result.calculated = {e.downwardFluxFactor, e.upwardFluxFactor, lorl, dlor, ulor};
    }
    return result;
}

}  // namespace vl
