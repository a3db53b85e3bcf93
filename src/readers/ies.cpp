// IES LM-63 reader: the label up to TILT=, then the stream of numbers; the horizontal
// angles completed by their symmetry and turned by C = H + R, the candelas scaled to
// cd per klm of lamp flux.
#include "readers/ies.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "readers/photometry_tools.hpp"
#include "readers/read_error.hpp"
#include "readers/text_input.hpp"
#include "text/format.hpp"

namespace vl {

namespace {

constexpr int kMaxAxis = 200;        // C planes (with the closing one) and gamma angles
constexpr int kRoundPlanes = 24;     // a rotationally symmetric file: a plane every 15 deg
constexpr std::size_t kLampTypeWidth = 20;
constexpr std::size_t kQuotedItem = 40;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && upper(text.substr(0, prefix.size())) == upper(prefix);
}

std::string_view withoutByteOrderMark(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    return text;
}

std::string angleText(double angle) { return fmt::freeReal(angle); }

// The version named by a line that begins with IESNA or IES:, if it names one.
bool versionOf(std::string_view line, IesVersion& version) {
    std::string compact;
    for (char c : upper(line)) {
        if (!isBlank(c)) compact += c;
    }
    if (compact.find("2019") != std::string::npos) {
        version = IesVersion::Lm63_2019;
    } else if (compact.find("2002") != std::string::npos) {
        version = IesVersion::Lm63_2002;
    } else if (compact.find("1995") != std::string::npos) {
        version = IesVersion::Lm63_1995;
    } else if (compact.find("1991") != std::string::npos || compact.ends_with("91")) {
        version = IesVersion::Lm63_1991;
    } else {
        return false;
    }
    return true;
}

// The horizontal angles of the file completed over a full turn by the symmetry their
// range implies: each completed plane (ascending in [0, 360)) and the file's plane it
// repeats.
struct CompletedPlanes {
    std::vector<double> angles;
    std::vector<int> source;
};

CompletedPlanes completeHorizontal(const std::vector<double>& h) {
    CompletedPlanes done;
    const auto add = [&](double angle, int k) {
        if (angle < 0.0) angle += 360.0;
        if (angle >= 360.0) angle -= 360.0;
        for (double a : done.angles) {
            if (a == angle) return;
        }
        done.angles.push_back(angle);
        done.source.push_back(k);
    };
    const std::size_t n = h.size();
    const double first = h.front();
    const double last = h.back();
    for (std::size_t k = 0; k < n; ++k) {
        const int source = static_cast<int>(k);
        const double a = h[k];
        if (n == 1) {
            for (int p = 0; p < kRoundPlanes; ++p) add(p * (360.0 / kRoundPlanes), 0);
        } else if (first == 0.0 && last == 90.0) {  // symmetric in each quadrant
            add(a, source);
            add(180.0 - a, source);
            add(180.0 + a, source);
            add(360.0 - a, source);
        } else if (first == 0.0 && last == 180.0) {  // symmetric about the 0-180 plane
            add(a, source);
            add(360.0 - a, source);
        } else if (first == 90.0) {  // 90 to 270: symmetric about the 90-270 plane
            add(a, source);
            add(180.0 - a, source);
        } else {  // no symmetry; a plane at 360 repeats the one at 0
            if (a < 360.0) add(a, source);
        }
    }
    std::vector<std::size_t> order(done.angles.size());
    for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return done.angles[a] < done.angles[b]; });
    CompletedPlanes sorted;
    for (std::size_t k : order) {
        sorted.angles.push_back(done.angles[k]);
        sorted.source.push_back(done.source[k]);
    }
    return sorted;
}

class Reader {
public:
    Reader(const std::string& fileName, IesFile& out, double rotation)
        : name_(fileName), file_(fileName), out_(out), h_(out.header) {
        h_.rotation = rotation;
    }

    void label();
    void tilt();
    void counts();
    void factors();
    void angles();
    void candelas();

