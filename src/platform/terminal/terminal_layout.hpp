// Character-cell geometry of a form and the small editing models of the terminal form.
// Kept free of curses so that it can be tested alone.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "platform/form.hpp"

namespace vl::platform::term {

// Dialog units per cell at full size.
inline constexpr int kUnitsPerColumn = 4;
inline constexpr int kUnitsPerRow = 8;
// Pixels a cell, for the rectangles the form reports and is moved by.
inline constexpr int kPixelsPerColumn = 8;
inline constexpr int kPixelsPerRow = 16;
// Below this the form is not drawn.
inline constexpr int kMinFormColumns = 60;
inline constexpr int kMinFormRows = 20;
inline constexpr int kMinConsoleColumns = 24;
inline constexpr int kWideConsoleColumns = 64;  // the console's share when the form leaves it
inline constexpr int kMinEditWidth = 8;  // brackets included

struct CellRect {
    int col = 0, row = 0, width = 0, height = 0;
    int room = 0;  // the widest it may grow on its row, up to the next control
    int right() const { return col + width; }    // exclusive
    int bottom() const { return row + height; }  // exclusive
    bool intersects(const CellRect& o) const {
        return col < o.right() && o.col < right() && row < o.bottom() && o.row < bottom();
    }
};

// The text without its '&' markers; mnemonic gets the index of the marked letter or -1.
inline std::string stripMnemonic(std::string_view text, int* mnemonic = nullptr) {
    std::string out;
    int mark = -1;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] == '&' && k + 1 < text.size()) {
            ++k;
            if (text[k] != '&' && mark < 0) mark = static_cast<int>(out.size());
        }
        out += text[k];
    }
    if (mnemonic) *mnemonic = mark;
    return out;
}

inline std::string trimRight(std::string_view text) {
    const auto last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string() : std::string(text.substr(0, last + 1));
}

