// A luminaire's photometry, whatever file it came from: the intensity distribution over
// the whole sphere and what the file declares about lamps and light output.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vl {

// One set of lamps as declared (the last set read is the one the energy figures use).
struct LampSet {
    std::string lampCount;          // as written
    std::string lampType;           // 20 characters, blank-padded
    double totalFlux = 0;           // lm
    std::string colourTemperature;  // as written
    std::string colourRendering;    // as written
    double wattage = 0;             // W, ballast included
};

// Figures the file states beside the intensities.
struct DeclaredLuminaireData {
    double downwardFluxFactor = 0;  // DFF, % of the luminaire flux going down
    double lightOutputRatio = 0;    // LORL, % of the lamp flux leaving the luminaire
    double measurementTilt = 0;     // deg, tilt of the luminaire during measurement
    std::vector<LampSet> lampSets;
    std::string sourceFormat = "Eulumdat";  // the kind of file the figures come from
};

// Intensities in cd per klm of lamp flux over C = 0..360 deg (the closing plane at 360
// repeats C = 0) and gamma ascending from the downward vertical, at most 180 deg up,
// completed by the file's symmetry. C is the fast index: I(i, j) at [i + nC * j].
struct PhotometryTable {
    int cCount = 0;        // nC, the closing plane included
    int gammaCount = 0;    // nG
    double cStep = 0;      // declared step between C planes (deg); 0: cell widths from the angles
    double gammaStep = 0;  // declared step between gamma angles (deg); 0: from the angles
    std::vector<double> cAngles;
    std::vector<double> gammaAngles;
    std::vector<double> intensity;
    DeclaredLuminaireData declared;

    double& I(int i, int j) {
        return intensity[static_cast<std::size_t>(i) + static_cast<std::size_t>(cCount) * static_cast<std::size_t>(j)];
    }
    double I(int i, int j) const {
        return intensity[static_cast<std::size_t>(i) + static_cast<std::size_t>(cCount) * static_cast<std::size_t>(j)];
    }
    double lastGamma() const { return gammaAngles.empty() ? 0.0 : gammaAngles.back(); }
};

// 1-based gamma indices of the photometry listings: the last gamma angle at or below 30
// and at or below 70 deg. A table without such an angle keeps the earlier index.
struct ListingIndices {
    int index30 = 0;
    int index70 = 0;
};

inline ListingIndices listingIndices(const PhotometryTable& table, ListingIndices earlier) {
    ListingIndices k = earlier;
    for (int j = 1; j <= table.gammaCount; ++j) {
        const double gamma = table.gammaAngles[static_cast<std::size_t>(j - 1)];
        if (gamma <= 30.0) k.index30 = j;
        if (gamma <= 70.0) k.index70 = j;
    }
    return k;
}

}  // namespace vl