    PhotometryDimensions dimensions() const {
        return {static_cast<int>(planes_.size()), static_cast<int>(gammaAngles_.size())};
    }

private:
    const std::string& item(std::string_view what);
    double real(std::string_view what);
    int integer(std::string_view what);
    std::vector<double> list(int count, std::string_view what, std::vector<std::size_t>& lines);
    [[noreturn]] void refuse(std::size_t line, const std::string& what) const {
        throw InputRefusal("IES file " + name_ + ", line " + std::to_string(line) + ": " + what);
    }
    void checkAscending(const std::vector<double>& axis, std::string_view name) const;

    std::string name_;
    InputFile file_;
    IesFile& out_;
    IesHeader& h_;

    std::vector<std::string> items_;  // of the current line
    std::size_t position_ = 0;
    std::size_t itemLine_ = 0;
    std::size_t tiltLine_ = 0;
    std::string tiltValue_;

    std::size_t lampsLine_ = 0;
    std::size_t lumensLine_ = 0;
    std::size_t multiplierLine_ = 0;
    std::size_t verticalCountLine_ = 0;
    std::size_t horizontalCountLine_ = 0;
    std::size_t typeLine_ = 0;
    std::size_t unitsLine_ = 0;
    std::size_t ballastLine_ = 0;
    std::size_t secondLine_ = 0;
    std::vector<std::size_t> verticalLines_;
    std::vector<std::size_t> horizontalLines_;
    std::vector<double> candelas_;  // as written, plane after plane

    CompletedPlanes completed_;
    std::vector<TurnedPlane> planes_;  // the table's planes below 360 from the completed ones
    std::vector<double> gammaAngles_;
    int zeroRows_ = 0;  // rows of no light below a file that starts at 90 deg
};

const std::string& Reader::item(std::string_view what) {
    while (position_ >= items_.size()) {
        auto line = file_.nextLine();
        if (!line) file_.failAtEnd(what);
        items_.clear();
        position_ = 0;
        std::size_t k = 0;
        const std::string& text = *line;
        while (k < text.size()) {
            while (k < text.size() && (isBlank(text[k]) || text[k] == ',')) ++k;
            const std::size_t start = k;
            while (k < text.size() && !isBlank(text[k]) && text[k] != ',') ++k;
            if (k > start) items_.push_back(text.substr(start, k - start));
        }
    }
    itemLine_ = file_.lineNumber();
    return items_[position_++];
}

double Reader::real(std::string_view what) {
    const std::string& text = item(what);
    auto value = parseReal(text);
    if (!value) file_.fail(std::string(what) + " (a number)", "\"" + text.substr(0, kQuotedItem) + "\"");
    return *value;
}

int Reader::integer(std::string_view what) {
    const std::string& text = item(what);
    auto value = parseInteger(text);
    if (!value) file_.fail(std::string(what) + " (an integer)", "\"" + text.substr(0, kQuotedItem) + "\"");
    return static_cast<int>(*value);
}

std::vector<double> Reader::list(int count, std::string_view what, std::vector<std::size_t>& lines) {
    std::vector<double> values(static_cast<std::size_t>(count), 0.0);
    lines.assign(values.size(), 0);
    for (std::size_t k = 0; k < values.size(); ++k) {
        values[k] = real(what);
        lines[k] = itemLine_;
    }
    return values;
}

void Reader::checkAscending(const std::vector<double>& axis, std::string_view name) const {
    const std::vector<std::size_t>& lines = name == "vertical" ? verticalLines_ : horizontalLines_;
    for (std::size_t k = 1; k < axis.size(); ++k) {
        if (!(axis[k] > axis[k - 1])) {
            refuse(lines[k], "the " + std::string(name) + " angles must ascend strictly (" + angleText(axis[k]) +
                                 " follows " + angleText(axis[k - 1]) + ")");
        }
    }
}