// Word wrap; a word longer than the width is cut.
inline std::vector<std::string> wrapText(std::string_view text, int width) {
    std::vector<std::string> lines;
    if (width <= 0) return lines;
    const auto w = static_cast<std::size_t>(width);
    std::string line;
    std::size_t k = 0;
    while (k < text.size()) {
        while (k < text.size() && text[k] == ' ') ++k;
        if (k >= text.size()) break;
        std::size_t end = text.find(' ', k);
        if (end == std::string_view::npos) end = text.size();
        std::string_view word = text.substr(k, end - k);
        k = end;
        while (word.size() > w) {
            if (!line.empty()) lines.push_back(std::move(line));
            line.clear();
            lines.emplace_back(word.substr(0, w));
            word.remove_prefix(w);
        }
        if (word.empty()) continue;
        if (line.empty()) {
            line = word;
        } else if (line.size() + 1 + word.size() <= w) {
            line += ' ';
            line += word;
        } else {
            lines.push_back(std::move(line));
            line = word;
        }
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

// Cell size of a form at full scale.
inline int naturalColumns(const FormResource& form) {
    return (form.width + kUnitsPerColumn - 1) / kUnitsPerColumn;
}
inline int naturalRows(const FormResource& form) { return (form.height + kUnitsPerRow - 1) / kUnitsPerRow; }

// How the screen is shared: the form, and the console pane at its left (split) or
// behind it (toggled with a key).
struct ScreenPlan {
    bool tooSmall = false;
    bool split = false;
    int formColumns = 0, formRows = 0;
    int minColumns = 0, minRows = 0;  // what the form needs, the status line included
};

inline ScreenPlan planScreen(const FormResource& form, int columns, int rows) {
    ScreenPlan plan;
    const int natCols = naturalColumns(form);
    const int natRows = naturalRows(form);
    plan.minColumns = std::min(natCols, kMinFormColumns);
    plan.minRows = std::min(natRows, kMinFormRows) + 1;
    const int available = rows - 1;  // the status line
    if (columns < plan.minColumns || rows < plan.minRows) {
        plan.tooSmall = true;
        return plan;
    }
    plan.split = columns >= plan.minColumns + kMinConsoleColumns + 1;
    plan.formColumns = std::min(natCols, plan.split ? columns - kMinConsoleColumns - 1 : columns);
    plan.formRows = std::min(natRows, available);
    return plan;
}

inline bool isTextControl(ControlKind kind) { return kind != ControlKind::GroupBox && kind != ControlKind::Picture; }

inline int buttonWidth(std::string_view text) { return static_cast<int>(stripMnemonic(text).size()) + 4; }

// The cell rectangle of each control (same order as form.controls), relative to the
// form's top left, in a form area of columns x rows cells.
//
// Positions scale from dialog units; single-line controls whose vertical centres are
// within half a row share a row. A control is pushed right of any control it would
// overlap on its left (labels take their text's length), edits that started in one
// column stay aligned, and a wrapped label grows down into free rows when it needs to.
inline std::vector<CellRect> layoutControls(const FormResource& form, int columns, int rows) {
    const auto& controls = form.controls;
    const std::size_t n = controls.size();
    std::vector<CellRect> cells(n);
    if (n == 0 || form.width <= 0 || form.height <= 0) return cells;
    const double sx = std::min(1.0 / kUnitsPerColumn, static_cast<double>(columns) / form.width);
    const double sy = std::min(1.0 / kUnitsPerRow, static_cast<double>(rows) / form.height);
    auto colOf = [&](int x) { return static_cast<int>(std::floor(x * sx)); };
    auto rowOf = [&](double y) { return static_cast<int>(std::floor(y * sy)); };

    // A control is single-line when its text fits its width or its box is under two rows.
    std::vector<bool> multi(n, false);
    std::vector<int> mappedCol(n), mappedEnd(n);
    for (std::size_t i = 0; i < n; ++i) {
        const ControlSpec& c = controls[i];
        mappedCol[i] = colOf(c.x);
        mappedEnd[i] = std::max(mappedCol[i] + 1, static_cast<int>(std::lround((c.x + c.width) * sx)));
        if (c.kind == ControlKind::Label) {
            const int len = static_cast<int>(trimRight(stripMnemonic(c.text)).size());
            multi[i] = 2 * c.height >= 3 * kUnitsPerRow && len > mappedEnd[i] - mappedCol[i];
        }
        if (!isTextControl(c.kind)) {
            const int top = rowOf(c.y);
            const int bottom = std::max(top + 1, static_cast<int>(std::lround((c.y + c.height) * sy)));
            cells[i] = {mappedCol[i], top, mappedEnd[i] - mappedCol[i], bottom - top};
        }
    }

    // Rows: single-line controls by their centre, clustered; wrapped labels by their box.
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < n; ++i) {
        if (isTextControl(controls[i].kind)) order.push_back(i);
    }
    auto centre = [&](std::size_t i) { return controls[i].y + controls[i].height / 2.0; };
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return centre(a) < centre(b); });
    double clusterCentre = -1e9;
    for (std::size_t i : order) {
        const ControlSpec& c = controls[i];
        if (multi[i]) {
            const int top = rowOf(c.y);
            const int bottom = std::max(top + 1, static_cast<int>(std::lround((c.y + c.height) * sy)));
            cells[i].row = top;
            cells[i].height = bottom - top;
        } else {
            if (centre(i) - clusterCentre > kUnitsPerRow / 2.0) clusterCentre = centre(i);
            cells[i].row = rowOf(clusterCentre);
            cells[i].height = 1;
        }
    }

    // Text controls stay inside the group box that holds them.
    std::vector<int> holder(n, -1);
    for (std::size_t g = 0; g < n; ++g) {
        if (controls[g].kind != ControlKind::GroupBox) continue;
        const ControlSpec& box = controls[g];
        for (std::size_t i = 0; i < n; ++i) {
            const ControlSpec& c = controls[i];
            if (i == g || c.x < box.x || c.y < box.y || c.x + c.width > box.x + box.width ||
                c.y + c.height > box.y + box.height)
                continue;
            if (holder[i] >= 0 && cells[static_cast<std::size_t>(holder[i])].width <= cells[g].width) continue;
            holder[i] = static_cast<int>(g);
        }
    }
    auto inner = [&](std::size_t i) {
        if (holder[i] < 0) return CellRect{0, 0, columns, rows};
        const CellRect& b = cells[static_cast<std::size_t>(holder[i])];
        return CellRect{b.col + 1, b.row + 1, std::max(1, b.width - 2), std::max(1, b.height - 2)};
    };
    for (std::size_t i = 0; i < n; ++i) {
        const CellRect in = inner(i);
        mappedCol[i] = std::clamp(mappedCol[i], in.col, in.right() - 1);
        mappedEnd[i] = std::clamp(mappedEnd[i], mappedCol[i] + 1, std::max(mappedCol[i] + 1, in.right()));
        CellRect& r = cells[i];
        if (!isTextControl(controls[i].kind)) {
            if (holder[i] >= 0) {
                r.col = mappedCol[i];
                r.width = mappedEnd[i] - mappedCol[i];
            }
        }
        if (holder[i] < 0) continue;
        if (r.row < in.row) r.row = in.row;
        if (r.bottom() > in.bottom()) r.height = std::max(1, in.bottom() - r.row);
        if (r.bottom() > in.bottom()) r.row = std::max(in.row, in.bottom() - r.height);
    }

    // Columns, left to right.
    std::vector<std::size_t> byCol = order;
    std::stable_sort(byCol.begin(), byCol.end(), [&](std::size_t a, std::size_t b) { return mappedCol[a] < mappedCol[b]; });
    auto place = [&](std::size_t i, int start) {
        const ControlSpec& c = controls[i];
        CellRect& r = cells[i];
        r.col = start;
        int end = std::max(mappedEnd[i], start + 1);
        switch (c.kind) {
            case ControlKind::Label:
                if (!multi[i]) end = std::max(end, start + static_cast<int>(trimRight(stripMnemonic(c.text)).size()));
                break;
            case ControlKind::Edit: end = std::max(end, start + kMinEditWidth); break;
            case ControlKind::Button:
            case ControlKind::DefaultButton: end = std::max(end, start + buttonWidth(c.text)); break;
            default: break;
        }
        r.width = end - start;
    };
    std::vector<bool> placed(n, false);
    for (std::size_t i : byCol) {
        int start = mappedCol[i];
        for (bool moved = true; moved;) {
            moved = false;
            for (std::size_t j : byCol) {
                if (!placed[j] || j == i) continue;
                if (cells[j].row < cells[i].bottom() && cells[i].row < cells[j].bottom() &&
                    mappedCol[j] <= mappedCol[i] && cells[j].right() >= start) {
                    start = cells[j].right() + 1;
                    moved = true;
                }
            }
        }
        place(i, start);
        placed[i] = true;
    }
    // Edits that started in one column stay aligned.
    for (std::size_t i : byCol) {
        if (controls[i].kind != ControlKind::Edit) continue;
        int start = cells[i].col;
        for (std::size_t j : byCol) {
            if (controls[j].kind == ControlKind::Edit && std::abs(controls[j].x - controls[i].x) <= kUnitsPerColumn / 2)
                start = std::max(start, cells[j].col);
        }
        if (start != cells[i].col) place(i, start);
    }

    // A wrapped label takes the rows its text needs around its centre, between the
    // controls above and below it.
    for (std::size_t i : order) {
        if (!multi[i]) continue;
        CellRect& r = cells[i];
        const int needed = static_cast<int>(wrapText(trimRight(stripMnemonic(controls[i].text)), r.width).size());
        const CellRect in = inner(i);
        const int middle = std::clamp(rowOf(centre(i)), in.row, in.bottom() - 1);
        int top = middle - (std::max(1, needed) - 1) / 2;
        int bottom = top + std::max(1, needed);
        top = std::max(top, in.row);
        bottom = std::min(bottom, in.bottom());
        for (std::size_t j : order) {
            if (j == i || cells[j].col >= r.right() || r.col >= cells[j].right()) continue;
            if (cells[j].bottom() <= middle) top = std::max(top, cells[j].bottom());
            if (cells[j].row > middle) bottom = std::min(bottom, cells[j].row);
        }
        r.row = std::min(top, middle);
        r.height = std::max(1, bottom - r.row);
        // Too few rows: wider, up to the next control on its right.
        int room = in.right();
        for (std::size_t j : order) {
            if (j != i && cells[j].col >= r.right() && cells[j].row < r.bottom() && r.row < cells[j].bottom())
                room = std::min(room, cells[j].col - 1);
        }
        const std::string text = trimRight(stripMnemonic(controls[i].text));
        while (static_cast<int>(wrapText(text, r.width).size()) > r.height && r.right() < room) ++r.width;
    }

    // Room on the right of single-row controls.
    for (std::size_t i : order) {
        CellRect& r = cells[i];
        int limit = inner(i).right();
        for (std::size_t j : order) {
            if (j != i && cells[j].col > r.col && cells[j].row <= r.row && cells[j].bottom() > r.row)
                limit = std::min(limit, cells[j].col - 1);
        }
        r.room = std::max(r.width, limit - r.col);
    }

    // Nothing beyond the group box, nor the form area.
    for (std::size_t i : order) {
        const CellRect in = inner(i);
        CellRect& r = cells[i];
        r.width = std::max(1, std::min(r.width, in.right() - r.col));
        r.room = std::max(r.width, std::min(r.room, in.right() - r.col));
    }
    for (auto& r : cells) {
        r.col = std::clamp(r.col, 0, std::max(0, columns - 1));
        r.row = std::clamp(r.row, 0, std::max(0, rows - 1));
        r.width = std::clamp(r.width, 1, std::max(1, columns - r.col));
        r.height = std::clamp(r.height, 1, std::max(1, rows - r.row));
        r.room = std::clamp(r.room, r.width, std::max(r.width, columns - r.col));
    }
    return cells;
}

