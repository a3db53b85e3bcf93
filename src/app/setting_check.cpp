#include "app/setting_check.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "app/form_layout.hpp"
#include "app/installation_file.hpp"
#include "readers/text_input.hpp"
#include "text/format.hpp"

namespace vl {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string quoted(std::string_view text) {
    std::string cut(text.substr(0, std::min<std::size_t>(text.size(), 40)));
    return "\"" + cut + "\"";
}

// The text after the first item: its blanks and at most one separating comma skipped
// as the item reader skips them; empty when nothing follows.
struct Rest {
    bool comma = false;
    std::string text;
};

Rest restAfterFirstItem(std::string_view typed) {
    std::size_t k = 0;
    while (k < typed.size() && isBlank(typed[k])) ++k;
    if (k < typed.size() && (typed[k] == '\'' || typed[k] == '"')) {
        const char quote = typed[k++];
        while (k < typed.size()) {
            if (typed[k] == quote) {
                if (k + 1 < typed.size() && typed[k + 1] == quote) {
                    k += 2;
                    continue;
                }
                ++k;
                break;
            }
            ++k;
        }
    } else {
        while (k < typed.size() && !isBlank(typed[k]) && typed[k] != ',' && typed[k] != '/') ++k;
    }
    while (k < typed.size() && isBlank(typed[k])) ++k;
    Rest rest;
    rest.comma = k < typed.size() && typed[k] == ',';
    std::string_view tail = typed.substr(k);
    while (!tail.empty() && isBlank(tail.back())) tail.remove_suffix(1);
    rest.text = std::string(tail);
    return rest;
}

// A number written with something stuck to it: "7m", "6.5klm".
bool numberWithSuffix(std::string_view item) {
    std::size_t k = 0;
    if (k < item.size() && (item[k] == '+' || item[k] == '-')) ++k;
    const std::size_t start = k;
    while (k < item.size() && (std::isdigit(static_cast<unsigned char>(item[k])) || item[k] == '.')) ++k;
    return k > start && k < item.size() && std::isalpha(static_cast<unsigned char>(item[k]));
}

void leftOver(std::vector<std::string>& problems, const Rest& rest, const std::string& taken) {
    if (rest.text.empty()) return;
    if (rest.comma) {
        problems.push_back("a comma ends the item (the decimal sign is a point): " + taken + " taken, " +
                           quoted(rest.text) + " left over");
    } else if (std::isalpha(static_cast<unsigned char>(rest.text[0]))) {
        problems.push_back(taken + " taken, " + quoted(rest.text) + " left over (units are not written)");
    } else {
        problems.push_back(taken + " taken, " + quoted(rest.text) + " left over");
    }
}

constexpr int kRealWidth = 7;

// The installation line's column of a real field, and whether it is the line's first.
int realColumn(int id) {
    switch (id) {
        case 1001: return 0;
        case 1002: return 1;
        case 1006: return 2;
        case 1005: return 3;
        case 1009: return 4;
        case 1011: return 5;
        case 1008: return 6;
        default: return -1;
    }
}

double realValue(int id, const InstallationData& d) {
    switch (id) {
        case 1001: return d.lampFlux;
        case 1002: return d.roadWidth;
        case 1006: return d.spacing;
        case 1005: return d.overhang;
        case 1009: return d.poleHeight;
        case 1011: return d.maintenanceFactor;
        case 1008: return d.tilt;
        default: return 0.0;
    }
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A column that starts with no blank runs into the field before it when the line is read.
void columnFit(std::vector<std::string>& problems, const std::string& column, bool first, const std::string& what) {
    if (column.find('*') != std::string::npos) {
        problems.push_back(what + " is too wide for its " + std::to_string(column.size()) +
                           "-character column of input_nocturne.dat (written " + quoted(column) + ")");
    } else if (!first && !column.empty() && column[0] != ' ') {
        problems.push_back(what + " fills its whole " + std::to_string(column.size()) +
                           "-character column of input_nocturne.dat and joins the field before it");
    }
}

}  // namespace

bool isInputField(int id) { return std::find(kInputEdits.begin(), kInputEdits.end(), id) != kInputEdits.end(); }

std::vector<std::string> settingProblems(int id, std::string_view typedText) {
    std::vector<std::string> problems;
    if (!isInputField(id)) {
        problems.push_back(std::to_string(id) + " is no input field of the form (they are 1001, 1002, 1005, 1006, "
                                                "1008 to 1012 and 1021); nothing is stored");
        return problems;
    }
    const std::string_view typed = typedText.substr(0, std::min<std::size_t>(typedText.size(), 256));
    const SplitLine split = splitItems(typed);
    const bool noItem = split.items.empty() || split.items[0].kind == FreeItem::Kind::Null;
    if (id == 1012 || id == 1010) {
        if (noItem) {
            problems.push_back("no text: the field keeps its value");
            return problems;
        }
        const std::string& item = split.items[0].text;
        const std::size_t width = id == 1012 ? 2 : 20;
        if (item.size() > width) {
            problems.push_back(quoted(item) + " is cut to its first " + std::to_string(width) + " characters");
        }
        leftOver(problems, restAfterFirstItem(typed), quoted(item.substr(0, std::min(width, item.size()))));
        return problems;
    }
    // The real fields and the grid choice.
    const std::optional<double> value = firstReal(typed);
    if (!value) {
        if (noItem) {
            problems.push_back("no number: the field keeps its value");
        } else if (!split.items[0].quoted && numberWithSuffix(split.items[0].text)) {
            problems.push_back(quoted(split.items[0].text) +
                               " is not a number (units are not written): the field keeps its value");
        } else {
            problems.push_back(quoted(split.items[0].text) + " is not a number: the field keeps its value");
        }
        return problems;
    }
    const std::string item = split.items[0].text;
    if (id == 1021) {
        const double t = std::trunc(*value);
        if (!(t >= -2147483648.0 && t <= 2147483647.0)) {
            problems.push_back(quoted(item) + " is beyond the integers: the field keeps its value");
            return problems;
        }
        if (t != *value) problems.push_back(quoted(item) + " is cut to the whole number " + fmt::freeReal(t));
        leftOver(problems, restAfterFirstItem(typed), quoted(item));
        columnFit(problems, fmt::I(static_cast<std::int64_t>(t), 3), false, fmt::freeReal(t));
        return problems;
    }
    leftOver(problems, restAfterFirstItem(typed), quoted(item));
    columnFit(problems, fmt::F(*value, kRealWidth, 2), realColumn(id) == 0, quoted(item));
    return problems;
}

std::string storedColumn(int id, const InstallationData& data) {
    if (const int column = realColumn(id); column >= 0) return trimmed(fmt::F(realValue(id, data), kRealWidth, 2));
    if (id == 1021) return trimmed(fmt::I(data.gridChoice, 3));
    if (id == 1012) return quoted(data.surfaceClass);
    if (id == 1010) return quoted(data.photometryFile);
    return {};
}

namespace {

class NotifyingForm : public platform::Form {
public:
    NotifyingForm(std::unique_ptr<platform::Form> inner, std::function<void(platform::Form&, int)> after)
        : inner_(std::move(inner)), after_(std::move(after)) {}
    std::string text(int id) const override { return inner_->text(id); }
    void setText(int id, std::string_view text) override { inner_->setText(id, text); }
    void onEditChanged(int id, platform::ControlHandler handler) override {
        auto after = after_;
        inner_->onEditChanged(id, [handler, after](platform::Form& form, int control, platform::EventKind kind) {
            handler(form, control, kind);
            if (after) after(form, control);
        });
    }
    void onButtonPressed(int id, platform::ControlHandler handler) override {
        inner_->onButtonPressed(id, std::move(handler));
    }
    void onInitialised(platform::FormHandler handler) override { inner_->onInitialised(std::move(handler)); }
    void runModal() override { inner_->runModal(); }
    void applyFont(int id, const platform::FontDescription& font) override { inner_->applyFont(id, font); }
    void setTitle(std::string_view title) override { inner_->setTitle(title); }
    platform::Rect desktopRect() const override { return inner_->desktopRect(); }
    platform::Rect windowRect() const override { return inner_->windowRect(); }
    void move(int left, int top, int width, int height) override { inner_->move(left, top, width, height); }
    void bringToForeground() override { inner_->bringToForeground(); }
    void setStatus(std::string_view text) override { inner_->setStatus(text); }

private:
    std::unique_ptr<platform::Form> inner_;
    std::function<void(platform::Form&, int)> after_;
};

class NotifyingToolkit : public platform::FormToolkit {
public:
    NotifyingToolkit(platform::FormToolkit& inner, std::function<void(platform::Form&, int)> after)
        : inner_(inner), after_(std::move(after)) {}
    std::unique_ptr<platform::Form> loadForm(const std::vector<platform::FormResource>& resources,
                                             int number) override {
        auto form = inner_.loadForm(resources, number);
        if (!form) return form;
        return std::make_unique<NotifyingForm>(std::move(form), after_);
    }

private:
    platform::FormToolkit& inner_;
    std::function<void(platform::Form&, int)> after_;
};

}  // namespace

std::unique_ptr<platform::FormToolkit> notifyingToolkit(platform::FormToolkit& inner,
                                                        std::function<void(platform::Form&, int)> after) {
    return std::make_unique<NotifyingToolkit>(inner, std::move(after));
}

}  // namespace vl
