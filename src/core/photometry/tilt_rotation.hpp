// Directions between the luminaire's own frame and the installed (tilted) frame.
#pragma once

namespace vl {

struct Direction {
    double c = 0;      // azimuth of the half-plane, deg
    double gamma = 0;  // from the downward vertical, deg
};

// Installed-frame direction of the luminaire-frame direction (c, gamma) for tilt t.
Direction rotang(double c, double gamma, double t);
// Luminaire-frame direction of the installed-frame direction (c, gamma); inverse of rotang.
Direction rotphot(double c, double gamma, double t);

// Intensity (cd/klm, never negative) of the tilted luminaire towards the installed-frame
// direction (c, gamma).
double luminaireIntensityAt(double c, double gamma);

// Fills state().rotated, writes section 1 of the rotated-photometry files and the listing.
void buildRotatedPhotometry();
// Section 2 of both files (tilt not 0), then the zero-spacing notice when the spacing is 0.
void writeRotatedLuminaireFluxSections();
// The notice of a rotation-only run; withFilesLine adds "(files ROTATEDANGLES_, ROTATEDPHOT_)".
void writeZeroSpacingNotice(bool withFilesLine);

}  // namespace vl