// One line of an edit control: the text, the cursor and the first column shown.
class EditLine {
public:
    const std::string& text() const { return text_; }
    std::size_t cursor() const { return cursor_; }
    void setText(std::string_view text) {
        text_ = std::string(text);
        cursor_ = text_.size();
        scroll_ = 0;
    }
    bool insert(char c) {
        text_.insert(text_.begin() + static_cast<std::ptrdiff_t>(cursor_), c);
        ++cursor_;
        return true;
    }
    bool backspace() {
        if (cursor_ == 0) return false;
        text_.erase(--cursor_, 1);
        return true;
    }
    bool erase() {
        if (cursor_ >= text_.size()) return false;
        text_.erase(cursor_, 1);
        return true;
    }
    void left() {
        if (cursor_ > 0) --cursor_;
    }
    void right() {
        if (cursor_ < text_.size()) ++cursor_;
    }
    void home() { cursor_ = 0; }
    void end() { cursor_ = text_.size(); }
    // The part shown in width cells; the cursor stays inside (it may stand after the text).
    std::string visible(int width) {
        if (width <= 0) return {};
        const auto w = static_cast<std::size_t>(width);
        if (cursor_ < scroll_) scroll_ = cursor_;
        if (cursor_ >= scroll_ + w) scroll_ = cursor_ - w + 1;
        if (scroll_ > text_.size()) scroll_ = text_.size();
        return text_.substr(scroll_, w);
    }
    int cursorColumn() const { return static_cast<int>(cursor_ - scroll_); }
    std::string head(int width) const { return text_.substr(0, static_cast<std::size_t>(std::max(0, width))); }

private:
    std::string text_;
    std::size_t cursor_ = 0;
    std::size_t scroll_ = 0;
};

