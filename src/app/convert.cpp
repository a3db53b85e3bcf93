// The convert command: one photometry file read by the reader of its format and written
// by the writer of the other (or of the same) format.
#include "app/convert.hpp"

#include <cctype>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "readers/photometry_file.hpp"
#include "readers/photometry_tools.hpp"
#include "readers/read_error.hpp"
#include "readers/text_input.hpp"
#include "writers/eulumdat_file.hpp"
#include "text/format.hpp"
#include "writers/ies_file.hpp"

namespace vl {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kEulumdatLampTypeWidth = 24;

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t\r");
    return std::string(text.substr(first, last - first + 1));
}

// The first number of a text, 0 when it holds none.
double numberIn(const std::string& text) {
    const SplitLine split = splitItems(text);
    if (split.items.empty() || split.items[0].kind != FreeItem::Kind::Value) return 0.0;
    return parseReal(split.items[0].text).value_or(0.0);
}

// IES length runs along H 0-180, Eulumdat length along C 0-180: with C = H + R they
// change places when R is an odd multiple of 90 deg (to the nearest).
bool swapsLengthAndWidth(double rotation) { return static_cast<long long>(std::llround(rotation / 90.0)) % 2 != 0; }

std::string fileError(const std::string& name, const std::string& kind) {
    std::string message = "vesperluminal: file \"" + name + "\": " + kind;
    for (char& c : message) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    }
    return message;
}

EulumdatText eulumdatText(const PhotometryFile& file, const std::string& outName, double rotation) {
    EulumdatText text;
    if (file.format == PhotometryFormat::Eulumdat) {
        const EulumdatHeader& h = file.eulumdat.header;
        text.identification = h.identificationLine;
        text.typeIndicator = h.typeIndicator;
        text.reportNumber = h.reportNumber;
        text.luminaireName = h.luminaireNameLine;
        text.luminaireNumber = h.luminaireNumber;
        text.fileName = h.fileName;
        text.dateUser = h.dateUser;
        text.dimensions = h.dimensions;
        text.directRatios = h.directRatios;
        return text;
    }
    const IesHeader& h = file.ies.header;
    text.identification = h.identification();
    text.reportNumber = h.keywordText("TEST");
    text.luminaireName = h.luminaireName();
    text.luminaireNumber = h.keywordText("LUMCAT");
    text.fileName = fs::path(outName).filename().string();
    text.dateUser = h.keywordText("ISSUEDATE");
    if (text.dateUser.empty()) text.dateUser = h.keywordText("DATE");
    // Luminous opening in mm; a negative IES dimension marks a round opening, which
    // Eulumdat writes as a diameter and a width of 0.
    const bool round = h.width < 0.0 || h.length < 0.0;
    double length = std::fabs(h.metres(h.length)) * 1000.0;
    double width = std::fabs(h.metres(h.width)) * 1000.0;
    const double height = std::fabs(h.metres(h.height)) * 1000.0;
    if (round) {
        length = std::max(length, width);
        width = 0.0;
    } else if (swapsLengthAndWidth(rotation)) {
        std::swap(length, width);
    }
    const std::string l = fmt::compact(length, 1);
    const std::string w = fmt::compact(width, 1);
    const std::string hh = fmt::compact(height, 1);
    text.dimensions = {l, w, hh, l, w, hh, hh, hh, hh};
    return text;
}

IesText iesText(const PhotometryFile& file, const std::string& inName, double rotation) {
    IesText text;
    if (file.format == PhotometryFormat::Ies) {
        const IesHeader& h = file.ies.header;
        text.keywords = h.keywords;
        for (const std::string& label : h.labelLines) text.keywords.push_back({"OTHER", trimmed(label)});
        text.width = h.metres(h.width);
        text.length = h.metres(h.length);
        text.height = h.metres(h.height);
        return text;
    }
    const EulumdatHeader& h = file.eulumdat.header;
    const DeclaredLuminaireData& d = file.eulumdat.table.declared;
    std::string other = "converted from the Eulumdat file " + fs::path(inName).filename().string() +
                        ": H = C - R, R = " + fmt::compact(rotation, 4) + " deg";
    if (d.measurementTilt != 0.0) other += "; measured at a tilt of " + fmt::compact(d.measurementTilt, 2) + " deg";
    text.keywords = {
        {"TEST", trimmed(h.reportNumber)},
        {"TESTLAB", ""},
        {"ISSUEDATE", trimmed(h.dateUser)},
        {"MANUFAC", trimmed(h.identificationLine)},
        {"LUMCAT", trimmed(h.luminaireNumber)},
        {"LUMINAIRE", trimmed(h.luminaireNameLine)},
        {"LAMP", h.lampTypeLines.empty() ? std::string() : trimmed(h.lampTypeLines.back())},
        {"OTHER", other},
    };
    // Luminous area (lines 16 and 17, mm; width 0: round) and its greatest height.
    double length = numberIn(h.dimensions[3]) / 1000.0;
    double width = numberIn(h.dimensions[4]) / 1000.0;
    double height = 0.0;
    for (std::size_t k = 5; k < 9; ++k) height = std::max(height, numberIn(h.dimensions[k]) / 1000.0);
    if (width == 0.0 && length > 0.0) {
        width = -length;
        length = -length;
    } else if (swapsLengthAndWidth(rotation)) {
        std::swap(length, width);
    }
    text.width = width;
    text.length = length;
    text.height = height;
    return text;
}

std::string formatName(const PhotometryFile& file) {
    if (file.format == PhotometryFormat::Eulumdat) return "Eulumdat";
    return "IES " + std::string(iesVersionName(file.ies.header.version));
}

}  // namespace

