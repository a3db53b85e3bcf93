// Rotation of directions by the luminaire tilt and the intensity lookup of the tilted
// luminaire.
#include "core/photometry/tilt_rotation.hpp"

#include <array>
#include <cmath>
#include <cstddef>
#include <utility>

#include "core/numeric/degrees.hpp"

namespace vl {

namespace {

constexpr const char* kNegativeGamma = "ERROR rotang: gangoa outside limits";
constexpr const char* kRotangRange = "ERROR rotang: gangra outside limits";
constexpr const char* kRotphotRange = "ERROR rotphot: yin1a outside limits";

// The direction (c, gamma) turned about the x axis: returns B = -cos(gamma') and the
// azimuth before its shift, C'' in -180..180.
struct Turned {
    double b;
    double azimuth;
};

Turned turn(double c, double gamma, double st, double ct) {
    const double sg = sind(180.0 - gamma);
    const double cg = cosd(180.0 - gamma);
    const double sC = cosd(90.0 - c);
    const double cC = sind(90.0 - c);
    double b = cg * ct + sg * st * sC;
    // Rounding can push a pole direction a unit beyond the sphere.
    if (b > 1.0) b = 1.0;
    if (b < -1.0) b = -1.0;
    const double s = std::sqrt(1.0 - b * b);
    double x = 0.0;
    double y = 0.0;
    if (s > 1.0e-20) {
        x = (cg * st - sg * ct * sC) / s;
        y = cC * sg / s;
    } else {
        // Vertical result: the azimuth is the one the formulas approach at the pole.
        x = b > 0.0 ? -1.0 : 1.0;
    }
    if (x > 1.0) x = 1.0;
    if (x < -1.0) x = -1.0;
    const double a = acosd(x);
    return {b, y >= 0.0 ? a : -a};
}

double shiftedAzimuth(double azimuth) {
    double c = azimuth - 90.0;
    while (c < 0.0) c += 360.0;
    while (c > 360.0) c -= 360.0;
    return c;
}

}  // namespace

Direction rotang(double c, double gamma, double t) {
    if (t == 0.0) return {c, gamma};
    if (gamma < 0.0) throw RotationError(kNegativeGamma);
    const Turned r = turn(c, gamma, sind(t), cosd(t));
    const double g = 180.0 - acosd(r.b);
    if (g < 0.0 || g > 180.0) throw RotationError(kRotangRange);
    return {shiftedAzimuth(r.azimuth), g};
}

Direction rotphot(double c, double gamma, double t) {
    if (c > 360.0) c -= 360.0;
    if (t == 0.0) return {c, gamma};
    if (gamma < 0.0) throw RotationError(kNegativeGamma);
    const Turned r = turn(c, gamma, sind(-t), cosd(-t));
    const double g = 180.0 - acosd(r.b);
    if (g < 0.0 || g > 180.0) throw RotationError(kRotphotRange);
    return {shiftedAzimuth(r.azimuth), g};
}

LuminaireIntensity::LuminaireIntensity(const PhotometryTable& table, double tilt, EqualAbscissae onEqual)
    : table_(&table),
      tilt_(tilt),
      spline_(table.cAngles.data(), table.gammaAngles.data(), table.intensity.data(), table.cCount, table.gammaCount,
              table.cCount, kNaturalEnd, kNaturalEnd),
      onEqual_(std::move(onEqual)) {}

double LuminaireIntensity::untilted(Direction d) const {
    const double v = spline_.evaluate(kNaturalEnd, kNaturalEnd, d.c, d.gamma, onEqual_);
    return v < 0.0 ? 0.0 : v;
}

double LuminaireIntensity::at(double c, double gamma) const { return untilted(rotphot(c, gamma, tilt_)); }

void LuminaireIntensity::atMany(std::span<TableLookup> lookups) const {
    auto clampAll = [](std::span<TableLookup> done) {
        for (TableLookup& q : done) {
            q.value = q.value < 0.0 ? 0.0 : q.value;
            if (q.second) q.valueSecond = q.valueSecond < 0.0 ? 0.0 : q.valueSecond;
        }
    };
    if (tilt_ == 0.0) {
        // The luminaire's own frame: only C beyond 360 is turned back.
        for (TableLookup& q : lookups) q.x1 = rotphot(q.x1, 0.0, 0.0).c;
        spline_.evaluateMany(kNaturalEnd, kNaturalEnd, lookups, onEqual_);
        clampAll(lookups);
        return;
    }
    // Tilted, every gamma has its own C in the luminaire's frame: the directions are
    // turned in chunks, a second gamma as a lookup of its own.
    constexpr std::size_t kChunk = 256;
    std::array<TableLookup, kChunk> turned;
    std::array<std::size_t, kChunk> from;
    std::array<bool, kChunk> isSecond;
    std::size_t k = 0;
    while (k < lookups.size()) {
        std::size_t count = 0;
        try {
            while (k < lookups.size() && count + 2 <= kChunk) {
                TableLookup& q = lookups[k];
                const Direction d = rotphot(q.x1, q.x2, tilt_);
                turned[count] = TableLookup{d.c, d.gamma, 0.0, false, 0.0, 0.0};
                from[count] = k;
                isSecond[count++] = false;
                if (q.second) {
                    const Direction e = rotphot(q.x1, q.x2Second, tilt_);
                    turned[count] = TableLookup{e.c, e.gamma, 0.0, false, 0.0, 0.0};
                    from[count] = k;
                    isSecond[count++] = true;
                }
                ++k;
            }
        } catch (const RotationError&) {
            spline_.evaluateMany(kNaturalEnd, kNaturalEnd, std::span(turned).first(count), onEqual_);
            throw;
        }
        spline_.evaluateMany(kNaturalEnd, kNaturalEnd, std::span(turned).first(count), onEqual_);
        for (std::size_t j = 0; j < count; ++j) {
            const double v = turned[j].value < 0.0 ? 0.0 : turned[j].value;
            TableLookup& q = lookups[from[j]];
            if (isSecond[j]) {
                q.valueSecond = v;
            } else {
                q.value = v;
            }
        }
    }
}

void rotatePhotometry(const LuminaireIntensity& luminaire, RotatedPhotometry& rotated) {
    const PhotometryTable& p = luminaire.table();
    const double t = luminaire.tilt();
    const int nC = p.cCount;
    const int nG = p.gammaCount;
    rotated.rotatedDirections.clear();
    rotated.rotatedIntensity.assign(static_cast<std::size_t>(nC) * static_cast<std::size_t>(nG), 0.0);
    std::vector<double>& r = rotated.rotatedIntensity;
    if (t == 0.0) {
        for (std::size_t k = 0; k < r.size(); ++k) r[k] = p.intensity[k];
        return;
    }
    rotated.rotatedDirections.reserve(r.size());
    for (int j = 0; j < nG; ++j) {
        for (int i = 0; i < nC; ++i) {
            rotated.rotatedDirections.push_back(
                rotang(p.cAngles[static_cast<std::size_t>(i)], p.gammaAngles[static_cast<std::size_t>(j)], t));
        }
    }
    for (int j = 0; j < nG; ++j) {
        const double g = p.gammaAngles[static_cast<std::size_t>(j)];
        for (int i = 0; i < nC; ++i) {
            r[static_cast<std::size_t>(i + nC * j)] = luminaire.at(p.cAngles[static_cast<std::size_t>(i)], g);
        }
    }
}

}  // namespace vl
