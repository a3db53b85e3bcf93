#include "app/installation_file.hpp"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "writers/format.hpp"
#include "app/process_stop.hpp"
#include "core/roadlighting/grid.hpp"
#include "readers/text_input.hpp"

namespace vl {

std::string installationLine(const InstallationData& d) {
    std::string line;
    line += fmt::F(d.lampFlux, 7, 2);
    line += fmt::F(d.roadWidth, 7, 2);
    line += fmt::F(d.spacing, 7, 2);
    line += fmt::F(d.overhang, 7, 2);
    line += fmt::F(d.poleHeight, 7, 2);
    line += fmt::F(d.maintenanceFactor, 7, 2);
    line += fmt::F(d.tilt, 7, 2);
    line += " " + fmt::padded(d.surfaceClass, 2);
    line += fmt::I(d.gridChoice, 3);
    line += "  " + fmt::padded(d.photometryFile, 20);
    return line;
}

void writeInstallationFile(const InstallationData& data) {
    const std::string temporary = std::string(kInstallationFileName) + ".tmp";
    {
        std::ofstream out(temporary, std::ios::out | std::ios::trunc | std::ios::binary);
        if (!out.is_open()) stopWithFileError(temporary, "cannot be created");
        out << installationLine(data) << '\n';
        out.close();
        if (!out) stopWithFileError(temporary, "write failed");
    }
    std::error_code ec;
    std::filesystem::rename(temporary, kInstallationFileName, ec);
    if (ec) stopWithFileError(kInstallationFileName, "cannot be replaced: " + ec.message());
}

namespace {

InstallationData readInstallation(InputFile& file) {
    InstallationData data;
    ListRead read(file);
    read.real(data.lampFlux);
    read.real(data.roadWidth);
    read.real(data.spacing);
    read.real(data.overhang);
    read.real(data.poleHeight);
    read.real(data.maintenanceFactor);
    read.real(data.tilt);
    read.text(data.surfaceClass, 2);
    read.integer(data.gridChoice);
    read.text(data.photometryFile, 20);
    return data;
}

}  // namespace

InstallationData readInstallationFile() {
    InputFile file(kInstallationFileName);
    return readInstallation(file);
}

InstallationData readInstallationText(const std::string& text) {
    InputFile file(kInstallationFileName, text);
    return readInstallation(file);
}

GridChoice readGridChoice(int choice) {
    InputFile file(kGridFileName);
    for (;;) {
        GridChoice record;
        if (file.atEnd()) file.fail("end of file reached: no grid record number " + std::to_string(choice));
        record.gridTitle = file.readFixedText(40);
        ListRead read(file);
        read.integer(record.gridNumber);
        read.integer(record.pointsAlongX);
        read.character(record.startFlagX);
        read.integer(record.pointsAlongY);
        read.character(record.startFlagY);
        read.real(record.observerDistance);
        read.real(record.observerHeight);
        read.real(record.observer1Offset);
        read.real(record.observer2Offset);
        if (record.gridNumber == choice) return record;
    }
}

std::string gridRecordProblem(const GridChoice& record) {
    const std::string where = std::string("grid.dat record ") + std::to_string(record.gridNumber) + ": ";
    if (record.pointsAlongX < 1 || record.pointsAlongX > kMaxGridPoints) {
        return where + "points along X must lie in 1..200, not " + std::to_string(record.pointsAlongX);
    }
    if (record.pointsAlongY < 1 || record.pointsAlongY > kMaxGridPoints) {
        return where + "points along Y must lie in 1..200, not " + std::to_string(record.pointsAlongY);
    }
    auto fractionOk = [](double f) { return f >= 0.0 && f < 1.0; };
    if (!fractionOk(record.observer1Offset)) {
        return where + "observer 1 fraction must satisfy 0 <= f < 1, not " + fmt::freeReal(record.observer1Offset);
    }
    if (!fractionOk(record.observer2Offset)) {
        return where + "observer 2 fraction must satisfy 0 <= f < 1, not " + fmt::freeReal(record.observer2Offset);
    }
    return {};
}

void checkGridRecord(const GridChoice& record) {
    const std::string problem = gridRecordProblem(record);
    if (!problem.empty()) stopWithConsoleMessage(problem);
}

int readExtendFlag() {
    InputFile file(kExtendFileName);
    return file.readInteger();
}

}  // namespace vl
