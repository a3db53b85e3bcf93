// The luminaire photometry from an IES LM-63 file (versions 1986, 1991, 1995, 2002 and
// 2019, photometric type C).
//
// The label (keyword lines, or the free label lines of 1986) ends at the TILT= line;
// from there the file is a stream of numbers separated by blanks, tabs, commas or line
// ends, split over lines in any way. The horizontal angles are completed by the
// symmetry their range implies and turned onto the C axis by C = H + R; the candelas
// become cd per klm of lamp flux (of the luminaire flux for absolute photometry).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/photometry/photometry_table.hpp"
#include "readers/photometry_dimensions.hpp"

namespace vl {

// R of C = H + R. IES road photometry has its street side at H = 0; in this program
// C = 90 points across the road.
inline constexpr double kDefaultIesRotation = 90.0;

// The largest number of TILT=INCLUDE angle and factor pairs read.
inline constexpr int kMaxIesTiltPairs = 200;

enum class IesVersion { Lm63_1986, Lm63_1991, Lm63_1995, Lm63_2002, Lm63_2019 };

// "LM-63-1995" and so on.
std::string_view iesVersionName(IesVersion version);

// A keyword line; the text of its [MORE] lines follows the value after a '\n'.
struct IesKeyword {
    std::string name;  // without the brackets, as written
    std::string value;
};

struct IesTiltData {
    bool included = false;  // TILT=INCLUDE (otherwise TILT=NONE)
    int lampToLuminaireGeometry = 0;
    std::vector<double> angles;
    std::vector<double> factors;
};

struct IesHeader {
    IesVersion version = IesVersion::Lm63_1986;
    std::string versionLine;              // line 1 as it stands (empty for 1986)
    std::vector<std::string> labelLines;  // lines before TILT= that are no keyword line
    std::vector<IesKeyword> keywords;
    IesTiltData tilt;
    int lampCount = 0;
    double lumensPerLamp = 0;  // -1: absolute photometry
    double candelaMultiplier = 0;
    int verticalCount = 0;
    int horizontalCount = 0;
    int photometricType = 0;  // 1 C, 2 B, 3 A
    int unitsType = 0;        // 1 feet, 2 metres
    double width = 0;         // luminous opening as written, in the file's unit (negative: round)
    double length = 0;
    double height = 0;
    double ballastFactor = 0;
    // 1986 to 1995: the ballast-lamp photometric factor; 2002: a field for future use;
    // 2019: the file generation type.
    double secondFactor = 0;
    double inputWatts = 0;
    std::vector<double> verticalAngles;    // as written
    std::vector<double> horizontalAngles;  // as written
    double rotation = kDefaultIesRotation;  // R used
    bool absolute = false;
    double luminaireFlux = 0;        // lm, integrated from the file's candelas
    bool interpolatedPlane = false;  // no horizontal angle turned onto C = 0

    // The first keyword of that name (case ignored), or nullptr.
    const IesKeyword* keyword(std::string_view name) const;
    // The first line of a keyword's value, empty when there is no such keyword.
    std::string keywordText(std::string_view name) const;
    // The maker ([MANUFAC]) and the luminaire ([LUMINAIRE]), the counterparts of Eulumdat
    // lines 1 and 9; in a label without keywords (1986) the first and second label lines.
    std::string identification() const;
    std::string luminaireName() const;
    // Whether the second factor multiplies the candelas (versions before 2002).
    bool secondFactorApplies() const { return version < IesVersion::Lm63_2002; }
    // A length of the luminous opening in metres.
    double metres(double length) const { return unitsType == 1 ? length * 0.3048 : length; }
};

// How far a read got: the echo of a file that fails part way shows what was read.
enum class IesProgress {
    None,
    Label,    // the version and the label up to the TILT= line
    Tilt,     // TILT=NONE, or TILT=INCLUDE and its pairs
    Counts,   // lamps .. luminous opening, type C and within bounds
    Factors,  // ballast factor, second factor, input watts
    Angles,   // both angle lists, ascending, of a type C set
    Complete, // the candelas and the table
};

struct IesFile {
    IesHeader header;
    PhotometryTable table;
    IesProgress progress = IesProgress::None;
};

// The driver's pre-read: the label, the counts and the angle lists, enough to know the
// completed table's size (C planes below 360 and gamma angles). Refuses what readIes
// refuses up to the angles (InputRefusal) before anything is sized.
PhotometryDimensions readIesDimensions(const std::string& fileName, double rotation = kDefaultIesRotation);

// Reads the file into `file`, which holds what was read when a ReadError (the file cannot
// be read) or an InputRefusal (a file the program does not take: TILT=<file>, type A or
// B, the bounds, axes that do not ascend, sets that are not of type C) leaves part way.
void readIes(const std::string& fileName, IesFile& file, double rotation = kDefaultIesRotation);

}  // namespace vl
