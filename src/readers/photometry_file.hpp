// A luminaire photometry file of either format, told apart by its content.
#pragma once

#include <string>

#include "core/photometry/photometry_table.hpp"
#include "readers/eulumdat.hpp"
#include "readers/ies.hpp"
#include "readers/photometry_dimensions.hpp"

namespace vl {

enum class PhotometryFormat { Eulumdat, Ies };

// IES when the first line begins with "IESNA" or "IES:" (case ignored, after a UTF-8
// byte order mark and blanks) or when a line of the head (the first 100 lines) begins
// with "TILT=" (the 1986 layout without a version line); Eulumdat otherwise, also for
// a file that is missing or cannot be opened (its reader then says why).
PhotometryFormat detectPhotometryFormat(const std::string& fileName);

// The driver's pre-read of either format: the table's C planes below 360 (Mc; for IES
// after completion and rotation) and its gamma angles, refused (InputRefusal) outside
// the table bounds before anything is sized.
struct PhotometrySize {
    PhotometryFormat format = PhotometryFormat::Eulumdat;
    PhotometryDimensions dimensions;
};
PhotometrySize readPhotometryDimensions(const std::string& fileName, double iesRotation = kDefaultIesRotation);

// A photometry file read by the reader of its format.
struct PhotometryFile {
    PhotometryFormat format = PhotometryFormat::Eulumdat;
    EulumdatFile eulumdat;  // when Eulumdat
    IesFile ies;            // when IES
    const PhotometryTable& table() const { return format == PhotometryFormat::Ies ? ies.table : eulumdat.table; }
    bool complete() const {
        return format == PhotometryFormat::Ies ? ies.progress == IesProgress::Complete
                                               : eulumdat.progress == EulumdatProgress::Complete;
    }
};
void readPhotometryFile(const std::string& fileName, PhotometryFile& file, double iesRotation = kDefaultIesRotation);

}  // namespace vl
