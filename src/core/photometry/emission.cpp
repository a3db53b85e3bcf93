// Declared and integrated emission figures of the luminaire.
#include "core/photometry/emission.hpp"

#include <cstddef>
#include <string>
#include <string_view>

#include "core/numeric/degrees.hpp"
#include "writers/format.hpp"
#include "writers/streams.hpp"
#include "app/computation_state.hpp"

namespace vl {

namespace {

constexpr double kPi10 = 3.141592653;

std::string figureLine(std::string_view label, double value) { return fmt::padded(label, 50) + fmt::F(value, 7, 2); }

void writeFigure(Stream s, std::string_view label, double value) { writeLine(s, figureLine(label, value)); }

struct Figures {
    double dff;
    double uff;
    double lorl;
    double dlor;
    double ulor;
};

void writeFigures(Stream s, std::string_view dffLabel, const Figures& f) {
    writeFigure(s, dffLabel, f.dff);
    writeFigure(s, " Upward flux factor UFF % (UFR, Rn)", f.uff);
    writeFigure(s, " Light output ratio of the luminaire LORL %", f.lorl);
    writeFigure(s, " Downward light output ratio DLOR %", f.dlor);
    writeFigure(s, " Upward light output ratio ULOR %", f.ulor);
}

void writeIncompleteBlock(Stream s) {
    listText(s, fmt::repeat('.', 54));
    listText(s, "ATTENTION: The input photometry is incomplete.");
    listText(s, "It does not fill the full gamma range 0-180 degrees");
    listText(s, "Computation of integrated emission data can be made");
    listText(s, "only for zero inclination and only partially.");
    listText(s, fmt::repeat('.', 54));
    listText(s, " ");
}

void writeIncompleteDataBlock() {
    const Stream s = Stream::Data;
    listText(s, " ");
    listText(s, separator(s));
    listText(s, "ATTENTION: The input photometry is incomplete.");
    listText(s, "It does not fill the full gamma range 0-180 degrees");
    listText(s, "Computation of integrated emission data can be made");
    listText(s, "only for zero inclination and only partially.");
    listText(s, separator(s));
    listText(s, " ");
}

double rotated(int i, int j) {
    const ComputationState& s = state();
    return s.rotated.rotatedIntensity[static_cast<std::size_t>(i + s.photometry.cCount * j)];
}

// Flux of the upper half-space (cd/klm x sr); a gamma of 90 counts half its band.
double upwardSum() {
    const PhotometryTable& p = state().photometry;
    const int nG = p.gammaCount;
    double sum = 0.0;
    for (int i = 0; i < p.cCount - 1; ++i) {
        const double dC = cWidth(i);
        for (int j = 0; j < nG; ++j) {
            const double dG = gammaWidth(j);
            const double g = p.gammaAngles[static_cast<std::size_t>(j)];
            if (g == 90.0) {
                sum += bandSolidAngle(dC, 90.0, 90.0 + dG / 2.0) * rotated(i, j);
            } else if (g > 90.0 && g < 180.0) {
                sum += bandSolidAngle(dC, g - dG / 2.0, g + dG / 2.0) * rotated(i, j);
            } else if (g == 180.0) {
                sum += bandSolidAngle(dC, 180.0 - dG / 2.0, 180.0) * rotated(i, nG - 1);
            }
        }
    }
    return sum;
}

// Flux of the lower half-space, each band mirrored into the upper half.
double downwardSum() {
    const PhotometryTable& p = state().photometry;
    double sum = 0.0;
    for (int i = 0; i < p.cCount - 1; ++i) {
        const double dC = cWidth(i);
        for (int j = 0; j < p.gammaCount; ++j) {
            const double dG = gammaWidth(j);
            const double g = p.gammaAngles[static_cast<std::size_t>(j)];
            if (g == 90.0) {
                sum += bandSolidAngle(dC, 90.0, 90.0 + dG / 2.0) * rotated(i, j);
            } else if (g > 0.0 && g < 90.0) {
                sum += bandSolidAngle(dC, 180.0 - g - dG / 2.0, 180.0 - g + dG / 2.0) * rotated(i, j);
            } else if (g == 0.0) {
                sum += bandSolidAngle(dC, 180.0 - dG / 2.0, 180.0) * rotated(i, 0);
            }
        }
    }
    return sum;
}

}  // namespace

double cWidth(int i) {
    const PhotometryTable& p = state().photometry;
    if (p.cStep != 0.0) return p.cStep;
    const int nC = p.cCount;
    const auto c = [&](int k) { return p.cAngles[static_cast<std::size_t>(k)]; };
    if (i == 0) return (c(1) - c(nC - 2) + 360.0) / 2.0;
    if (i == nC - 1) return (c(0) - c(nC - 3) + 360.0) / 2.0;
    return (c(i + 1) - c(i - 1)) / 2.0;
}

double gammaWidth(int j) {
    const PhotometryTable& p = state().photometry;
    if (p.gammaStep != 0.0) return p.gammaStep;
    const int nG = p.gammaCount;
    const auto g = [&](int k) { return p.gammaAngles[static_cast<std::size_t>(k)]; };
    if (j == 0) return g(1);
    if (j == nG - 1) return g(nG - 1) - g(nG - 2);
    return (g(j + 1) - g(j - 1)) / 2.0;
}

double bandSolidAngle(double deltaC, double gammaA, double gammaB) {
    return (cosd(gammaA) - cosd(gammaB)) * (deltaC * kPi10) / 180.0;
}

void computeEmissionData() {
    ComputationState& s = state();
    EmissionData& e = s.emission;
    const PhotometryTable& p = s.photometry;

    const char* declaredTitle = "Luminaire emission data from Eulumdat file (std. position):";
    sectionHeading(Stream::Console, declaredTitle);
    listText(Stream::Report, "    ");
    listText(Stream::Report, separator(Stream::Report));
    listText(Stream::Report, declaredTitle);

    e.upwardFluxFactor = 100.0 - e.downwardFluxFactor;
    const Figures declared{e.downwardFluxFactor, e.upwardFluxFactor, e.lightOutputRatio,
                           e.lightOutputRatio * e.downwardFluxFactor / 100.0,
                           e.lightOutputRatio * e.upwardFluxFactor / 100.0};
    writeFigures(Stream::Console, " Downward flux factor DFF  %", declared);
    listText(Stream::Report, "     ");  // a list line of five blanks
    writeFigures(Stream::Report, " Downward flux factor DFF  %", declared);

    const double lastGamma = p.gammaAngles[static_cast<std::size_t>(p.gammaCount - 1)];
    const bool fullSphere = lastGamma == 180.0;
    double ulor = 0.0;
    if (fullSphere) {
        ulor = upwardSum() / 10.0;
        e.upwardLightOutputRatio = ulor;
    }
    const double dlor = downwardSum() / 10.0;

    const char* calculatedTitle = "Luminaire emission data (calculated):";
    sectionHeading(Stream::Console, calculatedTitle);
    listText(Stream::Report, "    ");
    listText(Stream::Report, separator(Stream::Report));
    listText(Stream::Report, calculatedTitle);
    listText(Stream::Report, "  ");

    if (lastGamma < 180.0) {
        writeIncompleteBlock(Stream::Report);
        writeIncompleteBlock(Stream::Console);
        writeIncompleteDataBlock();
    }

    if (fullSphere) {
        const double lorl = dlor + ulor;
        e.lightOutputRatio = lorl;
        e.downwardFluxFactor = dlor * 100.0 / lorl;
        e.upwardFluxFactor = ulor * 100.0 / lorl;
        const Figures calculated{e.downwardFluxFactor, e.upwardFluxFactor, lorl, dlor, ulor};
        writeFigures(Stream::Console, " Downward flux factor DFF %", calculated);
        writeFigures(Stream::Report, " Downward flux factor DFF %", calculated);
    } else {
        writeFigure(Stream::Console, " Downward light output ratio DLOR %", dlor);
        writeFigure(Stream::Report, " Downward light output ratio DLOR %", dlor);
    }
}

}  // namespace vl
