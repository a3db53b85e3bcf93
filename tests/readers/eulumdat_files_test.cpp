// The Eulumdat reader over real published files, and its expanded tables against those
// of an independent parser (tests/data/ldt-peer, JSON).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "writers/streams.hpp"
#include "app/driver.hpp"
#include "readers/eulumdat.hpp"
#include "app/process_stop.hpp"
#include "app/computation_state.hpp"
#include "support/test_support.hpp"

namespace vl {
namespace {

namespace fs = std::filesystem;

const fs::path kData = VL_TEST_DATA_DIR;

// --- just enough JSON to pull numbers and strings out of the peer's files ---

std::size_t keyPosition(const std::string& doc, const std::string& key) {
    const std::size_t at = doc.find("\"" + key + "\"");
    if (at == std::string::npos) {
        ADD_FAILURE() << "no key " << key;
        return doc.size();
    }
    return doc.find(':', at) + 1;
}

std::string jsonString(const std::string& doc, const std::string& key) {
    std::size_t k = keyPosition(doc, key);
    k = doc.find('"', k);
    if (k == std::string::npos) return {};
    const std::size_t end = doc.find('"', k + 1);
    return doc.substr(k + 1, end - k - 1);
}

double parseNumberAt(const std::string& doc, std::size_t& k) {
    char* end = nullptr;
    const double v = std::strtod(doc.c_str() + k, &end);
    k = static_cast<std::size_t>(end - doc.c_str());
    return v;
}

double jsonNumber(const std::string& doc, const std::string& key) {
    std::size_t k = keyPosition(doc, key);
    while (k < doc.size() && doc[k] == ' ') ++k;
    return parseNumberAt(doc, k);
}

// The numbers of an array value, row by row (a flat array is one row).
std::vector<std::vector<double>> jsonRows(const std::string& doc, const std::string& key) {
    std::size_t k = doc.find('[', keyPosition(doc, key));
    std::vector<std::vector<double>> rows;
    int depth = 0;
    for (; k < doc.size(); ++k) {
        const char c = doc[k];
        if (c == '[') {
            if (++depth <= 2) rows.emplace_back();
        } else if (c == ']') {
            if (--depth == 0) break;
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            rows.back().push_back(parseNumberAt(doc, k));
            --k;
        }
    }
    if (rows.size() > 1 && rows.front().empty()) rows.erase(rows.begin());  // the outer bracket
    return rows;
}

// --- running the reader as the driver and the computation do ---

struct Outcome {
    std::optional<ProcessStop> stop;
    std::vector<std::string> console;
};

Outcome readLikeARun(const fs::path& source) {
    test::ScratchDir dir;
    const std::string name = source.filename().string();
    fs::copy_file(source, dir.path() / name);
    state().photometry = PhotometryTable{};
    state().installation.photometryFile = name;
    Outcome out;
    test::ConsoleCapture capture;
    reportFile().create("r.doc");
    dataFile().create("d.doc");
    try {
        PhotometryDimensions dims;
        asRunStep([&] {
            dims = readEulumdatDimensions(name);
            readLuminaire();
        });
        EXPECT_EQ(state().photometry.cCount, dims.cPlanes + 1);
        EXPECT_EQ(state().photometry.gammaCount, dims.gammaAngles);
    } catch (const ProcessStop& stop) {
        out.stop = stop;
    }
    reportFile().close();
    dataFile().close();
    out.console = capture.lines();
    return out;
}

std::vector<fs::path> ldtFiles() {
    std::vector<fs::path> files;
    for (const fs::path& folder : {kData / "ldt", kData / "ldt" / "derived"}) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().extension() == ".ldt") files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(EulumdatFiles, EveryFileReadsOrIsRefusedClearly) {
    const std::vector<fs::path> files = ldtFiles();
    ASSERT_GE(files.size(), 19u);
    for (const fs::path& file : files) {
        const Outcome out = readLikeARun(file);
        const std::string name = file.filename().string();
        if (name == "sample7.ldt") {
            // 360 C planes: Mc + 1 is beyond the table bound.
            ASSERT_TRUE(out.stop.has_value());
            EXPECT_EQ(out.stop->status, 1);
            ASSERT_FALSE(out.console.empty());
            EXPECT_NE(out.console.back().find("sample7.ldt"), std::string::npos);
            EXPECT_NE(out.console.back().find("exceeds 200"), std::string::npos) << out.console.back();
            EXPECT_EQ(out.console.size(), 1u);  // refused before anything else is written
            continue;
        }
        EXPECT_FALSE(out.stop.has_value()) << name << ": " << (out.stop ? out.stop->errorMessage : "")
                                           << (out.console.empty() ? "" : out.console.back());
        const PhotometryTable& p = state().photometry;
        EXPECT_EQ(state().eulumdat.conversionFactor, 1.0) << name;
        EXPECT_EQ(p.cAngles.back(), 360.0) << name;
        ASSERT_FALSE(out.console.empty());
        EXPECT_EQ(out.console.back().substr(0, 17), "            360.0") << name;
    }
}

// Files whose empty lines shift a reader that skips them read the same by position as
// their gap-filled copies.
TEST(EulumdatFiles, EmptyLinesReadLikeTheirGapFilledCopies) {
    const std::pair<const char*, const char*> pairs[] = {
        {"THOR36L50AS3KA_DC.ldt", "thor_rwet_nogap.ldt"},
        {"sample6.ldt", "trilux_nogap.ldt"},
        {"sample8.ldt", "strada_nogap.ldt"},
        {"sample9.ldt", "philips_nogap.ldt"},
    };
    for (const auto& [original, filled] : pairs) {
        ASSERT_FALSE(readLikeARun(kData / "ldt" / original).stop) << original;
        const PhotometryTable first = state().photometry;
        const LampSet firstLamp = state().lamp;
        const double dff = state().emission.downwardFluxFactor;
        ASSERT_FALSE(readLikeARun(kData / "ldt" / "derived" / filled).stop) << filled;
        const PhotometryTable& second = state().photometry;
        EXPECT_EQ(first.intensity, second.intensity) << original;
        EXPECT_EQ(first.cAngles, second.cAngles) << original;
        EXPECT_EQ(first.gammaAngles, second.gammaAngles) << original;
        EXPECT_EQ(firstLamp.totalFlux, state().lamp.totalFlux) << original;
        EXPECT_EQ(firstLamp.wattage, state().lamp.wattage) << original;
        EXPECT_EQ(first.declared.measurementTilt, second.declared.measurementTilt) << original;
        EXPECT_EQ(dff, state().emission.downwardFluxFactor) << original;
    }
}

void compareWithPeer(const fs::path& ldt, const fs::path& json) {
    SCOPED_TRACE(ldt.filename().string());
    const std::string doc = test::readFile(json);
    const Outcome out = readLikeARun(ldt);
    ASSERT_FALSE(out.stop.has_value());
    const PhotometryTable& p = state().photometry;
    const int mc = static_cast<int>(jsonNumber(doc, "mc"));
    EXPECT_EQ(state().eulumdat.symmetry, static_cast<int>(jsonNumber(doc, "isym")));
    ASSERT_EQ(p.cCount, mc + 1);
    ASSERT_EQ(p.gammaCount, static_cast<int>(jsonNumber(doc, "ng")));
    EXPECT_EQ(state().eulumdat.conversionFactor, jsonNumber(doc, "conv_factor"));
    EXPECT_EQ(state().emission.downwardFluxFactor, jsonNumber(doc, "dff"));
    EXPECT_EQ(state().emission.lightOutputRatio, jsonNumber(doc, "lorl"));
    EXPECT_EQ(state().lamp.totalFlux, jsonRows(doc, "lamp_flux").front().back());
    EXPECT_EQ(state().lamp.wattage, jsonRows(doc, "lamp_watt").front().back());

    const std::vector<double> c = jsonRows(doc, "c_angles").front();
    const std::vector<double> g = jsonRows(doc, "gamma_angles").front();
    ASSERT_EQ(c.size(), static_cast<std::size_t>(mc));
    ASSERT_EQ(g.size(), static_cast<std::size_t>(p.gammaCount));
    for (int i = 0; i < mc; ++i) EXPECT_EQ(p.cAngles[static_cast<std::size_t>(i)], c[static_cast<std::size_t>(i)]);
    for (int j = 0; j < p.gammaCount; ++j) {
        EXPECT_EQ(p.gammaAngles[static_cast<std::size_t>(j)], g[static_cast<std::size_t>(j)]);
    }

    const auto rows = jsonRows(doc, "intensity_cd_per_klm");
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(mc));
    int differing = 0;
    for (int i = 0; i < mc; ++i) {
        ASSERT_EQ(rows[static_cast<std::size_t>(i)].size(), static_cast<std::size_t>(p.gammaCount));
        for (int j = 0; j < p.gammaCount; ++j) {
            if (p.I(i, j) != rows[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)]) ++differing;
        }
    }
    EXPECT_EQ(differing, 0);
    for (int j = 0; j < p.gammaCount; ++j) EXPECT_EQ(p.I(mc, j), p.I(0, j));  // closing plane
}

TEST(EulumdatFiles, ExpandedTablesAgreeWithIndependentParser) {
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(kData / "ldt-peer")) {
        if (entry.path().extension() != ".json") continue;
        const std::string doc = test::readFile(entry.path());
        compareWithPeer(kData / jsonString(doc, "source_file"), entry.path());
        ++compared;
    }
    EXPECT_EQ(compared, 17);
}

TEST(EulumdatFiles, PositionalReadAgreesWhereThePeerShifted) {
    // The peer misreads the ten empty direct-ratio lines of this file; its table of the
    // gap-filled copy is the right one for the original too.
    compareWithPeer(kData / "ldt" / "THOR36L50AS3KA_DC.ldt", kData / "ldt-peer" / "derived__thor_rwet_nogap.ldt.json");
}

}  // namespace
}  // namespace vl
