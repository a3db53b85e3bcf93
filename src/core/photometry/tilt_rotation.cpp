// Rotation of directions by the luminaire tilt, the intensity lookup of the tilted
// luminaire, and the rotated-photometry files.
#include "core/photometry/tilt_rotation.hpp"

#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include "core/numeric/degrees.hpp"
#include "core/numeric/spline.hpp"
#include "writers/format.hpp"
#include "writers/streams.hpp"
#include "app/process_stop.hpp"
#include "app/computation_state.hpp"

namespace vl {

namespace {

constexpr const char* kNegativeGamma = "ERROR rotang: gangoa outside limits";
constexpr const char* kRotangRange = "ERROR rotang: gangra outside limits";
constexpr const char* kRotphotRange = "ERROR rotphot: yin1a outside limits";

// Both files stay open from the first section to the second.
OutputFile anglesFile;
OutputFile photFile;

// The direction (c, gamma) turned about the x axis: returns B = -cos(gamma') and the
// azimuth before its shift, C'' in -180..180.
struct Turned {
    double b;
    double azimuth;
};

Turned turn(double c, double gamma, double st, double ct) {
    const double sg = sind(180.0 - gamma);
    const double cg = cosd(180.0 - gamma);
    const double sC = cosd(90.0 - c);
    const double cC = sind(90.0 - c);
    double b = cg * ct + sg * st * sC;
    // Rounding can push a pole direction a unit beyond the sphere.
    if (b > 1.0) b = 1.0;
    if (b < -1.0) b = -1.0;
    const double s = std::sqrt(1.0 - b * b);
    double x = 0.0;
    double y = 0.0;
    if (s > 1.0e-20) {
        x = (cg * st - sg * ct * sC) / s;
        y = cC * sg / s;
    } else {
        // Vertical result: the azimuth is the one the formulas approach at the pole.
        x = b > 0.0 ? -1.0 : 1.0;
    }
    if (x > 1.0) x = 1.0;
    if (x < -1.0) x = -1.0;
    const double a = acosd(x);
    return {b, y >= 0.0 ? a : -a};
}

double shiftedAzimuth(double azimuth) {
    double c = azimuth - 90.0;
    while (c < 0.0) c += 360.0;
    while (c > 360.0) c -= 360.0;
    return c;
}

std::string photometryFileName() { return fmt::padded(state().installation.photometryFile, 20); }

std::string dashes45() { return fmt::listText(fmt::repeat('-', 45)); }

// The five lines that mark a photometry stopping short of the zenith.
void writeIncompleteWarning(OutputFile& file) {
    const PhotometryTable& p = state().photometry;
    const double lastGamma = p.gammaAngles[static_cast<std::size_t>(p.gammaCount - 1)];
    if (!(lastGamma < 180.0)) return;
    file.writeLine(fmt::ListLine()
                       .text("ATTENTION: UNCERTAINTY AT GAMMA ANGLES >")
                       .real(lastGamma - std::fabs(state().installation.tilt))
                       .str());
    file.writeLine(fmt::listText("The input photometry does not fill the full gamma range 0-180\xB0"));
    file.writeLine(fmt::listText("The intensity of the rotated photometry has been extrapolated at"));
    file.writeLine(fmt::listText("some C angles"));
    file.writeLine(dashes45());
}

// Rows (gamma, C, rotated gamma, rotated C, intensity / divisor), gamma outer.
void writeAngleRows(OutputFile& file, double divisor) {
    const PhotometryTable& p = state().photometry;
    const double t = state().installation.tilt;
    for (int j = 0; j < p.gammaCount; ++j) {
        const double g = p.gammaAngles[static_cast<std::size_t>(j)];
        for (int i = 0; i < p.cCount; ++i) {
            const double c = p.cAngles[static_cast<std::size_t>(i)];
            const Direction r = rotang(c, g, t);
            file.writeLine(fmt::F(fmt::single(g), 12, 2) + fmt::F(fmt::single(c), 13, 2) +
                           fmt::F(fmt::single(r.gamma), 13, 2) + fmt::F(fmt::single(r.c), 13, 2) +
                           fmt::F(fmt::single(p.I(i, j) / divisor), 13, 2));
        }
    }
}

// Rows (gamma, C, rotated intensity / divisor), gamma outer.
void writeRotatedRows(OutputFile& file, double divisor) {
    const PhotometryTable& p = state().photometry;
    const std::vector<double>& r = state().rotated.rotatedIntensity;
    for (int j = 0; j < p.gammaCount; ++j) {
        const double g = p.gammaAngles[static_cast<std::size_t>(j)];
        for (int i = 0; i < p.cCount; ++i) {
            const double c = p.cAngles[static_cast<std::size_t>(i)];
            const double v = r[static_cast<std::size_t>(i + p.cCount * j)];
            file.writeLine(fmt::F(fmt::single(g), 10, 2) + fmt::F(fmt::single(c), 10, 2) +
                           fmt::F(fmt::single(v / divisor), 10, 2));
        }
    }
}

void writeFileIdentification(OutputFile& file) {
    file.writeLine(fmt::ListLine().text("Luminaire input data file ").text(photometryFileName()).str());
    file.writeLine(fmt::ListLine().text("Luminaire inclination").real(state().installation.tilt).str());
}

// A listing index (1-based) that points into the gamma axis, else 0.
int listingIndex(int index, int gammaCount) { return index >= 1 && index <= gammaCount ? index : 0; }

void writeInclinationListing() {
    const PhotometryTable& p = state().photometry;
    const std::vector<double>& r = state().rotated.rotatedIntensity;
    const int k30 = listingIndex(state().listing.index30, p.gammaCount);
    const int k70 = listingIndex(state().listing.index70, p.gammaCount);
    const auto gammaAt = [&](int k) { return k == 0 ? 0.0 : p.gammaAngles[static_cast<std::size_t>(k - 1)]; };
    const auto valueAt = [&](int i, int k) {
        return k == 0 ? 0.0 : r[static_cast<std::size_t>(i + p.cCount * (k - 1))];
    };
    const std::string gammaLine = " at gamma=               " + fmt::F(gammaAt(k30), 7, 1) + fmt::F(gammaAt(k70), 15, 1);
    const auto heading = [&](Stream s, const char* fourth) {
        listText(s, "    ");
        listText(s, separator(s));
        listText(s, "Photometry after luminaire inclination");
        listText(s, fourth);
        listText(s, "C-angle   fixture intensity (cd/klm)");
        writeLine(s, gammaLine);
        listText(s, "");
    };
    heading(Stream::Console, " ");
    heading(Stream::Data, "");
    for (int i = 0; i < p.cCount; ++i) {
        const std::string row = fmt::F(p.cAngles[static_cast<std::size_t>(i)], 17, 1) + fmt::F(valueAt(i, k30), 15, 1) +
                                fmt::F(valueAt(i, k70), 15, 1);
        writeLine(Stream::Console, row);
        writeLine(Stream::Data, row);
    }
}

}  // namespace

Direction rotang(double c, double gamma, double t) {
    if (t == 0.0) return {c, gamma};
    if (gamma < 0.0) stopWithConsoleMessage(kNegativeGamma);
    const Turned r = turn(c, gamma, sind(t), cosd(t));
    const double g = 180.0 - acosd(r.b);
    if (g < 0.0 || g > 180.0) stopWithConsoleMessage(kRotangRange);
    return {shiftedAzimuth(r.azimuth), g};
}

Direction rotphot(double c, double gamma, double t) {
    if (c > 360.0) c -= 360.0;
    if (t == 0.0) return {c, gamma};
    if (gamma < 0.0) stopWithConsoleMessage(kNegativeGamma);
    const Turned r = turn(c, gamma, sind(-t), cosd(-t));
    const double g = 180.0 - acosd(r.b);
    if (g < 0.0 || g > 180.0) stopWithConsoleMessage(kRotphotRange);
    return {shiftedAzimuth(r.azimuth), g};
}

double luminaireIntensityAt(double c, double gamma) {
    const PhotometryTable& p = state().photometry;
    const Direction d = rotphot(c, gamma, state().installation.tilt);
    SplineTable2D table;
    table.x1 = p.cAngles.data();
    table.x2 = p.gammaAngles.data();
    table.y = p.intensity.data();
    table.y2 = state().photometrySpline.data();
    table.m = p.cCount;
    table.n = p.gammaCount;
    table.ld = p.cCount;
    const double v = evaluateSplineTable2D(table, kNaturalEnd, kNaturalEnd, kNaturalEnd, d.c, d.gamma);
    return v < 0.0 ? 0.0 : v;
}

void buildRotatedPhotometry() {
    ComputationState& s = state();
    const PhotometryTable& p = s.photometry;
    const double t = s.installation.tilt;
    const int nC = p.cCount;
    const int nG = p.gammaCount;
    std::vector<double>& r = s.rotated.rotatedIntensity;
    r.assign(static_cast<std::size_t>(nC) * static_cast<std::size_t>(nG), 0.0);

    if (t == 0.0) {
        anglesFile.close();
        photFile.close();
        for (std::size_t k = 0; k < r.size(); ++k) r[k] = p.intensity[k];
        return;
    }

    const std::string& stamp = s.run.runStamp;
    anglesFile.create("ROTATEDANGLES_" + stamp + ".doc");
    anglesFile.writeLine(dashes45());
    anglesFile.writeLine(fmt::listText("Luminaire photometry with angle rotation"));
    writeFileIdentification(anglesFile);
    anglesFile.writeLine(fmt::listText("intensity per unit lamp flux in cd/klm"));
    anglesFile.writeLine(fmt::listText("defined like in the input photometry file"));
    anglesFile.writeLine(dashes45());
    anglesFile.writeLine(fmt::listText("angles in degrees"));
    anglesFile.writeLine(fmt::listText("original gamma, original C, rotated gamma, rotated C, intensity"));
    writeAngleRows(anglesFile, 1.0);
    anglesFile.writeLine(fmt::listText(" "));

    for (int j = 0; j < nG; ++j) {
        const double g = p.gammaAngles[static_cast<std::size_t>(j)];
        for (int i = 0; i < nC; ++i) {
            r[static_cast<std::size_t>(i + nC * j)] = luminaireIntensityAt(p.cAngles[static_cast<std::size_t>(i)], g);
        }
    }

    photFile.create("ROTATEDPHOT_" + stamp + ".doc");
    photFile.writeLine(dashes45());
    photFile.writeLine(fmt::listText("Luminaire photometry interpolation after inclination"));
    writeFileIdentification(photFile);
    photFile.writeLine(fmt::listText("intensity per unit lamp flux in cd/klm"));
    photFile.writeLine(fmt::listText("defined like in the input photometry file"));
    photFile.writeLine(dashes45());
    writeIncompleteWarning(photFile);
    photFile.writeLine(fmt::listText("angles in degrees"));
    photFile.writeLine(fmt::listText("gamma angle, C angle, interpolated intensity"));
    writeRotatedRows(photFile, 1.0);
    photFile.writeLine(fmt::listText(" "));

    writeInclinationListing();
}

void writeRotatedLuminaireFluxSections() {
    const ComputationState& s = state();
    if (s.installation.tilt == 0.0) return;
    const double f = s.emission.lightOutputRatio / 100.0;

    anglesFile.writeLine(dashes45());
    anglesFile.writeLine(fmt::listText("Luminaire photometry with angle rotation"));
    writeFileIdentification(anglesFile);
    anglesFile.writeLine(fmt::ListLine().text("Light Output Ratio of the Luminaire").real(f).str());
    anglesFile.writeLine(fmt::listText("intensity per unit luminaire flux in cd/klm"));
    anglesFile.writeLine(dashes45());
    anglesFile.writeLine(fmt::listText("angles in degrees"));
    anglesFile.writeLine(fmt::listText("original gamma, original C, rotated gamma, rotated C, intensity"));
    writeAngleRows(anglesFile, f);
    anglesFile.close();

    photFile.writeLine(dashes45());
    photFile.writeLine(fmt::listText("Luminaire photometry interpolation after inclination"));
    writeFileIdentification(photFile);
    photFile.writeLine(fmt::ListLine().text("Light Output Ratio of the Luminaire").real(f).str());
    photFile.writeLine(fmt::listText("Intensity per unit luminaire flux in cd/klm"));
    photFile.writeLine(dashes45());
    writeIncompleteWarning(photFile);
    photFile.writeLine(fmt::listText("angles in degrees"));
    photFile.writeLine(fmt::listText("gamma angle, C angle, interpolated intensity"));
    writeRotatedRows(photFile, f);
    photFile.close();

    if (s.installation.spacing == 0.0) writeZeroSpacingNotice(true);
}

void writeZeroSpacingNotice(bool withFilesLine) {
    for (Stream st : {Stream::Data, Stream::Report, Stream::Console}) {
        listText(st, "  ");
        listText(st, "luminaire spacing was set to zero then");
        listText(st, "only the rotation of the photometry is computed");
        if (withFilesLine) listText(st, "(files ROTATEDANGLES_, ROTATEDPHOT_)");
    }
    for (Stream st : {Stream::Data, Stream::Report, Stream::Console}) listText(st, "");
}

}  // namespace vl
