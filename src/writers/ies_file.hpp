// Writing a photometry table as an IES LM-63-2002 file.
#pragma once

#include <string>
#include <vector>

#include "core/photometry/photometry_table.hpp"
#include "readers/ies.hpp"

namespace vl {

struct IesText {
    // Written in order; a '\n' in a value continues on a [MORE] line. [TEST], [TESTLAB],
    // [ISSUEDATE] and [MANUFAC], which LM-63-2002 requires, are added empty when missing.
    std::vector<IesKeyword> keywords;
    double width = 0;  // luminous opening (m); negative: round
    double length = 0;
    double height = 0;
};

// Whether the gamma angles form a vertical set of type C photometry (0 to 90, 0 to 180,
// 90 to 180).
bool iesVerticalSet(const PhotometryTable& table);

// Writes the table with its C axis as the horizontal angles (the caller turns it first),
// the planes reduced to 0, 0 to 90, 0 to 180 or 90 to 270 when the table has that
// symmetry on equally spaced planes, else 0 to 360. The candelas are the intensities
// times the last lamp set's flux / 1000 with that flux as the lamps' lumens (-1 for a
// negative number of lamps, absolute photometry). CR LF line ends; false when the file
// cannot be written.
bool writeIesFile(const std::string& path, const PhotometryTable& table, const IesText& text);

}  // namespace vl
