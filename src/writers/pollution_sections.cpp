#include "writers/pollution_sections.hpp"

#include <initializer_list>
#include <string>
#include <string_view>

#include "text/format.hpp"
#include "writers/luminaire_sections.hpp"
#include "writers/streams.hpp"

namespace vl {

namespace {

const std::string kNotAvailablePair = "  not available,   not available";

// List lines of one text each: all of them on the Console, then all in the report.
void textsToBoth(std::initializer_list<std::string_view> texts) {
    for (Stream s : {Stream::Console, Stream::Report}) {
        for (std::string_view text : texts) listText(s, text);
    }
}

// "    ", the stream's separator and the title, on the Console and then in the report.
void pollutionHeading(std::string_view title) {
    for (Stream s : {Stream::Console, Stream::Report}) {
        listText(s, "    ");
        listText(s, separator(s));
        listText(s, title);
    }
}

// The label of a result line with its value replaced by "not available".
std::string notAvailable(std::string_view label) { return std::string(label) + " not available"; }

void writeAzimuthLuminance(const DirectionalPollution& d) {
    textsToBoth({" ", "Average maintained luminance at azimuth omega", "              Azimuth (deg) luminance (cd/m^2)"});
    for (int k = 0; k < kDirections; ++k) {
        toConsoleAndReport("               " + fmt::I(10 * k, 11) +
                           fmt::F(d.avgLuminanceByAzimuth[static_cast<std::size_t>(k)], 12, 3));
    }
}

void writeDirectionTable(const DirectionalPollution& d) {
    textsToBoth({" ", "Upward intensity per unit luminaire flux (cd/klm)", "at elevation alpha and azimuth omega",
                 "alpha(deg)  omega(deg) road intensity  fixture intensity  ratio%"});
    for (const DirectionRow& row : d.directionTable) {
        const UpwardIntensities& u = row.intensities;
        std::string line =
            fmt::Itrunc(row.alpha, 7) + fmt::I(row.azimuth, 10) + fmt::F(fmt::single(u.roadPerLuminaireFlux), 15, 2);
        if (u.fixtureAvailable) {
            line += fmt::F(fmt::single(u.fixturePerLuminaireFlux), 17, 2) +
                    fmt::Itrunc(fmt::truncated(u.ratioPercent), 15);
        } else {
            line += kNotAvailablePair;
        }
        toConsoleAndReport(line);
    }
}

void writeAzimuthAverages(const DirectionalPollution& d) {
    textsToBoth({" ", "Average upward intensity per unit luminaire flux at elevat. alpha",
                 "    alpha  average road intensity  fixture intensity      ratio%"});
    for (int n = 0; n < kElevations; ++n) {
        const UpwardIntensities& u = d.averages[static_cast<std::size_t>(n)];
        std::string line = fmt::Itrunc(kElevationSet[n], 7) + "deg" + fmt::F(u.roadPerLuminaireFlux, 15, 2);
        if (u.fixtureAvailable) {
            line += fmt::F(u.fixturePerLuminaireFlux, 21, 2) + fmt::Itrunc(fmt::truncated(u.ratioPercent), 18);
        } else {
            line += kNotAvailablePair;
        }
        toConsoleAndReport(line);
    }
}

void writeMaximumRoadIntensity(const DirectionalPollution& d) {
    for (Stream s : {Stream::Console, Stream::Report}) {
        listText(s, " ");
        listText(s, "Maximum upward road intensity (estimate)");
        writeLine(s, " per unit lamp flux     " + fmt::F(d.maxRoadIntensity, 7, 2) + " cd/klm at gamma 180 deg");
        writeLine(s, " per unit luminaire flux" + fmt::F(d.maxRoadIntensityPerLuminaireFlux, 7, 2) +
                         " cd/klm at gamma 180 deg");
    }
}

void writeNotApplicable() {
    const std::string dots = fmt::repeat('.', 54);
    for (Stream s : {Stream::Report, Stream::Console}) {
        listText(s, " ");
        listText(s, dots);
        listText(s, "ATTENTION: The input photometry is incomplete.");
        listText(s, "It does not fill the full gamma range 0-180 degrees");
        listText(s, "Computation of integrate parameters can be made");
        listText(s, "only for zero inclination.");
        listText(s, dots);
    }
}

void writeIntegrated(const IntegratedPollution& r) {
    pollutionHeading("Light Pollution, integrated parameters:");
    for (Stream s : {Stream::Console, Stream::Report}) {
        listText(s, " ");
        listText(s, "reference out-of-road surfaces calculated for: ");
        listText(s, "lambertian reflectance with rho=0.135 in average");
    }
    if (!r.computed) {
        writeNotApplicable();
        return;
    }
    for (Stream s : {Stream::Console, Stream::Report}) {
        listText(s, "    ");
        writeLine(s, " direct upward flux ratio UFR % (Rn%):            " + fmt::F(r.directUpwardFluxRatio, 7, 2));
        writeLine(s, " road reflected upward flux ratio %:              " + fmt::F(r.roadReflectedRatio, 7, 2));
        writeLine(s, "(road reflected upward flux ratio for aged asphalt%:" +
                         fmt::F(r.roadReflectedRatioAgedAsphalt, 5, 2) + ")");
    }
    for (Stream s : {Stream::Console, Stream::Report}) {
        writeLine(s, " out-of-road reflected upward flux ratio %:       " + fmt::F(r.outOfRoadReflectedRatio, 7, 2));
        writeLine(s, " increase of upflux ratio due to direct emission %" +
                         fmt::Itrunc(fmt::truncated(r.directIncreasePercent), 7));
        writeLine(s, " increase of upflux ratio due to out-road emiss. %" +
                         fmt::Itrunc(fmt::truncated(r.outOfRoadIncreasePercent), 7));
    }
    for (Stream s : {Stream::Console, Stream::Report}) {
        listText(s, "    ");
        writeLine(s, " direct unit uplight density DUUD (lm/m^2):       " + fmt::F(r.directUplightDensity, 7, 2));
        writeLine(s, " road unit uplight density RUUD (lm/m^2):         " + fmt::F(r.roadUplightDensity, 7, 2));
        writeLine(s, " out-of-road unit uplight density WUUD (lm/m^2):  " + fmt::F(r.outOfRoadUplightDensity, 7, 2));
        writeLine(s, " increase of uplight density due to direct emission %:" +
                         fmt::Itrunc(fmt::truncated(r.densityDirectIncreasePercent), 5));
        writeLine(s, " increase of uplight density due to out-road emiss. %:" +
                         fmt::Itrunc(fmt::truncated(r.densityOutOfRoadIncreasePercent), 5));
    }
}

void writeHemispheric(const ScatteringFactors& f) {
    if (f.hemisphericAvailable) {
        for (Stream s : {Stream::Console, Stream::Report}) {
            listText(s, "    ");
            writeLine(s, " direct scattered flux factor %                   " + fmt::F(f.directScattered, 7, 2));
            writeLine(s, " road scattered flux factor %                     " + fmt::F(f.roadScattered, 7, 2));
            writeLine(s, " out-of-road scattered flux factor %              " + fmt::F(f.outOfRoadScattered, 7, 2));
            writeLine(s, " increase of scattered flux due to direct emiss. % " +
                             fmt::Itrunc(fmt::truncated(f.directIncreasePercent), 6));
            writeLine(s, " increase of scattered flux due to out-road emiss.%" +
                             fmt::Itrunc(fmt::truncated(f.outOfRoadIncreasePercent), 6));
        }
    } else {
        textsToBoth({" ", "total scattered light factors not available"});
    }
}

void writeLowAngle(const ScatteringFactors& f) {
    if (!f.lowAngleAvailable) {
        for (Stream s : {Stream::Console, Stream::Report}) {
            listText(s, " ");
            listText(s, "low angles flux factors not available");
            listText(s, "scattered light factors not available");
        }
        return;
    }
    // The out-of-road lines scale by the uplight densities of this run; without them
    // (integrated parameters skipped) they would show an earlier run's figures.
    const bool scaled = f.outOfRoadAvailable;
    auto realLine = [&](const char* label, double value, bool available) {
        return available ? std::string(label) + fmt::F(value, 7, 2) : notAvailable(label);
    };
    auto increaseLine = [&](const char* label, double value, bool available) {
        return available ? std::string(label) + fmt::Itrunc(fmt::truncated(value), 5) : notAvailable(label);
    };
    for (Stream s : {Stream::Console, Stream::Report}) {
        listText(s, " ");
        writeLine(s, realLine(" low-angles direct upward flux factor %           ", f.lowAngleDirectUp, true));
        writeLine(s, realLine(" low-angles road upward flux factor %             ", f.lowAngleRoadUp, true));
        writeLine(s, realLine(" low-angles out-of-road upward flux factor %      ", f.lowAngleOutOfRoadUp, scaled));
        writeLine(s, increaseLine(" increase of low-angles upward flux due to direct emission %   ",
                                  f.lowAngleDirectUpIncreasePercent, true));
        writeLine(s, increaseLine(" increase of low-angles upward flux due to out-road emission % ",
                                  f.lowAngleOutOfRoadUpIncreasePercent, scaled));
        listText(s, " ");
        writeLine(s, realLine(" low-angles direct scattered flux factor %        ", f.lowAngleDirectScattered, true));
        writeLine(s, realLine(" low-angles road scattered flux factor %          ", f.lowAngleRoadScattered, true));
        writeLine(s, realLine(" low-angles out-of-road scattered flux factor %   ", f.lowAngleOutOfRoadScattered,
                              scaled));
        writeLine(s, increaseLine(" increase of low-angles scattered flux due to direct emission %",
                                  f.lowAngleDirectScatteredIncreasePercent, true));
        writeLine(s, increaseLine(" increase of low-angles scattered flux due to out-road emiss. %",
                                  f.lowAngleOutOfRoadScatteredIncreasePercent, scaled));
        listText(s, " ");
    }
}

}  // namespace

void writePollutionSections(const RunInputs& in, const RunResult& result) {
    const DirectionalPollution& d = result.directional;
    pollutionHeading("Light Pollution, direction dependent parameters:");
    writeAzimuthLuminance(d);
    writeDirectionTable(d);
    writeAzimuthAverages(d);
    writeMaximumLuminaireIntensity(in, result);
    writeMaximumRoadIntensity(d);

    writeIntegrated(result.integrated);

    pollutionHeading("Light Pollution, emispheric and low-angles scattering parameters");
    writeHemispheric(result.scattering);
    writeLowAngle(result.scattering);
    for (Stream s : {Stream::Console, Stream::Report}) {
        listText(s, "    ");
        listText(s, separator(s));
    }
}

}  // namespace vl
