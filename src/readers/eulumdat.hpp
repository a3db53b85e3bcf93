// The luminaire photometry from an Eulumdat file.
//
// The head, the lamp sets and the direct ratios are read by line position (an empty line
// is an empty field); then the angle lists and the stored intensity planes, expanded by
// the symmetry indicator into a full table over C = 0..360 with a closing plane at 360.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/photometry/photometry_table.hpp"
#include "readers/photometry_dimensions.hpp"

namespace vl {

// Head fields that only the echo of the file shows.
struct EulumdatHeader {
    std::string identification;  // line 1, 60 characters as they stand, blank-padded
    int typeIndicator = 0;       // Ityp
    int symmetry = 0;            // Isym
    int cPlanes = 0;             // Mc
    double cStep = 0;            // Dc
    int gammaAngles = 0;         // Ng
    double gammaStep = 0;        // Dg
    std::string luminaireName;   // line 9, 60 characters
    double conversionFactor = 0; // CFLI
    int lampSetCount = 0;        // as written (a count below 1 reads no set)
    // Lines kept as they stand for a conversion of the file, never parsed by the reader.
    std::string identificationLine;            // line 1
    std::string reportNumber;                  // line 8
    std::string luminaireNameLine;             // line 9
    std::string luminaireNumber;               // line 10
    std::string fileName;                      // line 11
    std::string dateUser;                      // line 12
    std::array<std::string, 9> dimensions;     // lines 13 to 21 (mm)
    std::array<std::string, 10> directRatios;  // after the lamp sets
    std::vector<std::string> lampTypeLines;    // the type of lamps of each set read
};

// How far a read got: the echo of a file that fails part way shows what was read.
enum class EulumdatProgress {
    None,            // nothing read (the file may not exist yet)
    Identification,  // line 1
    Dimensions,      // Ityp .. Dg, within bounds
    LuminaireName,   // line 9
    Shape,           // lines 10 to 12
    LampHead,        // DFF, LORL, CFLI (accepted), measurement tilt, lamp set count
    LampSets,        // the sets in `table.declared.lampSets`, the last one possibly partial
    Angles,          // the ten direct ratios and both angle lists
    Complete,        // the intensities
};

struct EulumdatFile {
    EulumdatHeader header;
    PhotometryTable table;
    EulumdatProgress progress = EulumdatProgress::None;
    // Fields read of the last lamp set: 1 type, 2 flux, 3 wattage.
    int lastLampSetFields = 0;
};

// The driver's pre-read of Mc and Ng; refuses counts outside the table bounds
// (InputRefusal) before anything is sized.
PhotometryDimensions readEulumdatDimensions(const std::string& fileName);

// Reads the file into `file`, which holds what was read when a ReadError or an
// InputRefusal leaves part way ("not allowed input file" for CFLI not 1 or an unknown
// Isym, the bounds of Mc and Ng, axes that do not ascend).
void readEulumdat(const std::string& fileName, EulumdatFile& file);

}  // namespace vl