// The next control in tab order (wrapping), from the current one.
inline int stepFocus(const std::vector<int>& tabOrder, int current, int delta) {
    if (tabOrder.empty()) return current;
    const auto count = static_cast<int>(tabOrder.size());
    int index = 0;
    for (int k = 0; k < count; ++k) {
        if (tabOrder[static_cast<std::size_t>(k)] == current) index = k;
    }
    index = ((index + delta) % count + count) % count;
    return tabOrder[static_cast<std::size_t>(index)];
}

// The lines written on the console, with a scroll position counted in screen rows from
// the end (0: following the newest line).
class ConsoleLog {
public:
    explicit ConsoleLog(std::size_t capacity = 50000) : capacity_(capacity) {}
    void add(std::string_view line) {
        std::string clean;
        clean.reserve(line.size());
        for (char c : line) {
            if (c == '\t') {
                clean += ' ';
            } else if (c != '\r') {
                clean += (static_cast<unsigned char>(c) < 32 ? '?' : c);
            }
        }
        lines_.push_back(std::move(clean));
        if (lines_.size() > capacity_) lines_.pop_front();
    }
    std::size_t size() const { return lines_.size(); }
    int scroll() const { return scroll_; }
    void scrollBy(int rows) { scroll_ = std::max(0, scroll_ + rows); }
    void follow() { scroll_ = 0; }
    // The rows of one line in a pane of that width.
    static std::vector<std::string> rowsOf(const std::string& line, int width) {
        return width <= 0 ? std::vector<std::string>{} : wrapRow(line, width);
    }
    // The rows shown in a pane of width x height (wrapped); the scroll is clamped.
    std::vector<std::string> view(int width, int height) {
        std::vector<std::string> rows;
        if (width <= 0 || height <= 0) return rows;
        const std::size_t wanted = static_cast<std::size_t>(height) + static_cast<std::size_t>(scroll_);
        for (auto it = lines_.rbegin(); it != lines_.rend() && rows.size() < wanted; ++it) {
            std::vector<std::string> wrapped = wrapRow(*it, width);
            for (auto w = wrapped.rbegin(); w != wrapped.rend(); ++w) rows.push_back(std::move(*w));
        }
        const int total = static_cast<int>(rows.size());
        scroll_ = std::max(0, std::min(scroll_, total - height));
        std::vector<std::string> shown;
        const int first = std::min(total, scroll_ + height) - 1;  // counted from the end
        for (int k = first; k >= scroll_; --k) shown.push_back(rows[static_cast<std::size_t>(k)]);
        return shown;
    }

private:
    // Rows of at most width cells, broken at blanks only: a number never runs over two rows.
    // Only a word wider than the whole pane is split.
    static std::vector<std::string> wrapRow(const std::string& line, int width) {
        std::vector<std::string> out;
        const auto w = static_cast<std::size_t>(width);
        const std::size_t n = line.size();
        std::size_t k = 0;
        while (n - k > w) {
            std::size_t cut = k + w;
            while (cut > k && line[cut] != ' ') --cut;
            const std::size_t firstWord = std::min(n, line.find_first_not_of(' ', k));
            if (cut > k && firstWord < cut) {
                out.push_back(trimRight(std::string_view(line).substr(k, cut - k)));
                k = cut;
            } else if (firstWord > k) {
                k = firstWord;  // blanks before a word that does not fit beside them
                continue;
            } else {
                out.push_back(line.substr(k, w));  // a word wider than the pane
                k += w;
                continue;
            }
            while (k < n && line[k] == ' ') ++k;
        }
        if (k < n || out.empty()) out.push_back(line.substr(std::min(k, n)));
        return out;
    }
    std::deque<std::string> lines_;
    std::size_t capacity_;
    int scroll_ = 0;
};

// Pixel rectangles and cells: the form reports and is moved in pixels.
inline Rect cellsToPixels(int col, int row, int columns, int rows) {
    return {col * kPixelsPerColumn, row * kPixelsPerRow, (col + columns) * kPixelsPerColumn - 1,
            (row + rows) * kPixelsPerRow - 1};
}

}  // namespace vl::platform::term
