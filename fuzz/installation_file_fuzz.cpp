// The installation file reader, its echo and its write-back; the switch file and the
// report header on the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/installation_file.hpp"
#include "fuzz_support.hpp"
#include "readers/read_error.hpp"
#include "writers/report_files.hpp"
#include "writers/streams.hpp"
#include "app/process_stop.hpp"

VL_FUZZ_INIT

namespace {

bool plainWord(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
                        c == '_' || c == '-';
        if (!ok) return false;
    }
    return true;
}

bool fitsColumns(const vl::InstallationData& d) {
    auto fits = [](double v, double high) { return v > -99.995 && v < high; };
    return fits(d.lampFlux, 9999.995) && fits(d.roadWidth, 999.995) && fits(d.spacing, 999.995) &&
           fits(d.overhang, 999.995) && fits(d.poleHeight, 999.995) && fits(d.maintenanceFactor, 999.995) &&
           fits(d.tilt, 999.995) && d.gridChoice > -100 && d.gridChoice < 1000 && plainWord(d.surfaceClass) &&
           plainWord(d.photometryFile);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vl::fuzz::writeInput(vl::kInstallationFileName, data, size);
    try {
        const vl::InstallationData read = vl::readInstallationFile();
        vl::fuzz::require(read.surfaceClass.size() <= 2 && read.photometryFile.size() <= 20);
        vl::echoInstallationData(read);
        const std::string line = vl::installationLine(read);
        vl::fuzz::require(line.size() == 77);
        vl::writeInstallationFile(read);
        if (fitsColumns(read)) {
            // What fits its columns reads back as written.
            const vl::InstallationData again = vl::readInstallationFile();
            vl::fuzz::require(vl::installationLine(again) == line);
        }
    } catch (const vl::ReadError& error) {
        vl::fuzz::require(!error.kind().empty());
    }

    vl::fuzz::writeInput(vl::kExtendFileName, data, size);
    try {
        (void)vl::readExtendFlag();
    } catch (const vl::ReadError& error) {
        vl::fuzz::require(!error.kind().empty());
    }

    vl::fuzz::writeInput("header.txt", data, size);
    try {
        std::string reportName(40, ' ');
        vl::openOutputFiles(reportName);
        vl::fuzz::require(reportName.size() == 40);
    } catch (const vl::WriteError& error) {
        vl::fuzz::require(!error.kind().empty());
    } catch (const vl::ReadError& error) {
        vl::fuzz::require(!error.kind().empty());
    }
    vl::reportFile().close();
    vl::dataFile().close();
    return 0;
}
