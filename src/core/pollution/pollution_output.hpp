// Lines and constants shared by the light pollution sections.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "writers/format.hpp"
#include "writers/streams.hpp"
#include "app/computation_state.hpp"

namespace vl::pollution {

// Share of the road's lambertian upward intensity that leaves the installation, held in
// single precision (0.7699999809265137 widened).
inline constexpr float ROAD_UPWARD_FACTOR = 0.77f;
inline double roadUpwardFactor() { return static_cast<double>(ROAD_UPWARD_FACTOR); }

// Elevations above the horizon (deg) of the direction tables: 1, then 10, 20, 30.
inline constexpr double kElevationSet[kElevations] = {1.0, 10.0, 20.0, 30.0};

// Last gamma angle of the photometry (deg).
inline double lastGamma() {
    const auto& p = state().photometry;
    return p.gammaAngles.empty() ? 0.0 : p.gammaAngles.back();
}

// A formatted line written to the Console and then to the report.
inline void lineToBoth(const std::string& line) {
    writeLine(Stream::Console, line);
    writeLine(Stream::Report, line);
}

// A list line of one text written to the Console and then to the report.
inline void textToBoth(std::string_view text) {
    listText(Stream::Console, text);
    listText(Stream::Report, text);
}

// List lines of one text each: all of them on the Console, then all in the report.
inline void textsToBoth(std::initializer_list<std::string_view> texts) {
    for (Stream s : {Stream::Console, Stream::Report}) {
        for (std::string_view text : texts) listText(s, text);
    }
}

// "    ", the stream's separator and the title, on the Console and then in the report.
inline void pollutionHeading(std::string_view title) {
    for (Stream s : {Stream::Console, Stream::Report}) {
        listText(s, "    ");
        listText(s, separator(s));
        listText(s, title);
    }
}

// The label of a result line with its value replaced by "not available".
inline std::string notAvailable(std::string_view label) { return std::string(label) + " not available"; }

}  // namespace vl::pollution
