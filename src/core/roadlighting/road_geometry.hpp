// Plane geometry of the road frame shared by every road lighting map: the azimuth from
// a point to a luminaire, the fold of an azimuth difference into the reflection angle
// beta, and the fixed rows of luminaires that the sums visit.
#pragma once

#include <array>

namespace vl {

// Inputs of the road lighting phase taken from the installation (lengths in m).
struct RoadInstallation {
    double roadWidth = 0;          // W
    double spacing = 0;            // S
    double overhang = 0;           // V (y of every luminaire)
    double poleHeight = 0;         // h
    double lampFlux = 0;           // klm
    double maintenanceFactor = 0;  // q
    double tilt = 0;               // deg
    int gridChoice = 0;
};

struct InstallationData;
RoadInstallation roadInstallation(const InstallationData& installation);

inline constexpr double kEyeHeight = 1.5;            // m above the road
inline constexpr double kTan20 = 0.363970234;        // screening elevation of the glare observers
inline constexpr int kRowLuminaires = 29;            // main row n = 14 .. -14

// Azimuth (deg, 0 <= A < 360) of the vector from P to Q, where dx = xP - xQ and
// dy = yP - yQ; measured in the road plane from +x towards +y.
double azimuthToLuminaire(double dx, double dy);

// beta in 0..180 from an azimuth A and a viewing azimuth a.
inline double foldAzimuth(double azimuth, double viewing) {
    double b = azimuth + 360.0 - viewing;
    if (b > 360.0) b = b - 360.0;
    if (b > 360.0) b = b - 360.0;
    if (b > 180.0) b = 360.0 - b;
    return b;
}

// Luminaire numbers n (x = n * S) in the order each sum visits them.
inline constexpr std::array<int, 29> kMainRow = {14, 13, 12, 11, 10, 9,  8,  7,  6,  5,  4,  3,  2,   1,  0,
                                                 -1, -2, -3, -4, -5, -6, -7, -8, -9, -10, -11, -12, -13, -14};
inline constexpr std::array<int, 15> kGlareRowNearestFirst = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
inline constexpr std::array<int, 15> kGlareRowFarthestFirst = {14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
inline constexpr std::array<int, 14> kAheadOfPoint = {14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
inline constexpr std::array<int, 15> kBehindPoint = {-14, -13, -12, -11, -10, -9, -8, -7, -6, -5, -4, -3, -2, -1, 0};

}  // namespace vl