void Reader::label() {
    auto first = file_.nextLine();
    if (!first) file_.failAtEnd("the first line");
    std::optional<std::string> line = first;
    const std::string_view head = trimmed(withoutByteOrderMark(*first));
    if (startsWithNoCase(head, "IESNA") || startsWithNoCase(head, "IES:")) {
        h_.versionLine = *first;
        if (!versionOf(head, h_.version)) {
            refuse(1, "the version line \"" + std::string(head.substr(0, kQuotedItem)) +
                          "\" names none of IESNA91, IESNA:LM-63-1995, IESNA:LM-63-2002, IES:LM-63-2019");
        }
        line = file_.nextLine();
    }
    for (; line; line = file_.nextLine()) {
        const std::string_view text = trimmed(*line);
        if (startsWithNoCase(text, "TILT=")) {
            tiltLine_ = file_.lineNumber();
            tiltValue_ = std::string(trimmed(text.substr(5)));
            out_.progress = IesProgress::Label;
            return;
        }
        const std::size_t close = text.find(']');
        if (!text.empty() && text.front() == '[' && close != std::string_view::npos) {
            const std::string name(text.substr(1, close - 1));
            const std::string value(trimmed(text.substr(close + 1)));
            if (upper(name) == "MORE" && !h_.keywords.empty()) {
                h_.keywords.back().value += "\n" + value;
            } else {
                h_.keywords.push_back({name, value});
            }
        } else if (!text.empty()) {
            h_.labelLines.push_back(*line);
        }
    }
    file_.failAtEnd("the TILT= line");
}

void Reader::tilt() {
    const std::string value = upper(tiltValue_);
    if (value == "INCLUDE") {
        IesTiltData& t = h_.tilt;
        t.included = true;
        t.lampToLuminaireGeometry = integer("the lamp-to-luminaire geometry");
        const int pairs = integer("the number of tilt angles");
        if (pairs < 1 || pairs > kMaxIesTiltPairs) {
            refuse(itemLine_, "the number of tilt angles and factors " + std::to_string(pairs) + " is outside 1.." +
                                  std::to_string(kMaxIesTiltPairs));
        }
        std::vector<std::size_t> lines;
        t.angles = list(pairs, "the tilt angles", lines);
        t.factors = list(pairs, "the tilt factors", lines);
    } else if (value != "NONE") {
        refuse(tiltLine_, "TILT=" + tiltValue_.substr(0, kQuotedItem) +
                              ": a separate tilt file is not read (TILT=NONE and TILT=INCLUDE are)");
    }
    out_.progress = IesProgress::Tilt;
}

