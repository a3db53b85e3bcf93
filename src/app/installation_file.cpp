#include "app/installation_file.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "text/format.hpp"
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
    const std::string line = installationLine(data) + "\n";
    // A temporary name of this process alone, created exclusively: a name someone left
    // there (a symbolic link above all) is never written through, only passed over.
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        temporary = std::string(kInstallationFileName) + ".tmp-" + std::to_string(::getpid()) + "-" +
                    std::to_string(attempt);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        const int error = fd < 0 ? errno : 0;
        if (fd < 0 && (error != EEXIST || attempt >= 99)) {
            stopWithFileError(temporary, std::string("cannot be created: ") + std::strerror(error));
        }
    }
    std::size_t done = 0;
    int error = 0;
    while (done < line.size() && error == 0) {
        const ssize_t n = ::write(fd, line.data() + done, line.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EINTR) {
            error = errno;
        } else if (n == 0) {
            error = EIO;
        }
    }
    if (::close(fd) != 0 && error == 0 && errno != EINTR) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        stopWithFileError(temporary, std::string("write failed: ") + std::strerror(error));
    }
    // The rename replaces the name itself: a symbolic link there is replaced, not followed.
    if (::rename(temporary.c_str(), kInstallationFileName) != 0) {
        error = errno;
        ::unlink(temporary.c_str());
        stopWithFileError(kInstallationFileName, std::string("cannot be replaced: ") + std::strerror(error));
    }
}

namespace {

InstallationData readInstallation(InputFile& file) {
    InstallationData data;
    ListRead read(file);
    read.real(data.lampFlux, "the lamp flux");
    read.real(data.roadWidth, "the road width");
    read.real(data.spacing, "the pole spacing");
    read.real(data.overhang, "the overhang");
    read.real(data.poleHeight, "the pole height");
    read.real(data.maintenanceFactor, "the maintenance factor");
    read.real(data.tilt, "the tilt");
    read.text(data.surfaceClass, 2, "the surface class");
    read.integer(data.gridChoice, "the grid choice");
    read.text(data.photometryFile, 20, "the Eulumdat file name");
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
        if (file.atEnd()) file.failAtEnd("grid record number " + std::to_string(choice));
        record.gridTitle = file.readFixedText(40);
        ListRead read(file);
        read.integer(record.gridNumber, "the grid number");
        read.integer(record.pointsAlongX, "the points along X");
        read.character(record.startFlagX, "the placement along X");
        read.integer(record.pointsAlongY, "the points along Y");
        read.character(record.startFlagY, "the placement along Y");
        read.real(record.observerDistance, "the observer distance");
        read.real(record.observerHeight, "the observer height");
        read.real(record.observer1Offset, "the fraction of observer 1");
        read.real(record.observer2Offset, "the fraction of observer 2");
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
    int flag = 0;
    ListRead(file).integer(flag, "the switch of the plot images");
    return flag;
}

}  // namespace vl
