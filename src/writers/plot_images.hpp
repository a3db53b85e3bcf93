// Raw images of the upward emission for 3D plotting.
#pragma once

#include <string>
#include <vector>

namespace vl {

// The model fluxes, the row range and the five image files; only when extend.txt
// switched them on and the photometry reaches the zenith (last gamma exactly 180).
void writePlotImages();

// Upward flux (lm per klm of lamp flux) of a table laid out like the photometry:
// each cell at or above the horizontal weighted by its band solid angle, the closing
// 360 deg plane left out.
double integrateTableFlux(const std::vector<double>& table);

// "(" + I3(nC) + "F8.2)".
std::string plotImageFormat(int cCount);

// The directional and total parts of the model road's upward intensity (cd/klm).
struct RoadModel {
    std::vector<double> reflected;  // Rr(l, m) at [l + nC * m]
    std::vector<double> total;      // Rt(l, m)
};
RoadModel buildRoadModel();

}  // namespace vl