void Reader::counts() {
    h_.lampCount = integer("the number of lamps");
    lampsLine_ = itemLine_;
    h_.lumensPerLamp = real("the lumens per lamp");
    lumensLine_ = itemLine_;
    h_.candelaMultiplier = real("the candela multiplier");
    multiplierLine_ = itemLine_;
    h_.verticalCount = integer("the number of vertical angles");
    verticalCountLine_ = itemLine_;
    h_.horizontalCount = integer("the number of horizontal angles");
    horizontalCountLine_ = itemLine_;
    h_.photometricType = integer("the photometric type");
    typeLine_ = itemLine_;
    h_.unitsType = integer("the units type");
    unitsLine_ = itemLine_;
    h_.width = real("the width of the luminous opening");
    h_.length = real("the length of the luminous opening");
    h_.height = real("the height of the luminous opening");

    const int type = h_.photometricType;
    if (type == 2 || type == 3) {
        refuse(typeLine_, std::string("photometric type ") + (type == 2 ? "B" : "A") + " (" + std::to_string(type) +
                              ") is not read: only type C photometry (1) is");
    }
    if (type != 1) {
        refuse(typeLine_, "photometric type " + std::to_string(type) + " is none of 1 (C), 2 (B), 3 (A)");
    }
    const int nv = h_.verticalCount;
    const int nh = h_.horizontalCount;
    if (nv < 2 || nv > kMaxAxis) {
        refuse(verticalCountLine_, "the number of vertical angles " + std::to_string(nv) + " is outside 2.." +
                                       std::to_string(kMaxAxis));
    }
    if (nh < 1 || nh > kMaxAxis) {
        refuse(horizontalCountLine_, "the number of horizontal angles " + std::to_string(nh) + " is outside 1.." +
                                         std::to_string(kMaxAxis));
    }
    if (h_.unitsType != 1 && h_.unitsType != 2) {
        refuse(unitsLine_, "the units type " + std::to_string(h_.unitsType) + " is neither 1 (feet) nor 2 (metres)");
    }
    h_.absolute = h_.lumensPerLamp == -1.0;
    if (!h_.absolute && !(h_.lumensPerLamp > 0.0)) {
        refuse(lumensLine_, "lumens per lamp " + fmt::freeReal(h_.lumensPerLamp) +
                                " are neither positive nor -1 (absolute photometry)");
    }
    if (!h_.absolute && h_.lampCount < 1) {
        refuse(lampsLine_, "the number of lamps " + std::to_string(h_.lampCount) + " is below 1");
    }
    if (!(h_.candelaMultiplier > 0.0)) {
        refuse(multiplierLine_, "the candela multiplier " + fmt::freeReal(h_.candelaMultiplier) + " is not positive");
    }
    out_.progress = IesProgress::Counts;
}

void Reader::factors() {
    h_.ballastFactor = real("the ballast factor");
    ballastLine_ = itemLine_;
    h_.secondFactor = real(h_.secondFactorApplies() ? "the ballast-lamp photometric factor"
                           : h_.version == IesVersion::Lm63_2019 ? "the file generation type"
                                                                 : "the field for future use");
    secondLine_ = itemLine_;
    h_.inputWatts = real("the input watts");
    if (!(h_.ballastFactor > 0.0)) {
        refuse(ballastLine_, "the ballast factor " + fmt::freeReal(h_.ballastFactor) + " is not positive");
    }
    if (h_.secondFactorApplies() && !(h_.secondFactor > 0.0)) {
        refuse(secondLine_,
               "the ballast-lamp photometric factor " + fmt::freeReal(h_.secondFactor) + " is not positive");
    }
    out_.progress = IesProgress::Factors;
}

