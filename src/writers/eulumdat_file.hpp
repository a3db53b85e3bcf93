// Writing a photometry table as an Eulumdat file.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/photometry/photometry_table.hpp"

namespace vl {

// What an Eulumdat file says beside the table; DFF, LORL, the measurement tilt and the
// lamp sets come from the table's declared data.
struct EulumdatText {
    std::string identification;  // line 1
    int typeIndicator = -1;      // Ityp; below 0: 1 for a rotationally symmetric table, else 3
    std::string reportNumber;    // line 8
    std::string luminaireName;   // line 9
    std::string luminaireNumber; // line 10
    std::string fileName;        // line 11
    std::string dateUser;        // line 12
    std::array<std::string, 9> dimensions{"0", "0", "0", "0", "0", "0", "0", "0", "0"};  // lines 13 to 21 (mm)
    std::array<std::string, 10> directRatios{"0", "0", "0", "0", "0", "0", "0", "0", "0", "0"};
};

// The symmetry indicator the table is written with: 1 when every plane is the same;
// on equally spaced planes 4, 2 or 3 when the values repeat about both planes, about
// C0-C180 or about C90-C270; 0 otherwise. A written file reads back to the same table.
int eulumdatSymmetry(const PhotometryTable& table);

// The angles of an axis as the writers print them: at most six decimals, or the
// shortest exact text when six decimals would not keep them strictly ascending.
std::vector<std::string> angleTexts(const std::vector<double>& angles);

// Writes the file (CR LF line ends); false when it cannot be written.
bool writeEulumdatFile(const std::string& path, const PhotometryTable& table, const EulumdatText& text);

}  // namespace vl
