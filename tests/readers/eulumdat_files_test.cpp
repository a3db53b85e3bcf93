// The Eulumdat reader over real published files, and its expanded tables against those
// of an independent parser (tests/data/ldt-peer, JSON).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "readers/eulumdat.hpp"
#include "readers/read_error.hpp"
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

// --- reading as a run does: the driver's pre-read, then the whole file ---

struct Outcome {
    EulumdatFile file;
    std::string refusal;
    std::string readError;
    bool ok() const { return refusal.empty() && readError.empty(); }
};

Outcome readLikeARun(const fs::path& source) {
    test::ScratchDir dir;
    const std::string name = source.filename().string();
    fs::copy_file(source, dir.path() / name);
    Outcome out;
    try {
        const PhotometryDimensions dims = readEulumdatDimensions(name);
        readEulumdat(name, out.file);
        EXPECT_EQ(out.file.table.cCount, dims.cPlanes + 1);
        EXPECT_EQ(out.file.table.gammaCount, dims.gammaAngles);
    } catch (const ReadError& error) {
        out.readError = error.what();
    } catch (const InputRefusal& refusal) {
        out.refusal = refusal.what();
    }
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
            // 360 C planes: Mc + 1 is beyond the table bound, refused by the pre-read.
            EXPECT_NE(out.refusal.find("sample7.ldt"), std::string::npos) << out.refusal;
            EXPECT_NE(out.refusal.find("exceeds 200"), std::string::npos) << out.refusal;
            EXPECT_EQ(out.file.progress, EulumdatProgress::None);
            continue;
        }
        EXPECT_TRUE(out.ok()) << name << ": " << out.readError << out.refusal;
        EXPECT_EQ(out.file.header.conversionFactor, 1.0) << name;
        EXPECT_EQ(out.file.table.cAngles.back(), 360.0) << name;
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
        const Outcome first = readLikeARun(kData / "ldt" / original);
        ASSERT_TRUE(first.ok()) << original;
        const Outcome second = readLikeARun(kData / "ldt" / "derived" / filled);
        ASSERT_TRUE(second.ok()) << filled;
        const PhotometryTable& a = first.file.table;
        const PhotometryTable& b = second.file.table;
        EXPECT_EQ(a.intensity, b.intensity) << original;
        EXPECT_EQ(a.cAngles, b.cAngles) << original;
        EXPECT_EQ(a.gammaAngles, b.gammaAngles) << original;
        ASSERT_EQ(a.declared.lampSets.size(), b.declared.lampSets.size()) << original;
        ASSERT_FALSE(a.declared.lampSets.empty()) << original;
        EXPECT_EQ(a.declared.lampSets.back().totalFlux, b.declared.lampSets.back().totalFlux) << original;
        EXPECT_EQ(a.declared.lampSets.back().wattage, b.declared.lampSets.back().wattage) << original;
        EXPECT_EQ(a.declared.measurementTilt, b.declared.measurementTilt) << original;
        EXPECT_EQ(a.declared.downwardFluxFactor, b.declared.downwardFluxFactor) << original;
    }
}

void compareWithPeer(const fs::path& ldt, const fs::path& json) {
    SCOPED_TRACE(ldt.filename().string());
    const std::string doc = test::readFile(json);
    const Outcome out = readLikeARun(ldt);
    ASSERT_TRUE(out.ok()) << out.readError << out.refusal;
    const PhotometryTable& p = out.file.table;
    const int mc = static_cast<int>(jsonNumber(doc, "mc"));
    EXPECT_EQ(out.file.header.symmetry, static_cast<int>(jsonNumber(doc, "isym")));
    ASSERT_EQ(p.cCount, mc + 1);
    ASSERT_EQ(p.gammaCount, static_cast<int>(jsonNumber(doc, "ng")));
    EXPECT_EQ(out.file.header.conversionFactor, jsonNumber(doc, "conv_factor"));
    EXPECT_EQ(p.declared.downwardFluxFactor, jsonNumber(doc, "dff"));
    EXPECT_EQ(p.declared.lightOutputRatio, jsonNumber(doc, "lorl"));
    ASSERT_FALSE(p.declared.lampSets.empty());
    EXPECT_EQ(p.declared.lampSets.back().totalFlux, jsonRows(doc, "lamp_flux").front().back());
    EXPECT_EQ(p.declared.lampSets.back().wattage, jsonRows(doc, "lamp_watt").front().back());

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