void Reader::angles() {
    h_.verticalAngles = list(h_.verticalCount, "the vertical angles", verticalLines_);
    h_.horizontalAngles = list(h_.horizontalCount, "the horizontal angles", horizontalLines_);
    checkAscending(h_.verticalAngles, "vertical");
    checkAscending(h_.horizontalAngles, "horizontal");

    const std::vector<double>& v = h_.verticalAngles;
    const double v0 = v.front();
    const double vn = v.back();
    if (!((v0 == 0.0 && (vn == 90.0 || vn == 180.0)) || (v0 == 90.0 && vn == 180.0))) {
        refuse(verticalLines_.back(), "the vertical angles " + angleText(v0) + " to " + angleText(vn) +
                                          " are no set of type C photometry (0 to 90, 0 to 180, 90 to 180)");
    }
    const std::vector<double>& hz = h_.horizontalAngles;
    const double h0 = hz.front();
    const double hn = hz.back();
    const bool single = hz.size() == 1 && (h0 == 0.0 || h0 == 90.0);
    const bool fromZero = h0 == 0.0 && (hn == 90.0 || hn == 180.0 || (hn > 180.0 && hn <= 360.0));
    const bool fromNinety = h0 == 90.0 && hn == 270.0;
    if (!single && !(hz.size() > 1 && (fromZero || fromNinety))) {
        refuse(horizontalLines_.back(),
               "the horizontal angles " + angleText(h0) + " to " + angleText(hn) +
                   " are no set of type C photometry (0, 0 to 90, 0 to 180, 90 to 270, 0 to above 180 up to 360)");
    }

    // Planes: completed over the turn, then turned onto C (a round file has no azimuth).
    completed_ = completeHorizontal(hz);
    planes_ = turnedPlanes(completed_.angles, hz.size() == 1 ? 0.0 : h_.rotation);
    h_.interpolatedPlane = planes_.front().other >= 0;
    const int nc = static_cast<int>(planes_.size()) + 1;
    if (nc > kMaxAxis) {
        refuse(horizontalCountLine_, "the horizontal angles complete to " + std::to_string(nc) +
                                         " C planes with the closing one, more than " + std::to_string(kMaxAxis));
    }

    // Gamma: a file that starts at 90 deg emits nothing below; two rows of zeros (at 0 and
    // one step below 90) keep the lookups below the horizontal at no light.
    gammaAngles_.clear();
    zeroRows_ = 0;
    if (v0 == 90.0) {
        gammaAngles_.push_back(0.0);
        const double below = 90.0 - (v[1] - 90.0);
        if (below > 0.0) gammaAngles_.push_back(below);
        zeroRows_ = static_cast<int>(gammaAngles_.size());
    }
    gammaAngles_.insert(gammaAngles_.end(), v.begin(), v.end());
    if (static_cast<int>(gammaAngles_.size()) > kMaxAxis) {
        refuse(verticalCountLine_, "the vertical angles with the rows of no light below 90 are " +
                                       std::to_string(gammaAngles_.size()) + ", more than " +
                                       std::to_string(kMaxAxis));
    }

    // The table's axes; the intensities follow with the candelas.
    PhotometryTable& p = out_.table;
    p.cCount = nc;
    p.gammaCount = static_cast<int>(gammaAngles_.size());
    p.cAngles.assign(static_cast<std::size_t>(nc), 360.0);
    for (std::size_t i = 0; i < planes_.size(); ++i) p.cAngles[i] = planes_[i].c;
    p.gammaAngles = gammaAngles_;
    p.cStep = uniformStep(p.cAngles);
    p.gammaStep = uniformStep(p.gammaAngles);
    out_.progress = IesProgress::Angles;
}

