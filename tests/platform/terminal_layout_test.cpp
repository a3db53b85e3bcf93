#include "platform/terminal/terminal_layout.hpp"

#include <gtest/gtest.h>

#include <map>

#include "app/form_layout.hpp"

namespace vl::platform::term {
namespace {

const FormResource& inputForm() { return vl::formResources().front(); }

std::map<int, CellRect> byId(const FormResource& form, const std::vector<CellRect>& cells) {
    std::map<int, CellRect> out;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (form.controls[i].id >= 0) out[form.controls[i].id] = cells[i];
    }
    return out;
}

TEST(StripMnemonic, DropsMarkerAndReportsLetter) {
    int mark = 0;
    EXPECT_EQ(stripMnemonic("&version beta 1.6.1", &mark), "version beta 1.6.1");
    EXPECT_EQ(mark, 0);
    EXPECT_EQ(stripMnemonic("Sa&ve", &mark), "Save");
    EXPECT_EQ(mark, 2);
    EXPECT_EQ(stripMnemonic("A && B", &mark), "A & B");
    EXPECT_EQ(mark, -1);
    EXPECT_EQ(stripMnemonic("end&", &mark), "end&");
}

TEST(WrapText, BreaksAtBlanksAndCutsLongWords) {
    EXPECT_EQ(wrapText("one two three", 7), (std::vector<std::string>{"one two", "three"}));
    EXPECT_EQ(wrapText("  lead   blanks ", 20), (std::vector<std::string>{"lead blanks"}));
    EXPECT_EQ(wrapText("abcdefghij", 4), (std::vector<std::string>{"abcd", "efgh", "ij"}));
    EXPECT_TRUE(wrapText("text", 0).empty());
    EXPECT_TRUE(wrapText("", 5).empty());
}

TEST(EditLine, InsertsDeletesAndMovesWithinText) {
    EditLine e;
    e.setText("6.5");
    EXPECT_EQ(e.cursor(), 3u);
    EXPECT_TRUE(e.backspace());
    EXPECT_EQ(e.text(), "6.");
    e.home();
    EXPECT_FALSE(e.backspace());
    e.insert('1');
    EXPECT_EQ(e.text(), "16.");
    EXPECT_TRUE(e.erase());
    EXPECT_EQ(e.text(), "1.");
    e.end();
    EXPECT_FALSE(e.erase());
    e.left();
    e.left();
    e.left();
    EXPECT_EQ(e.cursor(), 0u);
    e.right();
    e.right();
    e.right();
    EXPECT_EQ(e.cursor(), 2u);
}

TEST(EditLine, ScrollsToKeepCursorVisible) {
    EditLine e;
    e.setText("eulumdat_long_name.ldt");  // 22 characters
    EXPECT_EQ(e.visible(6), "e.ldt");  // cursor after the text, in the last cell
    EXPECT_EQ(e.cursorColumn(), 5);
    e.home();
    EXPECT_EQ(e.visible(6), "eulumd");
    EXPECT_EQ(e.cursorColumn(), 0);
    EXPECT_EQ(e.head(4), "eulu");
}

TEST(StepFocus, WrapsBothWays) {
    const std::vector<int>& order = inputForm().tabOrder;
    EXPECT_EQ(stepFocus(order, 1001, 1), 1002);
    EXPECT_EQ(stepFocus(order, 1002, 1), 1006);
    EXPECT_EQ(stepFocus(order, 1001, -1), vl::kCloseButton);
    EXPECT_EQ(stepFocus(order, vl::kCloseButton, 1), 1001);
    int id = 1001;
    for (int k = 0; k < 9; ++k) id = stepFocus(order, id, 1);
    EXPECT_EQ(id, 1021);
    EXPECT_EQ(stepFocus({}, 7, 1), 7);
}

TEST(ConsoleLog, FollowsEndAndScrollsBack) {
    ConsoleLog log;
    for (int k = 1; k <= 10; ++k) log.add("line " + std::to_string(k));
    EXPECT_EQ(log.view(20, 3), (std::vector<std::string>{"line 8", "line 9", "line 10"}));
    log.scrollBy(2);
    EXPECT_EQ(log.view(20, 3), (std::vector<std::string>{"line 6", "line 7", "line 8"}));
    log.scrollBy(100);  // clamped at the first line
    EXPECT_EQ(log.view(20, 3).front(), "line 1");
    EXPECT_EQ(log.scroll(), 7);
    log.follow();
    EXPECT_EQ(log.view(20, 1), (std::vector<std::string>{"line 10"}));
}

TEST(ConsoleLog, WrapsLongLinesAndCleansControls) {
    ConsoleLog log(3);
    log.add("abcdefgh");
    log.add("a\tb\r");
    EXPECT_EQ(log.view(5, 3), (std::vector<std::string>{"abcde", "fgh", "a b"}));
    log.add("");
    log.add("x");
    EXPECT_EQ(log.size(), 3u);  // the oldest went
    EXPECT_EQ(log.view(5, 5), (std::vector<std::string>{"a b", "", "x"}));
}

// Console lines are broken at blanks only: every word of a line, numbers included, stands
// whole on one row, in order, whatever the pane's width; only a word wider than the pane
// is split.
TEST(ConsoleLog, RowsBreakAtBlanksAndNeverSplitAWord) {
    const std::vector<std::string> lines = {
        " road scattered flux factor %                      1.57",
        " Upward intensity per unit luminaire flux (cd/klm)",
        "            355.0          224.0          482.0",
        " (maintained photometric efficacy, lm/cd):          40.34",
        "    ",
        " " + std::string(54, '@'),
    };
    auto words = [](const std::string& text) {
        std::vector<std::string> out;
        std::size_t k = 0;
        while ((k = text.find_first_not_of(' ', k)) != std::string::npos) {
            const std::size_t end = std::min(text.size(), text.find(' ', k));
            out.push_back(text.substr(k, end - k));
            k = end;
        }
        return out;
    };
    for (int width = 6; width <= 60; ++width) {
        for (const std::string& line : lines) {
            const auto rows = ConsoleLog::rowsOf(line, width);
            ASSERT_FALSE(rows.empty());
            std::vector<std::string> rejoined;
            for (const auto& row : rows) {
                EXPECT_LE(static_cast<int>(row.size()), width) << line;
                for (auto& w : words(row)) rejoined.push_back(w);
            }
            std::vector<std::string> expected;
            for (const auto& w : words(line)) {
                if (static_cast<int>(w.size()) <= width) {
                    expected.push_back(w);
                } else {
                    for (std::size_t k = 0; k < w.size(); k += static_cast<std::size_t>(width))
                        expected.push_back(w.substr(k, static_cast<std::size_t>(width)));
                }
            }
            EXPECT_EQ(rejoined, expected) << "width " << width << ": " << line;
        }
    }
    // A line that fits keeps its blanks; the leading blanks of a wrapped line stay on its first row.
    EXPECT_EQ(ConsoleLog::rowsOf("   1.5  7", 9), (std::vector<std::string>{"   1.5  7"}));
    EXPECT_EQ(ConsoleLog::rowsOf("   1.57 x", 7), (std::vector<std::string>{"   1.57", "x"}));
}

TEST(PlanScreen, SplitsWhenWideAndRefusesWhenTiny) {
    const FormResource& form = inputForm();
    EXPECT_EQ(naturalColumns(form), 103);
    EXPECT_EQ(naturalRows(form), 41);
    const ScreenPlan wide = planScreen(form, 160, 50);
    EXPECT_TRUE(wide.split);
    EXPECT_EQ(wide.formColumns, 103);
    EXPECT_EQ(wide.formRows, 41);
    const ScreenPlan usual = planScreen(form, 80, 24);
    EXPECT_FALSE(usual.tooSmall);
    EXPECT_FALSE(usual.split);
    EXPECT_EQ(usual.formColumns, 80);
    EXPECT_EQ(usual.formRows, 23);  // the status line
    const ScreenPlan middle = planScreen(form, 100, 30);
    EXPECT_TRUE(middle.split);
    EXPECT_EQ(middle.formColumns, 100 - kMinConsoleColumns - 1);
    EXPECT_TRUE(planScreen(form, 59, 30).tooSmall);
    EXPECT_TRUE(planScreen(form, 80, 20).tooSmall);
    EXPECT_FALSE(planScreen(form, 60, 21).tooSmall);
}

// Checks the form's layout at one size: rows, columns, no overlaps, inside the frame.
void checkLayout(int columns, int rows) {
    SCOPED_TRACE(std::to_string(columns) + " x " + std::to_string(rows));
    const FormResource& form = inputForm();
    const std::vector<CellRect> cells = layoutControls(form, columns, rows);
    ASSERT_EQ(cells.size(), form.controls.size());
    const auto ids = byId(form, cells);
    const CellRect frame = cells.front();  // the group box
    ASSERT_EQ(form.controls.front().kind, ControlKind::GroupBox);
    EXPECT_GE(frame.col, 0);
    EXPECT_LE(frame.right(), columns);
    EXPECT_LE(frame.bottom(), rows);

    // Each label beside its edit, on its row, and left of it; edits top to bottom.
    const std::pair<int, int> pairs[] = {{1003, 1001}, {1004, 1002}, {1018, 1006}, {1019, 1005}, {1022, 1008},
                                         {1014, 1009}, {1015, 1011}, {1016, 1012}, {1017, 1010}, {1023, 1021}};
    int previousRow = -1;
    for (const auto& [label, edit] : pairs) {
        SCOPED_TRACE(edit);
        const CellRect l = ids.at(label);
        const CellRect e = ids.at(edit);
        EXPECT_EQ(l.row, e.row);
        EXPECT_LT(l.right(), e.col);  // a blank between
        EXPECT_GT(e.row, previousRow);
        EXPECT_GE(e.width, kMinEditWidth);
        previousRow = e.row;
    }
    // Labels show their whole text.
    for (std::size_t i = 0; i < form.controls.size(); ++i) {
        const ControlSpec& c = form.controls[i];
        if (c.kind != ControlKind::Label || 2 * c.height >= 3 * kUnitsPerRow) continue;  // one-line labels
        EXPECT_GE(cells[i].width, static_cast<int>(trimRight(c.text).size())) << c.text;
    }
    // The edits that stand in one column start in one column.
    EXPECT_EQ(ids.at(1001).col, ids.at(1011).col);
    EXPECT_EQ(ids.at(1008).col, ids.at(1001).col);
    // Buttons show their text; start above the hint, the hint above the result field.
    EXPECT_GE(ids.at(vl::kStartButton).width, buttonWidth("Start computation"));
    EXPECT_GT(ids.at(1020).row, ids.at(vl::kStartButton).row);
    EXPECT_GT(ids.at(vl::kReportNameField).row, ids.at(1020).row + ids.at(1020).height - 1);
    EXPECT_GE(ids.at(vl::kReportNameField).room, 16);

    // No two text controls overlap; all are inside the frame.
    for (std::size_t i = 1; i < cells.size(); ++i) {
        if (!isTextControl(form.controls[i].kind)) continue;
        SCOPED_TRACE(form.controls[i].text + "/" + std::to_string(form.controls[i].id));
        EXPECT_GT(cells[i].col, frame.col);
        EXPECT_LT(cells[i].right(), frame.right());
        EXPECT_GT(cells[i].row, frame.row);
        EXPECT_LT(cells[i].bottom(), frame.bottom());
        EXPECT_LE(cells[i].right(), cells[i].col + cells[i].room);
        for (std::size_t j = i + 1; j < cells.size(); ++j) {
            if (!isTextControl(form.controls[j].kind)) continue;
            EXPECT_FALSE(cells[i].intersects(cells[j])) << form.controls[j].text << "/" << form.controls[j].id;
        }
    }
}

TEST(LayoutControls, FullSize) {
    checkLayout(103, 41);
    const auto ids = byId(inputForm(), layoutControls(inputForm(), 103, 41));
    // At full size the rows are those of the dialog units (8 a row).
    EXPECT_EQ(ids.at(1001).row, 5);
    EXPECT_EQ(ids.at(1021).row, 27);
    EXPECT_EQ(ids.at(vl::kStartButton).row, 30);
    EXPECT_EQ(ids.at(vl::kCloseButton).col, 82);
    // The hint wraps into the rows of its box.
    EXPECT_EQ(ids.at(1020).height, 5);
    EXPECT_GE(ids.at(vl::kReportNameField).room, 34);  // a report name fits
}

TEST(LayoutControls, CompactSizes) {
    checkLayout(80, 23);
    checkLayout(78, 23);
    checkLayout(64, 20);
    checkLayout(60, 20);
    checkLayout(90, 30);
    checkLayout(103, 23);
}

TEST(LayoutControls, EmptyAndDegenerateForms) {
    FormResource empty;
    EXPECT_TRUE(layoutControls(empty, 80, 24).empty());
    FormResource one;
    one.width = 100;
    one.height = 50;
    one.controls = {{5, ControlKind::Edit, "", 0, 0, 400, 400}};
    const auto cells = layoutControls(one, 10, 5);
    ASSERT_EQ(cells.size(), 1u);
    EXPECT_LE(cells[0].right(), 10);
    EXPECT_LE(cells[0].bottom(), 5);
}

TEST(CellsToPixels, EightBySixteen) {
    const Rect r = cellsToPixels(2, 1, 10, 3);
    EXPECT_EQ(r.left, 16);
    EXPECT_EQ(r.top, 16);
    EXPECT_EQ(r.right, 95);
    EXPECT_EQ(r.bottom, 63);
}

}  // namespace
}  // namespace vl::platform::term
