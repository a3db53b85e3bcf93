// The inputs of a run as the user gives them: the ten installation values and the chosen
// record of the grid file.
#pragma once

#include <string>

namespace vl {

// The ten inputs of a run (one line of "input_nocturne.dat").
struct InstallationData {
    double lampFlux = 0;           // klm
    double roadWidth = 0;          // m
    double spacing = 0;            // m
    double overhang = 0;           // m
    double poleHeight = 0;         // m
    double maintenanceFactor = 0;  // -
    double tilt = 0;               // deg
    std::string surfaceClass;      // 2 characters (stored unpadded; padded when written)
    int gridChoice = 0;            // 1..9
    std::string photometryFile;    // up to 20 characters (stored unpadded)
};

// One record of "grid.dat".
struct GridChoice {
    std::string gridTitle;  // 40 characters, blank-padded
    int gridNumber = 0;
    int pointsAlongX = 0;
    char startFlagX = ' ';
    int pointsAlongY = 0;
    char startFlagY = ' ';
    double observerDistance = 0;
    double observerHeight = 0;
    double observer1Offset = 0;
    double observer2Offset = 0;
};

}  // namespace vl
