#include "app/form_handlers.hpp"

#include <gtest/gtest.h>

#include "app/form_layout.hpp"
#include "app/installation_file.hpp"
#include "platform/scripted_form.hpp"
#include "support/test_support.hpp"

namespace vl {
namespace {

using platform::EventKind;
using platform::Script;
using platform::ScriptAction;

// Starts the form with a script of field changes and no run; returns the stored line.
std::string storedAfter(const std::vector<std::pair<int, std::string>>& edits) {
    formInstallation() = InstallationData{};
    Script script;
    for (const auto& [id, text] : edits) script.actions.push_back({ScriptAction::Kind::Set, id, text});
    platform::ScriptedToolkit toolkit(script);
    EXPECT_TRUE(runInputForm(toolkit));
    return test::readLines(kInstallationFileName).at(0);
}

TEST(FormStartUp, StoresTheTenDefaults) {
    test::ScratchDir dir;
    EXPECT_EQ(storedAfter({}), "   6.50   7.00  24.00   2.50   7.00   0.80   0.00 C2  1  eulumdat.ldt        ");
}

TEST(FormFieldEdits, NumbersAreTheFirstFreeFormatItem) {
    test::ScratchDir dir;
    EXPECT_EQ(storedAfter({{1001, "6,5"}}).substr(0, 7), "   6.00");
    EXPECT_EQ(storedAfter({{1001, "6.5 m"}}).substr(0, 7), "   6.50");
    EXPECT_EQ(storedAfter({{1001, "8"}, {1001, "many"}}).substr(0, 7), "   8.00");  // a word keeps the value
    EXPECT_EQ(storedAfter({{1001, ""}}).substr(0, 7), "   6.50");
    EXPECT_EQ(storedAfter({{1008, "0.7e1"}}).substr(42, 7), "   7.00");
    EXPECT_EQ(storedAfter({{1011, "0.857"}}).substr(35, 7), "   0.86");
}

TEST(FormFieldEdits, GridChoiceIsTruncatedAndNotChecked) {
    test::ScratchDir dir;
    EXPECT_EQ(storedAfter({{1021, "2.9"}}).substr(52, 3), "  2");
    EXPECT_EQ(storedAfter({{1021, "-0.5"}}).substr(52, 3), "  0");
    EXPECT_EQ(storedAfter({{1021, "10"}}).substr(52, 3), " 10");
}

TEST(FormFieldEdits, TextsAreCutAtSeparatorsAndWidth) {
    test::ScratchDir dir;
    EXPECT_EQ(storedAfter({{1010, "my lamp.ldt"}}).substr(57), "my                  ");
    EXPECT_EQ(storedAfter({{1010, "a123456789b123456789c12"}}).substr(57), "a123456789b123456789");
    EXPECT_EQ(storedAfter({{1010, "'x y.ldt'"}}).substr(57), "x y.ldt             ");
    EXPECT_EQ(storedAfter({{1012, "r3x"}}).substr(49, 3), " r3");
    EXPECT_EQ(storedAfter({{1012, ""}}).substr(49, 3), " C2");
}

TEST(FormInit, FontTitleAndPlacement) {
    formInstallation() = InstallationData{};
    platform::ScriptedForm form(formResources().front(), Script{});
    onFormInit(form);
    EXPECT_EQ(form.title(), "Vesperluminal");
    // 412 x 323 dialog units at 1.5 pixels: 618 x 484 on a 1024 x 768 desktop.
    const platform::Rect r = form.placement();
    EXPECT_EQ(r.left, (1024 - 618 + 99) / 2);
    EXPECT_EQ(r.top, (768 - 484) / 2);
}

}  // namespace
}  // namespace vl

namespace vl {
namespace {

TEST(FormFieldEdits, CutNeverSplitsAUtf8Character) {
    test::ScratchDir dir;
    // 19 ASCII bytes, then a two-byte character: the cut at 20 would split it.
    const std::string name = "abcdefghijklmnopqrs\xC3\xA9.ldt";
    formInstallation() = InstallationData{};
    platform::Script script;
    script.actions.push_back({platform::ScriptAction::Kind::Set, 1010, name});
    platform::ScriptedToolkit toolkit(script);
    ASSERT_TRUE(runInputForm(toolkit));
    EXPECT_EQ(formInstallation().photometryFile, "abcdefghijklmnopqrs");
    // A whole character that fits is kept.
    formInstallation() = InstallationData{};
    platform::Script kept;
    kept.actions.push_back({platform::ScriptAction::Kind::Set, 1010, "abcdefghijklmnopq\xC3\xA9xyz"});
    platform::ScriptedToolkit toolkit2(kept);
    ASSERT_TRUE(runInputForm(toolkit2));
    EXPECT_EQ(formInstallation().photometryFile, "abcdefghijklmnopq\xC3\xA9x");
}

}  // namespace
}  // namespace vl
