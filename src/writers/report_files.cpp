#include "writers/report_files.hpp"

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "text/format.hpp"
#include "writers/streams.hpp"
#include "readers/read_error.hpp"
#include "readers/text_input.hpp"

namespace vl {

namespace {

bool isClockSetting(const char* text) {
    if (text == nullptr) return false;
    std::string_view value(text);
    if (value.size() != 14) return false;
    for (char c : value) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

}  // namespace

ClockReading readClock() {
    const char* fixed = std::getenv("VESPERLUMINAL_CLOCK");
    if (isClockSetting(fixed)) {
        std::string_view value(fixed);
        return {std::string(value.substr(0, 8)), std::string(value.substr(8, 6)) + ".0"};
    }
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto tenths =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000 / 100;
    std::tm local{};
    localtime_r(&seconds, &local);
    char date[16];
    char time[16];
    std::strftime(date, sizeof date, "%Y%m%d", &local);
    std::strftime(time, sizeof time, "%H%M%S", &local);
    return {date, std::string(time) + "." + std::to_string(tenths)};
}

RunInfo openOutputFiles(std::string& reportName) {
    RunInfo run;
    const ClockReading clock = readClock();
    run.date = clock.date;
    run.time = clock.time;
    run.runStamp = run.date + run.time.substr(0, 4);
    const std::string reportFileName = "report_nocturne_" + run.runStamp + ".doc";
    reportName = fmt::padded(reportFileName, 40);
    run.reportName = reportName;

    reportFile().create(reportFileName);
    listText(Stream::Report, "");
    {
        // The heading file is opened as an existing file: a missing one is not created.
        std::error_code ec;
        if (!std::filesystem::exists("header.txt", ec)) throw ReadError("header.txt", "does not exist");
        InputFile header("header.txt");
        for (int k = 0; k < 5; ++k) {
            listText(Stream::Report, header.readFixedText(80));
        }
    }
    const std::string dashes64 = fmt::repeat('-', 64);
    const std::string heading[] = {
        dashes64,
        "",
        "                            REPORT",
        " ",
        "             Analysis of the environmental impact of  ",
        "        light pollution from a road lighting installation",
        fmt::repeat(' ', 22),
        " ",
        dashes64,
        "Creator:",
        " ",
        "VESPERLUMINAL, software for the evaluation of the   ",
        "environmental impact of light pollution from road",
        "lighting and the analysis of lighting installations",
        " ",
        "Computed figures follow the installation data echoed below;",
        "check inputs and units before relying on the results.",
        "",
        dashes64,
        "",
        "Date  " + run.date,
        "Time  " + run.time.substr(0, 4),
        "Filename  " + reportName,
        "",
    };
    for (const std::string& text : heading) listText(Stream::Report, text);

    dataFile().create("outdat_nocturne_" + run.runStamp + ".doc");
    const std::string dashes54 = fmt::repeat('-', 54);
    const std::string dataHeading[] = {
        dashes54,
        "",
        "                    Vesperluminal Data Tables",
        "",
        "Raw maps and tables of the run named in the report",
        "with the same run stamp; lengths in m, angles in deg.",
        "",
        dashes54,
        "",
        run.date + run.time,
        "",
    };
    for (const std::string& text : dataHeading) listText(Stream::Data, text);
    return run;
}

void echoInstallationData(const InstallationData& data) {
    struct EchoLine {
        const char* label;
        double value;
        int decimals;
    };
    const EchoLine lines[] = {
        {" lamp flux (klm)", data.lampFlux, 3},       {" road width (m)", data.roadWidth, 1},
        {" luminaire spacing (m)", data.spacing, 1},  {" luminaire overhang (m)", data.overhang, 1},
        {" luminaire height (m)", data.poleHeight, 1}, {" luminaire tilt (deg)", data.tilt, 1},
    };
    for (Stream stream : {Stream::Console, Stream::Report}) {
        sectionHeading(stream, "Input installation data:");
    }
    for (Stream stream : {Stream::Console, Stream::Report}) {
        for (const auto& line : lines) {
            writeLine(stream, fmt::padded(line.label, 51) + fmt::F(line.value, 7, line.decimals));
        }
    }
}

void writeClosingLine(const std::string& reportName) {
    listText(Stream::Console, "    ");
    listText(Stream::Console, separator(Stream::Console));
    listText(Stream::Console, "    ");
    listText(Stream::Console, "Output data written in file:   " + fmt::padded(reportName, 40));
    dataFile().close();
}

}  // namespace vl
