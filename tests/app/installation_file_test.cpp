#include "app/installation_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/process_stop.hpp"
#include "support/test_support.hpp"

namespace vl {
namespace {

TEST(InstallationFile, DefaultLineIs77FixedColumns) {
    const std::string line = installationLine(test::defaultInstallation());
    EXPECT_EQ(line, "   6.50   7.00  24.00   2.50   7.00   0.80   0.00 C2  1  eulumdat.ldt        ");
    EXPECT_EQ(line.size(), 77u);
}

TEST(InstallationFile, WriteThenReadBackRoundsToTwoDecimals) {
    test::ScratchDir dir;
    InstallationData d = test::defaultInstallation();
    d.maintenanceFactor = 0.857;
    d.tilt = 7.5;
    d.photometryFile = "abcdefghij0123456789";  // exactly 20 characters
    writeInstallationFile(d);
    EXPECT_FALSE(std::filesystem::exists(std::string(kInstallationFileName) + ".tmp"));
    const InstallationData r = readInstallationFile();
    EXPECT_EQ(r.lampFlux, 6.5);
    EXPECT_EQ(r.maintenanceFactor, 0.86);
    EXPECT_EQ(r.tilt, 7.5);
    EXPECT_EQ(r.surfaceClass, "C2");
    EXPECT_EQ(r.gridChoice, 1);
    EXPECT_EQ(r.photometryFile, "abcdefghij0123456789");
}

TEST(InstallationFile, TooWideValueBecomesAsterisksAndFailsOnReadBack) {
    test::ScratchDir dir;
    InstallationData d = test::defaultInstallation();
    d.lampFlux = 10000.0;
    writeInstallationFile(d);
    EXPECT_EQ(test::readLines(kInstallationFileName).at(0).substr(0, 7), "*******");
    EXPECT_THROW(asRunStep([] { readInstallationFile(); }), ProcessStop);
}

TEST(InstallationFile, MissingOrEmptyFileStopsNamingIt) {
    test::ScratchDir dir;
    try {
        asRunStep([] { readInstallationFile(); });
        FAIL();
    } catch (const ProcessStop& stop) {
        EXPECT_EQ(stop.status, 2);
        EXPECT_NE(stop.errorMessage.find("input_nocturne.dat"), std::string::npos);
    }
}

TEST(GridFile, FirstMatchingRecordWinsAndFlagsAreCharacters) {
    test::ScratchDir dir;
    dir.write("grid.dat",
              "first title\n1 10 c 6 c 60.0 1.5 0.25 0.75\n"
              "second title, with comma\n2 4 b 3 x 50 1.5 0.5 0.5\n"
              "duplicate\n2 8 b 8 b 50 1.5 0.5 0.5\n");
    const GridChoice g = readGridChoice(2);
    EXPECT_EQ(g.gridTitle, std::string("second title, with comma").append(16, ' '));
    EXPECT_EQ(g.pointsAlongX, 4);
    EXPECT_EQ(g.startFlagX, 'b');
    EXPECT_EQ(g.startFlagY, 'x');
    EXPECT_EQ(g.observer1Offset, 0.5);
}

TEST(GridFile, ChoiceWithoutRecordEndsAtTheEndOfTheFile) {
    test::ScratchDir dir;
    dir.write("grid.dat", "only\n1 10 c 6 c 60.0 1.5 0.25 0.75\n");
    try {
        asRunStep([] { readGridChoice(5); });
        FAIL();
    } catch (const ProcessStop& stop) {
        EXPECT_EQ(stop.status, 2);
        EXPECT_NE(stop.errorMessage.find("grid.dat"), std::string::npos);
        EXPECT_NE(stop.errorMessage.find("found the end of the file"), std::string::npos);
    }
}

TEST(GridFile, RecordsBeyondTheMapsAreRefused) {
    test::ConsoleCapture console;
    GridChoice g;
    g.gridNumber = 4;
    g.pointsAlongX = 10;
    g.pointsAlongY = 6;
    g.observer1Offset = 0.25;
    g.observer2Offset = 0.75;
    EXPECT_NO_THROW(checkGridRecord(g));
    for (auto change : {+[](GridChoice& r) { r.pointsAlongX = 201; }, +[](GridChoice& r) { r.pointsAlongY = 0; },
                        +[](GridChoice& r) { r.observer1Offset = 1.0; },
                        +[](GridChoice& r) { r.observer2Offset = -0.1; }}) {
        GridChoice bad = g;
        change(bad);
        try {
            checkGridRecord(bad);
            FAIL();
        } catch (const ProcessStop& stop) {
            EXPECT_EQ(stop.status, 1);
            EXPECT_NE(stop.consoleMessage.find("grid.dat record 4"), std::string::npos);
        }
    }
}

TEST(ExtendFile, FirstIntegerAfterEmptyLines) {
    test::ScratchDir dir;
    dir.write("extend.txt", "\n\n 1 extra\n");
    EXPECT_EQ(readExtendFlag(), 1);
    dir.write("extend.txt", "");
    EXPECT_THROW(asRunStep([] { readExtendFlag(); }), ProcessStop);
}

}  // namespace
}  // namespace vl