void Reader::candelas() {
    const auto nv = static_cast<std::size_t>(h_.verticalCount);
    const auto nh = static_cast<std::size_t>(h_.horizontalCount);
    std::vector<std::size_t> lines;
    candelas_ = list(static_cast<int>(nv * nh), "the candela values", lines);

    PhotometryTable& p = out_.table;
    const int nc = p.cCount;
    const int ng = p.gammaCount;
    p.intensity.assign(static_cast<std::size_t>(nc) * static_cast<std::size_t>(ng), 0.0);

    // Candelas as LM-63 defines them: the values times the multiplier and the ballast
    // factor (and, before 2002, the ballast-lamp photometric factor).
    double factor = h_.candelaMultiplier * h_.ballastFactor;
    if (h_.secondFactorApplies()) factor *= h_.secondFactor;
    const auto candela = [&](int plane, int j) {
        const int file = completed_.source[static_cast<std::size_t>(plane)];
        return candelas_[static_cast<std::size_t>(file) * nv + static_cast<std::size_t>(j)] * factor;
    };
    for (int i = 0; i + 1 < nc; ++i) {
        const TurnedPlane& plane = planes_[static_cast<std::size_t>(i)];
        for (int j = zeroRows_; j < ng; ++j) {
            double value = candela(plane.from, j - zeroRows_);
            if (plane.other >= 0) {
                value = (1.0 - plane.weight) * value + plane.weight * candela(plane.other, j - zeroRows_);
            }
            p.I(i, j) = value;
        }
    }
    for (int j = 0; j < ng; ++j) p.I(nc - 1, j) = p.I(0, j);

    // cd per klm of lamp flux; absolute photometry: of the luminaire flux.
    const TableFlux flux = integrateFlux(p);
    h_.luminaireFlux = flux.total();
    if (!std::isfinite(h_.luminaireFlux)) {
        refuse(lines.back(), "the candela values times their factors exceed the range of numbers");
    }
    if (h_.absolute && !(h_.luminaireFlux > 0.0)) {
        refuse(lumensLine_, "absolute photometry (lumens per lamp -1) whose candelas hold no light");
    }
    const double lampFlux = h_.absolute ? h_.luminaireFlux : h_.lampCount * h_.lumensPerLamp;
    const double scale = 1000.0 / lampFlux;
    for (double& value : p.intensity) {
        value *= scale;
        if (!std::isfinite(value)) refuse(lines.back(), "the candela values per klm exceed the range of numbers");
    }

    DeclaredLuminaireData& d = p.declared;
    d.downwardFluxFactor = h_.luminaireFlux > 0.0 ? 100.0 * flux.downward / h_.luminaireFlux : 0.0;
    d.lightOutputRatio = h_.absolute ? 100.0 : 100.0 * h_.luminaireFlux / lampFlux;
    d.measurementTilt = 0.0;
    d.sourceFormat = "IES";
    LampSet lamp;
    // Eulumdat's convention: a negative number of lamps marks absolute photometry.
    lamp.lampCount = h_.absolute ? "-" + std::to_string(std::max(1, std::abs(h_.lampCount)))
                                 : std::to_string(h_.lampCount);
    std::string typeText = h_.keywordText("LAMP");
    if (trimmed(typeText).empty()) typeText = h_.keywordText("LAMPCAT");
    lamp.lampType = fmt::padded(typeText, kLampTypeWidth);
    lamp.totalFlux = lampFlux;
    lamp.wattage = h_.inputWatts;
    d.lampSets.assign(1, lamp);
    out_.progress = IesProgress::Complete;
}

}  // namespace

std::string_view iesVersionName(IesVersion version) {
    switch (version) {
        case IesVersion::Lm63_1986:
            return "LM-63-1986";
        case IesVersion::Lm63_1991:
            return "LM-63-1991";
        case IesVersion::Lm63_1995:
            return "LM-63-1995";
        case IesVersion::Lm63_2002:
            return "LM-63-2002";
        case IesVersion::Lm63_2019:
            return "LM-63-2019";
    }
    return "LM-63";
}

const IesKeyword* IesHeader::keyword(std::string_view name) const {
    const std::string wanted = upper(name);
    for (const IesKeyword& k : keywords) {
        if (upper(k.name) == wanted) return &k;
    }
    return nullptr;
}

namespace {

void checkRotation(double rotation) {
    if (!std::isfinite(rotation)) throw InputRefusal("the IES rotation R of C = H + R is not a finite angle");
}

}  // namespace

std::string IesHeader::keywordText(std::string_view name) const {
    const IesKeyword* k = keyword(name);
    return k == nullptr ? std::string() : k->value.substr(0, k->value.find('\n'));
}

std::string IesHeader::identification() const {
    if (keywords.empty()) return labelLines.empty() ? std::string() : labelLines[0];
    return keywordText("MANUFAC");
}

std::string IesHeader::luminaireName() const {
    if (keywords.empty()) return labelLines.size() < 2 ? std::string() : labelLines[1];
    return keywordText("LUMINAIRE");
}

PhotometryDimensions readIesDimensions(const std::string& fileName, double rotation) {
    checkRotation(rotation);
    IesFile file;
    Reader reader(fileName, file, rotation);
    reader.label();
    reader.tilt();
    reader.counts();
    reader.factors();
    reader.angles();
    return reader.dimensions();
}

void readIes(const std::string& fileName, IesFile& file, double rotation) {
    checkRotation(rotation);
    Reader reader(fileName, file, rotation);
    reader.label();
    reader.tilt();
    reader.counts();
    reader.factors();
    reader.angles();
    reader.candelas();
}

}  // namespace vl
