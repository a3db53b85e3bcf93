#include <gtest/gtest.h>

#include <cmath>

#include "core/assessment/energy_indicators.hpp"

namespace vl::assessment {
namespace {

// The standard field: 24 m spacing, 7 m road, strips 3.5 m wide; road 20 lx, the strip
// outside the edge y = 0 at 8 lx, the one outside y = W at 4 lx.
EnergyInputs standardField() {
    EdgeStripResult strips;
    strips.stripWidth = 3.5;
    strips.edges[0] = {18.0, 8.0, 8.0 / 18.0};
    strips.edges[1] = {16.0, 4.0, 0.25};
    EnergyInputs in;
    in.subAreas = spacingSubAreas(24.0, 7.0, 20.0, strips);
    in.lampFlux = 6.5;
    in.declaredWattage = 50.0;
    in.declaredFlux = 6500.0;
    return in;
}

TEST(EnergyIndicators, ByHandOnTheStandardField) {
    const EnergyIndicators e = computeEnergyIndicators(standardField());
    // Areas 168 + 84 + 84 = 336 m^2; sum E*A = 20*168 + 8*84 + 4*84 = 4368 lx m^2.
    ASSERT_EQ(e.subAreas.size(), 3u);
    EXPECT_DOUBLE_EQ(e.subAreas[0].area, 168.0);
    EXPECT_DOUBLE_EQ(e.subAreas[2].illuminance, 4.0);
    EXPECT_DOUBLE_EQ(e.totalArea, 336.0);
    EXPECT_DOUBLE_EQ(e.illuminatedArea, 4368.0);
    EXPECT_EQ(e.powerSource, PowerSource::Declared);
    EXPECT_DOUBLE_EQ(e.systemPower, 50.0);
    EXPECT_NEAR(e.powerDensity, 0.0114469, 5e-8);  // 50 / 4368 W/(lx m^2)
    // 4000 h at 50 W over 336 m^2.
    EXPECT_DOUBLE_EQ(e.fullPowerHours, 4000.0);
    EXPECT_NEAR(e.annualEnergyConsumption, 595.238, 5e-4);
    EXPECT_DOUBLE_EQ(e.lampEfficacy, 130.0);
    EXPECT_FALSE(e.efficacyImplausible);
    EXPECT_TRUE(e.problems.empty());
    EXPECT_GE(e.assumptions.size(), 6u);
}

TEST(EnergyIndicators, ProfileAndPowerOverride) {
    EnergyInputs in = standardField();
    in.power = 40.0;
    in.profile.periods = {{2000, 100}, {2000, 50}, {760, 0}};  // 3000 h at full power
    in.profile.fromHours = false;
    in.profile.byDefault = false;
    const EnergyIndicators e = computeEnergyIndicators(in);
    EXPECT_EQ(e.powerSource, PowerSource::Override);
    EXPECT_DOUBLE_EQ(e.fullPowerHours, 3000.0);
    EXPECT_DOUBLE_EQ(e.annualEnergy, 120000.0);
    EXPECT_NEAR(e.annualEnergyConsumption, 357.143, 5e-4);  // 120000 / 336
    EXPECT_NEAR(e.powerDensity, 0.00915751, 5e-9);         // 40 / 4368
    EXPECT_DOUBLE_EQ(e.lampEfficacy, 162.5);               // 6500 lm / 40 W
}

TEST(EnergyIndicators, EfficacyFlagAndMissingFigures) {
    // The bundled photometry declares 400 lm at 1 W: scaled to 6.5 klm that is 16.25 W at
    // 400 lm/W, flagged.
    EnergyInputs in = standardField();
    in.declaredWattage = 1.0;
    in.declaredFlux = 400.0;
    EnergyIndicators e = computeEnergyIndicators(in);
    EXPECT_DOUBLE_EQ(e.systemPower, 16.25);
    EXPECT_TRUE(e.efficacyImplausible);
    // The bounds themselves are plausible.
    for (double watts : {6500.0 / 20.0, 6500.0 / 250.0}) {
        in.power = watts;
        EXPECT_FALSE(computeEnergyIndicators(in).efficacyImplausible) << watts;
    }
    in.power = 6500.0 / 19.9;
    EXPECT_TRUE(computeEnergyIndicators(in).efficacyImplausible);

    // No declared wattage and no override; an unlit, zero-width field: reasons, no crash.
    EnergyInputs bare;
    bare.subAreas = {{"road", 0.0, 0.0}};
    e = computeEnergyIndicators(bare);
    EXPECT_TRUE(std::isnan(e.systemPower));
    EXPECT_FALSE(std::isfinite(e.powerDensity));
    EXPECT_FALSE(std::isfinite(e.annualEnergyConsumption));
    EXPECT_TRUE(e.efficacyImplausible);
    EXPECT_EQ(e.problems.size(), 3u);
}

}  // namespace
}  // namespace vl::assessment