ConvertResult convertPhotometry(const std::string& in, const std::string& out, double rotation) {
    ConvertResult result;
    const auto usage = [&](const std::string& message) {
        result.status = 64;
        result.err.push_back("vesperluminal: convert: " + message);
        return result;
    };
    if (!std::isfinite(rotation)) return usage("the IES rotation is not a number of degrees");
    const std::string extension = lower(fs::path(out).extension().string());
    const bool toIes = extension == ".ies";
    if (!toIes && extension != ".ldt") return usage("the output file name must end in .ldt or .ies: \"" + out + "\"");
    std::error_code ec;
    if (!fs::exists(in, ec)) {
        result.status = 2;
        result.err.push_back(fileError(in, "cannot be opened (no such file)"));
        return result;
    }
    if (fs::exists(out, ec) && fs::equivalent(in, out, ec)) return usage("the output file is the input file");

    const std::string temporary = out + ".tmp";
    try {
        PhotometryFile file;
        readPhotometryFile(in, file, rotation);
        bool written = false;
        bool interpolated = file.format == PhotometryFormat::Ies && file.ies.header.interpolatedPlane;
        if (toIes) {
            PhotometryTable table = file.table();
            interpolated = turnAzimuth(table, -rotation) || interpolated;
            if (!iesVerticalSet(table)) {
                throw InputRefusal("gamma angles " + fmt::freeReal(table.gammaAngles.front()) + " to " +
                                   fmt::freeReal(table.gammaAngles.back()) +
                                   " are no vertical set of IES type C photometry (0 to 90, 0 to 180, 90 to 180)");
            }
            written = writeIesFile(temporary, table, iesText(file, in, rotation));
        } else {
            // The whole lamp descriptions, not the 20 characters the run echoes.
            PhotometryTable table = file.table();
            std::vector<LampSet>& sets = table.declared.lampSets;
            if (file.format == PhotometryFormat::Ies && !sets.empty()) {
                std::string lamp = file.ies.header.keywordText("LAMP");
                if (trimmed(lamp).empty()) lamp = file.ies.header.keywordText("LAMPCAT");
                sets.back().lampType = lamp.substr(0, kEulumdatLampTypeWidth);
            } else if (file.format == PhotometryFormat::Eulumdat) {
                const std::vector<std::string>& lines = file.eulumdat.header.lampTypeLines;
                for (std::size_t k = 0; k < sets.size() && k < lines.size(); ++k) sets[k].lampType = lines[k];
            }
            written = writeEulumdatFile(temporary, table, eulumdatText(file, out, rotation));
        }
        if (written) fs::rename(temporary, out, ec);
        if (!written || ec) {
            fs::remove(temporary, ec);
            result.status = 2;
            result.err.push_back(fileError(out, "cannot be written"));
            return result;
        }
        std::string line = in + " (" + formatName(file) + ") converted to " + out + (toIes ? " (IES LM-63-2002)" : " (Eulumdat)");
        if (file.format == PhotometryFormat::Ies) line += ", C = H + " + fmt::compact(rotation, 4) + " deg";
        if (toIes) line += ", H = C - " + fmt::compact(rotation, 4) + " deg";
        result.out.push_back(line);
        if (interpolated) result.out.push_back("a plane at 0 deg was interpolated: no plane turns onto it");
    } catch (const InputRefusal& refusal) {
        result.status = 1;
        result.out.push_back(fmt::listText(refusal.what()));
    } catch (const ReadError& error) {
        result.status = 2;
        result.err.push_back(fileError(error.fileName(), error.kind()));
    }
    return result;
}

std::optional<double> parseIesRotation(const std::string& text) {
    const std::optional<double> value = parseReal(text);
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return value;
}

int runConvertCommand(const std::vector<std::string>& arguments) {
    const auto usage = [](const std::string& message) {
        std::cerr << "vesperluminal convert: " << message
                  << "\nusage: vesperluminal convert IN OUT [--ies-rotation DEG]  (OUT ends in .ldt or .ies)\n";
        return 64;
    };
    std::vector<std::string> files;
    double rotation = kDefaultIesRotation;
    for (std::size_t k = 0; k < arguments.size(); ++k) {
        const std::string& a = arguments[k];
        if (a == "--help" || a == "-h") {
            std::cout << "Usage: vesperluminal convert IN OUT [--ies-rotation DEG]\n"
                         "Converts a photometry file between Eulumdat (.ldt) and IES LM-63-2002 (.ies): the format\n"
                         "of IN is told by its content, that of OUT by its extension. An IES file is read with\n"
                         "C = H + DEG (default 90: its street side H = 0 lies at C = 90) and written with H = C - DEG.\n";
            return 0;
        }
        if (a == "--ies-rotation" || a.rfind("--ies-rotation=", 0) == 0) {
            std::string text;
            if (a == "--ies-rotation") {
                if (k + 1 >= arguments.size()) return usage("--ies-rotation needs an angle in degrees");
                text = arguments[++k];
            } else {
                text = a.substr(15);
            }
            const auto value = parseIesRotation(text);
            if (!value) return usage("--ies-rotation takes an angle in degrees, not \"" + text + "\"");
            rotation = *value;
        } else if (!a.empty() && a[0] == '-') {
            return usage("unknown option \"" + a + "\"");
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 2) return usage("needs an input and an output file");
    const ConvertResult result = convertPhotometry(files[0], files[1], rotation);
    for (const std::string& line : result.out) std::cout << line << '\n';
    for (const std::string& line : result.err) std::cerr << line << '\n';
    return result.status;
}

}  // namespace vl
