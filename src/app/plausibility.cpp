#include "app/plausibility.hpp"

#include <cmath>
#include <cstdio>
#include <iostream>

#include "app/grid_records.hpp"
#include "app/installation_file.hpp"
#include "writers/streams.hpp"

namespace vl {

namespace {

std::function<void(std::string_view)>& sink() {
    static std::function<void(std::string_view)> s;
    return s;
}

// Six significant digits: the figure as typed, not its binary expansion (W x f).
std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

}  // namespace

std::vector<std::string> plausibilityWarnings(const InstallationData& d, const GridChoice* record) {
    std::vector<std::string> warnings;
    // Comparisons are written so that NaN fails them and is warned about.
    if (!(d.poleHeight > 0.0)) warnings.push_back("pole height " + number(d.poleHeight) + " m is not above 0");
    if (!(d.roadWidth > 0.0)) warnings.push_back("road width " + number(d.roadWidth) + " m is not above 0");
    if (!(d.maintenanceFactor > 0.0 && d.maintenanceFactor <= 1.0)) {
        warnings.push_back("maintenance factor " + number(d.maintenanceFactor) + " is outside 0 < q <= 1");
    }
    if (!(d.lampFlux > 0.0)) warnings.push_back("lamp flux " + number(d.lampFlux) + " klm is not above 0");
    if (!(std::fabs(d.tilt) <= 90.0)) {
        warnings.push_back("tilt " + number(d.tilt) + " deg is beyond plus or minus 90 (the luminaire faces up)");
    }
    // The luminaires stand at y = overhang, the road spans 0 <= y <= width: more than one
    // road width beyond either edge is far from the road it lights.
    if (d.roadWidth > 0.0 && !(d.overhang >= -d.roadWidth && d.overhang <= 2.0 * d.roadWidth)) {
        warnings.push_back("overhang " + number(d.overhang) + " m puts the luminaires more than a road width (" +
                           number(d.roadWidth) + " m) outside the road");
    }
    if (record != nullptr) {
        const double fractions[2] = {record->observer1Offset, record->observer2Offset};
        for (int k = 0; k < 2; ++k) {
            // Observer k stands at y = width x fraction (a road of no width has its own warning).
            const double y = d.roadWidth * fractions[k];
            if (d.roadWidth > 0.0 && !(y >= 0.0 && y <= d.roadWidth)) {
                warnings.push_back("grid record " + std::to_string(record->gridNumber) + ": observer " +
                                   std::to_string(k + 1) + " at y = " + number(y) + " m (fraction " +
                                   number(fractions[k]) + " of the road width) is off the road");
            }
        }
    }
    return warnings;
}

std::vector<std::string> installationWarnings(const InstallationData& data) {
    const std::vector<GridChoice> records = peekGridRecords(kGridFileName);
    for (const GridChoice& r : records) {
        if (r.gridNumber == data.gridChoice) return plausibilityWarnings(data, &r);
    }
    return plausibilityWarnings(data, nullptr);
}

void warnImplausibleInputs(const InstallationData& data) {
    for (const std::string& warning : installationWarnings(data)) writeWarning(warning);
}

void setWarningSink(std::function<void(std::string_view)> s) { sink() = std::move(s); }

void writeWarning(std::string_view text) {
    if (sink()) {
        sink()(text);
        return;
    }
    std::cerr << "vesperluminal: warning: " << terminalSafe(text) << '\n' << std::flush;
}

}  // namespace vl
