#include "core/roadlighting/road_geometry.hpp"

#include "core/numeric/degrees.hpp"
#include "core/run/installation.hpp"

namespace vl {

RoadInstallation roadInstallation(const InstallationData& in) {
    RoadInstallation road;
    road.roadWidth = in.roadWidth;
    road.spacing = in.spacing;
    road.overhang = in.overhang;
    road.poleHeight = in.poleHeight;
    road.lampFlux = in.lampFlux;
    road.maintenanceFactor = in.maintenanceFactor;
    road.tilt = in.tilt;
    road.gridChoice = in.gridChoice;
    return road;
}

double azimuthToLuminaire(double dx, double dy) {
    if (dy == 0.0) {
        return dx < 0.0 ? 0.0 : 180.0;
    }
    if (dy > 0.0) {
        if (dx < 0.0) return 360.0 - atand(-dy / dx);
        if (dx == 0.0) return 270.0;
        return 180.0 + atand(dy / dx);
    }
    if (dx < 0.0) return atand(dy / dx);
    if (dx == 0.0) return 90.0;
    return 180.0 - atand(-dy / dx);
}

}  // namespace vl
