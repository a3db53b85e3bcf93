#include "writers/luminaire_sections.hpp"

#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "text/format.hpp"
#include "writers/streams.hpp"

namespace vl {

namespace {

std::string dashes45() { return fmt::listText(fmt::repeat('-', 45)); }

// The five lines that mark a photometry stopping short of the zenith.
void writeIncompleteWarning(OutputFile& file, const RunInputs& in) {
    const PhotometryTable& p = in.photometry;
    const double lastGamma = p.gammaAngles[static_cast<std::size_t>(p.gammaCount - 1)];
    if (!(lastGamma < 180.0)) return;
    file.writeLine(fmt::ListLine()
                       .text("ATTENTION: UNCERTAINTY AT GAMMA ANGLES >")
                       .real(lastGamma - std::fabs(in.installation.tilt))
                       .str());
    file.writeLine(fmt::listText("The input photometry does not fill the full gamma range 0-180\xB0"));
    file.writeLine(fmt::listText("The intensity of the rotated photometry has been extrapolated at"));
    file.writeLine(fmt::listText("some C angles"));
    file.writeLine(dashes45());
}

// Rows (gamma, C, rotated gamma, rotated C, intensity / divisor), gamma outer, as far as
// the rotated directions go.
void writeAngleRows(OutputFile& file, const RunInputs& in, const RotatedPhotometry& rotated, double divisor) {
    const PhotometryTable& p = in.photometry;
    std::size_t k = 0;
    for (int j = 0; j < p.gammaCount; ++j) {
        const double g = p.gammaAngles[static_cast<std::size_t>(j)];
        for (int i = 0; i < p.cCount; ++i, ++k) {
            if (k >= rotated.rotatedDirections.size()) return;
            const double c = p.cAngles[static_cast<std::size_t>(i)];
            const Direction& r = rotated.rotatedDirections[k];
            file.writeLine(fmt::F(fmt::single(g), 12, 2) + fmt::F(fmt::single(c), 13, 2) +
                           fmt::F(fmt::single(r.gamma), 13, 2) + fmt::F(fmt::single(r.c), 13, 2) +
                           fmt::F(fmt::single(p.I(i, j) / divisor), 13, 2));
        }
    }
}

// Rows (gamma, C, rotated intensity / divisor), gamma outer.
void writeRotatedRows(OutputFile& file, const RunInputs& in, const RotatedPhotometry& rotated, double divisor) {
    const PhotometryTable& p = in.photometry;
    const std::vector<double>& r = rotated.rotatedIntensity;
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

void writeFileIdentification(OutputFile& file, const RunInputs& in) {
    file.writeLine(
        fmt::ListLine().text("Luminaire input data file ").text(fmt::padded(in.installation.photometryFile, 20)).str());
    file.writeLine(fmt::ListLine().text("Luminaire inclination").real(in.installation.tilt).str());
}

// A listing index (1-based) that points into the gamma axis, else 0.
int listingIndex(int index, int gammaCount) { return index >= 1 && index <= gammaCount ? index : 0; }

void writeInclinationListing(const RunInputs& in, const RunResult& result) {
    const PhotometryTable& p = in.photometry;
    const std::vector<double>& r = result.rotated.rotatedIntensity;
    const int k30 = listingIndex(result.listing.index30, p.gammaCount);
    const int k70 = listingIndex(result.listing.index70, p.gammaCount);
    const auto gammaAt = [&](int k) { return k == 0 ? 0.0 : p.gammaAngles[static_cast<std::size_t>(k - 1)]; };
    const auto valueAt = [&](int i, int k) {
        return k == 0 ? 0.0 : r[static_cast<std::size_t>(i + p.cCount * (k - 1))];
    };
    const std::string gammaLine =
        " at gamma=               " + fmt::F(gammaAt(k30), 7, 1) + fmt::F(gammaAt(k70), 15, 1);
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
        const std::string row = fmt::F(p.cAngles[static_cast<std::size_t>(i)], 17, 1) +
                                fmt::F(valueAt(i, k30), 15, 1) + fmt::F(valueAt(i, k70), 15, 1);
        writeLine(Stream::Console, row);
        writeLine(Stream::Data, row);
    }
}

// Section 1 of both rotated-photometry files and the listing; false when a rotation error
// cut them short.
bool writeRotatedPhotometry(const RunInfo& info, const RunInputs& in, const RunResult& result,
                            OutputFile& anglesFile, OutputFile& photFile) {
    const RotatedPhotometry& rotated = result.rotated;
    const std::size_t cells = rotated.rotatedIntensity.size();
    anglesFile.create("ROTATEDANGLES_" + info.runStamp + ".doc");
    anglesFile.writeLine(dashes45());
    anglesFile.writeLine(fmt::listText("Luminaire photometry with angle rotation"));
    writeFileIdentification(anglesFile, in);
    anglesFile.writeLine(fmt::listText("intensity per unit lamp flux in cd/klm"));
    anglesFile.writeLine(fmt::listText("defined like in the input photometry file"));
    anglesFile.writeLine(dashes45());
    anglesFile.writeLine(fmt::listText("angles in degrees"));
    anglesFile.writeLine(fmt::listText("original gamma, original C, rotated gamma, rotated C, intensity"));
    writeAngleRows(anglesFile, in, rotated, 1.0);
    if (rotated.rotatedDirections.size() < cells) return false;
    anglesFile.writeLine(fmt::listText(" "));
    if (result.end == RunEnd::RotationError && result.stopStage == RunStage::Luminaire) return false;

    photFile.create("ROTATEDPHOT_" + info.runStamp + ".doc");
    photFile.writeLine(dashes45());
    photFile.writeLine(fmt::listText("Luminaire photometry interpolation after inclination"));
    writeFileIdentification(photFile, in);
    photFile.writeLine(fmt::listText("intensity per unit lamp flux in cd/klm"));
    photFile.writeLine(fmt::listText("defined like in the input photometry file"));
    photFile.writeLine(dashes45());
    writeIncompleteWarning(photFile, in);
    photFile.writeLine(fmt::listText("angles in degrees"));
    photFile.writeLine(fmt::listText("gamma angle, C angle, interpolated intensity"));
    writeRotatedRows(photFile, in, rotated, 1.0);
    photFile.writeLine(fmt::listText(" "));

    writeInclinationListing(in, result);
    return true;
}

// Section 2 of both files: the intensities per unit luminaire flux.
void writeLuminaireFluxSections(const RunInputs& in, const RunResult& result, OutputFile& anglesFile,
                                OutputFile& photFile) {
    const double f = result.emission.effective.lightOutputRatio / 100.0;

    anglesFile.writeLine(dashes45());
    anglesFile.writeLine(fmt::listText("Luminaire photometry with angle rotation"));
    writeFileIdentification(anglesFile, in);
    anglesFile.writeLine(fmt::ListLine().text("Light Output Ratio of the Luminaire").real(f).str());
    anglesFile.writeLine(fmt::listText("intensity per unit luminaire flux in cd/klm"));
    anglesFile.writeLine(dashes45());
    anglesFile.writeLine(fmt::listText("angles in degrees"));
    anglesFile.writeLine(fmt::listText("original gamma, original C, rotated gamma, rotated C, intensity"));
    writeAngleRows(anglesFile, in, result.rotated, f);
    anglesFile.close();

    photFile.writeLine(dashes45());
    photFile.writeLine(fmt::listText("Luminaire photometry interpolation after inclination"));
    writeFileIdentification(photFile, in);
    photFile.writeLine(fmt::ListLine().text("Light Output Ratio of the Luminaire").real(f).str());
    photFile.writeLine(fmt::listText("Intensity per unit luminaire flux in cd/klm"));
    photFile.writeLine(dashes45());
    writeIncompleteWarning(photFile, in);
    photFile.writeLine(fmt::listText("angles in degrees"));
    photFile.writeLine(fmt::listText("gamma angle, C angle, interpolated intensity"));
    writeRotatedRows(photFile, in, result.rotated, f);
    photFile.close();
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

// Emission figures: DFF (label given), UFF, LORL, DLOR, ULOR.
void writeFigure(Stream s, std::string_view label, double value) {
    writeLine(s, fmt::padded(label, 50) + fmt::F(value, 7, 2));
}

void writeFigures(Stream s, std::string_view dffLabel, const EmissionFigures& f) {
    writeFigure(s, dffLabel, f.downwardFluxFactor);
    writeFigure(s, " Upward flux factor UFF % (UFR, Rn)", f.upwardFluxFactor);
    writeFigure(s, " Light output ratio of the luminaire LORL %", f.lightOutputRatio);
    writeFigure(s, " Downward light output ratio DLOR %", f.downwardLightOutputRatio);
    writeFigure(s, " Upward light output ratio ULOR %", f.upwardLightOutputRatio);
}

const char* const kIncompleteEmission[] = {"ATTENTION: The input photometry is incomplete.",
                                           "It does not fill the full gamma range 0-180 degrees",
                                           "Computation of integrated emission data can be made",
                                           "only for zero inclination and only partially."};

void writeIncompleteBlock(Stream s) {
    listText(s, fmt::repeat('.', 54));
    for (const char* text : kIncompleteEmission) listText(s, text);
    listText(s, fmt::repeat('.', 54));
    listText(s, " ");
}

void writeIncompleteDataBlock() {
    const Stream s = Stream::Data;
    listText(s, " ");
    listText(s, separator(s));
    for (const char* text : kIncompleteEmission) listText(s, text);
    listText(s, separator(s));
    listText(s, " ");
}

void writeEmissionSections(const RunInputs& in, const EmissionResult& e) {
    const std::string declaredTitle =
        "Luminaire emission data from " + in.photometry.declared.sourceFormat + " file (std. position):";
    sectionHeading(Stream::Console, declaredTitle);
    listText(Stream::Report, "    ");
    listText(Stream::Report, separator(Stream::Report));
    listText(Stream::Report, declaredTitle);
    writeFigures(Stream::Console, " Downward flux factor DFF  %", e.declared);
    listText(Stream::Report, "     ");  // a list line of five blanks
    writeFigures(Stream::Report, " Downward flux factor DFF  %", e.declared);

    const char* calculatedTitle = "Luminaire emission data (calculated):";
    sectionHeading(Stream::Console, calculatedTitle);
    listText(Stream::Report, "    ");
    listText(Stream::Report, separator(Stream::Report));
    listText(Stream::Report, calculatedTitle);
    listText(Stream::Report, "  ");

    if (in.photometry.lastGamma() < 180.0) {
        writeIncompleteBlock(Stream::Report);
        writeIncompleteBlock(Stream::Console);
        writeIncompleteDataBlock();
    }
    if (e.fullSphere) {
        writeFigures(Stream::Console, " Downward flux factor DFF %", e.calculated);
        writeFigures(Stream::Report, " Downward flux factor DFF %", e.calculated);
    } else {
        writeFigure(Stream::Console, " Downward light output ratio DLOR %", e.downwardLightOutputRatio);
        writeFigure(Stream::Report, " Downward light output ratio DLOR %", e.downwardLightOutputRatio);
    }
}

void writeIncompletePhotometryWarning() {
    const std::string dots = fmt::repeat('.', 54);
    const char* message[] = {"ATTENTION: The input photometry is incomplete.",
                             "It does not fill the full gamma range 0-180 degrees",
                             "This estimate assumes that the intensity decreases at larger ",
                             "gamma, however this cannot be checked."};
    listText(Stream::Report, " ");
    for (Stream s : {Stream::Report, Stream::Console}) {
        listText(s, dots);
        for (const char* text : message) listText(s, text);
        listText(s, dots);
        listText(s, " ");
    }
}

void textToBoth(std::string_view text) {
    listText(Stream::Console, text);
    listText(Stream::Report, text);
}

}  // namespace

void writeMaximumLuminaireIntensity(const RunInputs& in, const RunResult& result) {
    const MaximumLuminaireIntensity& max = result.directional.maxLuminaire;
    if (max.found) {
        const std::string angles =
            " cd/klm at angles C, gamma" + fmt::Inint(max.at.c, 4) + "," + fmt::Inint(max.at.gamma, 4);
        textToBoth(" ");
        textToBoth("Maximum upward luminaire intensity");
        toConsoleAndReport(" per unit lamp flux     " + fmt::F(max.intensity, 7, 2) + angles);
        toConsoleAndReport(" per unit luminaire flux" + fmt::F(max.perLuminaireFlux, 7, 2) + angles);
        if (in.photometry.lastGamma() < 180.0) writeIncompletePhotometryWarning();
    } else {
        for (Stream s : {Stream::Console, Stream::Report}) {
            listText(s, " ");
            listText(s, "Maximum luminaire intensity per unit lamp flux at angles C, gamma not available");
        }
    }
}

namespace {

void writeLuminaireSectionsTo(const RunInfo& info, const RunInputs& in, const RunResult& result,
                              OutputFile& anglesFile, OutputFile& photFile) {
    const double tilt = in.installation.tilt;
    if (tilt != 0.0 && !writeRotatedPhotometry(info, in, result, anglesFile, photFile)) return;
    if (result.end == RunEnd::RotationError && result.stopStage == RunStage::Luminaire) return;

    writeEmissionSections(in, result.emission);
    if (tilt != 0.0) {
        writeLuminaireFluxSections(in, result, anglesFile, photFile);
        if (in.installation.spacing == 0.0) writeZeroSpacingNotice(true);
    }
    if (result.end == RunEnd::RotationOnly) {
        if (tilt == 0.0) writeZeroSpacingNotice(false);
        writeMaximumLuminaireIntensity(in, result);
    }
}

}  // namespace

void writeLuminaireSections(const RunInfo& info, const RunInputs& in, const RunResult& result) {
    OutputFile anglesFile;
    OutputFile photFile;
    writeLuminaireSectionsTo(info, in, result, anglesFile, photFile);
    // Checked closes also where a rotation error cut the files short.
    anglesFile.close();
    photFile.close();
}

}  // namespace vl
