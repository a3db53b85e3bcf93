#include "platform/terminal/terminal_form.hpp"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "writers/streams.hpp"
#include "platform/terminal/terminal_layout.hpp"

#define NCURSES_NOMACROS 1
#include <curses.h>

namespace vl::platform {

namespace {

using term::CellRect;

// The terminal session, shared with the signal handlers (which use only the plain fields).
struct Session {
    SCREEN* screen = nullptr;
    bool titlePushed = false;
    struct sigaction oldInt {}, oldTerm {}, oldHup {};
};
Session session;
volatile sig_atomic_t sessionActive = 0;
termios shellModes{};
bool haveShellModes = false;
char restoreBytes[512];
std::size_t restoreLength = 0;

void writeAll(const char* data, std::size_t length) {
    while (length > 0) {
        const ssize_t n = ::write(STDOUT_FILENO, data, length);
        if (n <= 0) return;
        data += n;
        length -= static_cast<std::size_t>(n);
    }
}

void appendRestore(const char* capability) {
    const char* s = tigetstr(const_cast<char*>(capability));
    if (s == nullptr || s == reinterpret_cast<const char*>(-1)) return;
    const std::size_t n = std::strlen(s);
    if (restoreLength + n >= sizeof restoreBytes) return;
    std::memcpy(restoreBytes + restoreLength, s, n);
    restoreLength += n;
}

bool titleCapable() {
    const char* t = std::getenv("TERM");
    if (t == nullptr) return false;
    const std::string name(t);
    return name.rfind("xterm", 0) == 0 || name.rfind("tmux", 0) == 0 || name.rfind("screen", 0) == 0;
}

bool (*interruptDeferral)(int) noexcept = nullptr;

extern "C" void onStopSignal(int signal) {
    if (interruptDeferral != nullptr && interruptDeferral(signal)) return;
    if (sessionActive) {
        writeAll(restoreBytes, restoreLength);
        if (haveShellModes) tcsetattr(STDIN_FILENO, TCSANOW, &shellModes);
    }
    _exit(128 + signal);
}

void startSession() {
    if (sessionActive) return;
    haveShellModes = tcgetattr(STDIN_FILENO, &shellModes) == 0;
    session.screen = newterm(nullptr, stdout, stdin);
    if (session.screen == nullptr) {
        const char* t = std::getenv("TERM");
        throw std::runtime_error(std::string("cannot use this terminal (TERM=") + (t ? t : "") +
                                 "); use --batch");
    }
    set_term(session.screen);
    cbreak();
    noecho();
    keypad(stdscr, TRUE);
    set_escdelay(25);
    // Ctrl-Q closes the form, so no XON/XOFF.
    termios modes{};
    if (tcgetattr(STDIN_FILENO, &modes) == 0) {
        modes.c_iflag &= ~static_cast<tcflag_t>(IXON);
        tcsetattr(STDIN_FILENO, TCSANOW, &modes);
        def_prog_mode();
    }
    restoreLength = 0;
    appendRestore("sgr0");
    appendRestore("cnorm");
    appendRestore("rmkx");
    appendRestore("rmcup");
    if (titleCapable()) {
        static const char pop[] = "\033[23;0t";
        if (restoreLength + sizeof pop < sizeof restoreBytes) {
            std::memcpy(restoreBytes + restoreLength, pop, sizeof pop - 1);
            restoreLength += sizeof pop - 1;
        }
    }
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &session.oldInt);
    sigaction(SIGTERM, &action, &session.oldTerm);
    sigaction(SIGHUP, &action, &session.oldHup);
    sessionActive = 1;
}

void setTerminalTitle(const std::string& title) {
    if (!sessionActive || !titleCapable()) return;
    std::string bytes;
    if (!session.titlePushed) bytes += "\033[22;0t";
    session.titlePushed = true;
    bytes += "\033]0;";
    for (char c : title) {
        if (static_cast<unsigned char>(c) >= 32 && c != 127) bytes += c;
    }
    bytes += '\007';
    std::fflush(stdout);
    writeAll(bytes.data(), bytes.size());
}

// The drawing standing for the bitmap of the installation.
const std::vector<std::string>& installationDrawing(bool small) {
    static const std::vector<std::string> large = {
        "         overhang",
        "       |<------->|",
        "       #=========\\__",
        "       #         [==]  luminaire,",
        "       #           \\   tilted",
        "       #            \\",
        "       #  pole       \\",
        "       #  height      \\",
        "       #               \\",
        "  _____#________________\\_______",
        "       |<---- road width ---->|",
    };
    static const std::vector<std::string> little = {
        "  #=====[=]",
        "  #       \\",
        "__#________\\____",
        "  |<- road ->|",
    };
    return small ? little : large;
}

class TerminalForm : public Form {
public:
    explicit TerminalForm(const FormResource& resource) : resource_(resource) {
        for (const auto& c : resource_.controls) {
            if (c.id < 0) continue;
            if (c.kind == ControlKind::Edit) {
                edits_[c.id];
            } else {
                texts_[c.id] = c.text;
            }
        }
        for (int id : resource_.tabOrder) {
            if (focus_ < 0 && controlIndex(id) >= 0) focus_ = id;
        }
    }
    ~TerminalForm() override { endSession(); }
    TerminalForm(const TerminalForm&) = delete;
    TerminalForm& operator=(const TerminalForm&) = delete;

    std::string text(int id) const override {
        if (auto e = edits_.find(id); e != edits_.end()) return e->second.text();
        auto t = texts_.find(id);
        return t == texts_.end() ? std::string() : t->second;
    }
    void setText(int id, std::string_view text) override {
        if (auto e = edits_.find(id); e != edits_.end()) {
            e->second.setText(text);
        } else {
            texts_[id] = std::string(text);
        }
        if (showing_) paint();
    }
    void onEditChanged(int id, ControlHandler handler) override { changed_[id] = std::move(handler); }
    void onButtonPressed(int id, ControlHandler handler) override { pressed_[id] = std::move(handler); }
    void onFunctionKey(int number, std::string_view label, FormHandler handler) override {
        functionKeys_[number] = {std::string(label), std::move(handler)};
    }
    void onInitialised(FormHandler handler) override { init_ = std::move(handler); }
    void runModal() override;
    void applyFont(int id, const FontDescription& font) override {
        if (font.weight >= 600) {
            bold_.insert(id);
        } else {
            bold_.erase(id);
        }
        if (showing_) paint();
    }
    void setTitle(std::string_view title) override {
        title_ = std::string(title);
        setTerminalTitle(title_);
    }
    Rect desktopRect() const override {
        const auto [cols, rows] = screenSize();
        return term::cellsToPixels(0, 0, cols, std::max(1, rows - 1));
    }
    Rect windowRect() const override {
        return term::cellsToPixels(formCol_, formRow_, plan_.formColumns, plan_.formRows);
    }
    void move(int left, int top, int, int) override {
        // Kept as an offset from the centre, so that it holds after a resize.
        const auto [cols, rows] = screenSize();
        offsetCol_ = left / term::kPixelsPerColumn - (cols - plan_.formColumns) / 2;
        offsetRow_ = top / term::kPixelsPerRow - (rows - 1 - plan_.formRows) / 2;
        placeForm();
        if (showing_) paint();
    }
    void bringToForeground() override {
        if (!showing_) return;
        redrawwin(stdscr);
        paint();
    }
    bool hasStatusLine() const override { return true; }
    void setStatus(std::string_view text) override {
        status_ = terminalSafe(text);
        if (showing_) paint();
    }

private:
    struct Size {
        int cols, rows;
    };
    Size screenSize() const {
        if (!showing_) return {80, 24};
        int rows = 0, cols = 0;
        getmaxyx(stdscr, rows, cols);
        return {cols, rows};
    }
    int controlIndex(int id) const {
        for (std::size_t i = 0; i < resource_.controls.size(); ++i) {
            if (resource_.controls[i].id == id) return static_cast<int>(i);
        }
        return -1;
    }
    const ControlSpec* control(int id) const {
        const int i = controlIndex(id);
        return i < 0 ? nullptr : &resource_.controls[static_cast<std::size_t>(i)];
    }
    bool isEdit(int id) const { return edits_.count(id) > 0; }
    bool isButton(int id) const {
        const ControlSpec* c = control(id);
        return c && (c->kind == ControlKind::Button || c->kind == ControlKind::DefaultButton);
    }
    int defaultButton() const {
        for (const auto& c : resource_.controls) {
            if (c.kind == ControlKind::DefaultButton) return c.id;
        }
        return -1;
    }
    bool consoleShown() const { return !plan_.tooSmall && (plan_.split || consoleView_); }
    bool formShown() const { return !plan_.tooSmall && !consoleView_; }

    void endSession();
    void relayout();
    void placeForm();
    void paint();
    void paintForm();
    void paintConsole(int left, int top, int width, int height);
    void paintStatus(int row, int cols);
    void paintControl(std::size_t index);
    int editWidth(std::size_t index);
    void putText(int row, int col, std::string_view text, int maxWidth, attr_t attributes = A_NORMAL);
    void handleKey(int key);
    void edited(int id);
    void press(int id);
    void consoleLine(std::string_view line);
    void waitForEnter();
    void checkResize();

    FormResource resource_;
    std::map<int, term::EditLine> edits_;
    std::map<int, std::string> texts_;
    std::map<int, ControlHandler> changed_, pressed_;
    std::map<int, std::pair<std::string, FormHandler>> functionKeys_;
    FormHandler init_;
    std::string title_;
    std::string status_;
    std::set<int> bold_;
    int focus_ = -1;
    term::ConsoleLog log_;
    term::ScreenPlan plan_;
    std::vector<CellRect> cells_;
    int formCol_ = 0, formRow_ = 0;
    int offsetCol_ = 0, offsetRow_ = 0;
    int laidCols_ = 0, laidRows_ = 0;
    bool showing_ = false;
    bool closed_ = false;
    bool consoleView_ = false;
    bool running_ = false;
    bool pausing_ = false;
    std::chrono::steady_clock::time_point lastPaint_{};
};

void TerminalForm::runModal() {
    startSession();
    showing_ = true;
    closed_ = false;
    setConsoleSink([this](std::string_view line) { consoleLine(line); });
    setConsolePause([this] { waitForEnter(); });
    if (!title_.empty()) setTerminalTitle(title_);
    relayout();
    if (init_) init_(*this);
    paint();
    while (!closed_) handleKey(wgetch(stdscr));
    endSession();
}

void TerminalForm::endSession() {
    if (!showing_) return;
    showing_ = false;
    setConsoleSink(nullptr);
    setConsolePause(nullptr);
    restoreTerminal();
}

void TerminalForm::relayout() {
    const auto [cols, rows] = screenSize();
    laidCols_ = cols;
    laidRows_ = rows;
    plan_ = term::planScreen(resource_, cols, rows);
    if (plan_.tooSmall) return;
    cells_ = term::layoutControls(resource_, plan_.formColumns, plan_.formRows);
    placeForm();
}

void TerminalForm::placeForm() {
    if (plan_.tooSmall) return;
    const auto [cols, rows] = screenSize();
    // The console keeps room for its 54-column lines when the screen has it.
    const int minLeft =
        plan_.split ? std::clamp(cols - plan_.formColumns, term::kMinConsoleColumns + 1, term::kWideConsoleColumns + 1)
                    : 0;
    const int maxLeft = std::max(minLeft, cols - plan_.formColumns);
    formCol_ = std::clamp((cols - plan_.formColumns) / 2 + offsetCol_, minLeft, maxLeft);
    const int available = rows - 1;
    formRow_ = std::clamp((available - plan_.formRows) / 2 + offsetRow_, 0, std::max(0, available - plan_.formRows));
}

void TerminalForm::putText(int row, int col, std::string_view text, int maxWidth, attr_t attributes) {
    const auto [cols, rows] = screenSize();
    if (row < 0 || row >= rows || col >= cols || maxWidth <= 0) return;
    if (col < 0) {
        const auto cut = static_cast<std::size_t>(-col);
        if (cut >= text.size()) return;
        text.remove_prefix(cut);
        maxWidth -= static_cast<int>(cut);
        col = 0;
    }
    const int n = std::min({static_cast<int>(text.size()), maxWidth, cols - col});
    if (n <= 0) return;
    wattrset(stdscr, attributes);
    mvwaddnstr(stdscr, row, col, text.data(), n);
    wattrset(stdscr, A_NORMAL);
}

void TerminalForm::paint() {
    if (!showing_) return;
    lastPaint_ = std::chrono::steady_clock::now();
    const auto [cols, rows] = screenSize();
    werase(stdscr);
    if (plan_.tooSmall) {
        const std::string need = "Vesperluminal needs at least " + std::to_string(plan_.minColumns) + " x " +
                                 std::to_string(plan_.minRows) + " cells;";
        const std::string now = "this terminal is " + std::to_string(cols) + " x " + std::to_string(rows) + ".";
        const std::string what = "Enlarge it, or press Esc to close.";
        int row = std::max(0, rows / 2 - 2);
        for (const std::string& line : {need, now, what}) {
            for (const std::string& part : term::wrapText(line, cols)) {
                putText(row++, std::max(0, (cols - static_cast<int>(part.size())) / 2), part, cols);
            }
        }
        curs_set(0);
        wnoutrefresh(stdscr);
        doupdate();
        return;
    }
    if (consoleView_) {
        paintConsole(0, 0, cols, rows - 1);
    } else {
        if (plan_.split) {
            paintConsole(0, 0, formCol_ - 1, rows - 1);
            for (int k = 0; k < rows - 1; ++k) putText(k, formCol_ - 1, "|", 1);
        }
        paintForm();
    }
    paintStatus(rows - 1, cols);
    bool cursor = false;
    if (formShown() && !running_ && !pausing_ && isEdit(focus_)) {
        const int i = controlIndex(focus_);
        const CellRect& r = cells_[static_cast<std::size_t>(i)];
        auto& edit = edits_[focus_];
        edit.visible(editWidth(static_cast<std::size_t>(i)) - 2);
        wmove(stdscr, formRow_ + r.row, formCol_ + r.col + 1 + edit.cursorColumn());
        cursor = true;
    }
    curs_set(cursor ? 1 : 0);
    wnoutrefresh(stdscr);
    doupdate();
}

void TerminalForm::paintConsole(int left, int top, int width, int height) {
    if (width <= 0 || height <= 0) return;
    const std::vector<std::string> shown = log_.view(width, height);
    int row = top + height - static_cast<int>(shown.size());
    for (const std::string& line : shown) putText(row++, left, line, width);
    if (log_.scroll() > 0) {
        const std::string mark = "-- scrolled back " + std::to_string(log_.scroll()) + " --";
        putText(top, left + std::max(0, width - static_cast<int>(mark.size())), mark, width, A_REVERSE);
    }
}

void TerminalForm::paintStatus(int row, int cols) {
    std::string status;
    if (pausing_) {
        status = " Bad XA input.  Press Enter to go on.";
    } else if (running_) {
        status = status_.empty() ? " Run in progress ... the form answers again when it ends."
                                 : " Run in progress: " + status_ + " ... the form answers again when it ends.";
    } else {
        std::string keys;
        if (consoleView_) {
            keys = " Console   PgUp/PgDn Up/Down: scroll   F2: the form   Esc: close";
        } else {
            keys = " Tab/arrows: move  Enter: start  Esc: close  PgUp/PgDn: console";
            keys += plan_.split ? "  F2: console only" : "  F2: console";
            for (const auto& [number, entry] : functionKeys_) keys += "  F" + std::to_string(number) + ": " + entry.first;
        }
        // A message of the application (the report's name, a warning) comes first; the
        // keys follow when there is room for them.
        if (status_.empty()) {
            status = keys;
        } else {
            status = " " + status_;
            if (static_cast<int>(status.size() + 2 + keys.size()) <= cols) status += "  " + keys;
        }
    }
    status.resize(static_cast<std::size_t>(std::max(0, cols)), ' ');
    putText(row, 0, status, cols, A_REVERSE);
}

void TerminalForm::paintForm() {
    // Frames and pictures first, the controls over them.
    for (int pass = 0; pass < 3; ++pass) {
        for (std::size_t i = 0; i < resource_.controls.size(); ++i) {
            const ControlKind kind = resource_.controls[i].kind;
            const int want = kind == ControlKind::GroupBox ? 0 : kind == ControlKind::Picture ? 1 : 2;
            if (want == pass) paintControl(i);
        }
    }
}

void TerminalForm::paintControl(std::size_t index) {
    const ControlSpec& c = resource_.controls[index];
    const CellRect& r = cells_[index];
    const int row = formRow_ + r.row;
    const int col = formCol_ + r.col;
    const bool focused = c.id >= 0 && c.id == focus_;
    const attr_t weight = bold_.count(c.id) ? A_BOLD : A_NORMAL;
    switch (c.kind) {
        case ControlKind::GroupBox: {
            if (r.width < 2 || r.height < 2) return;
            const std::string edge = "+" + std::string(static_cast<std::size_t>(r.width - 2), '-') + "+";
            putText(row, col, edge, r.width);
            putText(row + r.height - 1, col, edge, r.width);
            for (int k = 1; k < r.height - 1; ++k) {
                putText(row + k, col, "|", 1);
                putText(row + k, col + r.width - 1, "|", 1);
            }
            int mark = -1;
            const std::string label = term::stripMnemonic(c.text, &mark);
            if (!label.empty()) {
                const std::string shown = " " + label + " ";
                putText(row, col + 2, shown, r.width - 4);
                if (mark >= 0 && mark + 3 < r.width - 4)
                    putText(row, col + 3 + mark, label.substr(static_cast<std::size_t>(mark), 1), 1, A_UNDERLINE);
            }
            return;
        }
        case ControlKind::Picture: {
            if (c.text != "110") return;  // the only bitmap: the installation
            const auto& large = installationDrawing(false);
            const auto& small = installationDrawing(true);
            auto widest = [](const std::vector<std::string>& d) {
                std::size_t w = 0;
                for (const auto& l : d) w = std::max(w, l.size());
                return static_cast<int>(w);
            };
            const std::vector<std::string>* drawing = nullptr;
            if (widest(large) <= r.width && static_cast<int>(large.size()) <= r.height) {
                drawing = &large;
            } else if (widest(small) <= r.width && static_cast<int>(small.size()) <= r.height) {
                drawing = &small;
            }
            if (!drawing) return;
            const int top = row + (r.height - static_cast<int>(drawing->size())) / 2;
            const int left = col + (r.width - widest(*drawing)) / 2;
            for (std::size_t k = 0; k < drawing->size(); ++k)
                putText(top + static_cast<int>(k), left, (*drawing)[k], r.width);
            return;
        }
        case ControlKind::Label: {
            const std::string label = term::trimRight(term::stripMnemonic(c.id < 0 ? c.text : text(c.id)));
            if (r.height <= 1) {
                putText(row, col, label, r.width, weight);
                return;
            }
            const auto lines = term::wrapText(label, r.width);
            for (int k = 0; k < r.height && k < static_cast<int>(lines.size()); ++k)
                putText(row + k, col, lines[static_cast<std::size_t>(k)], r.width, weight);
            return;
        }
        case ControlKind::Edit: {
            auto& edit = edits_[c.id];
            const int width = editWidth(index);
            const int inner = width - 2;
            std::string shown = focused ? edit.visible(inner) : edit.head(inner);
            const bool more = !focused && static_cast<int>(edit.text().size()) > inner;
            shown.resize(static_cast<std::size_t>(std::max(0, inner)), ' ');
            putText(row, col, "[", 1);
            putText(row, col + 1, shown, inner, weight | (focused ? A_REVERSE : A_UNDERLINE));
            putText(row, col + width - 1, more ? ">" : "]", 1);
            return;
        }
        case ControlKind::Button:
        case ControlKind::DefaultButton: {
            const std::string label = term::stripMnemonic(text(c.id));
            const std::string shown =
                c.kind == ControlKind::DefaultButton ? "< " + label + " >" : "[ " + label + " ]";
            const int left = col + std::max(0, (r.width - static_cast<int>(shown.size())) / 2);
            putText(row, left, shown, r.width, focused ? (A_REVERSE | A_BOLD) : A_NORMAL);
            return;
        }
    }
}

// An edit grows into free cells on its right while its text needs them (the focused one
// also for the cursor after its text), so that a text that fits is shown from its start;
// the cursor is placed in the same width as the text is drawn.
int TerminalForm::editWidth(std::size_t index) {
    const ControlSpec& c = resource_.controls[index];
    const CellRect& r = cells_[index];
    const int needed = static_cast<int>(edits_[c.id].text().size()) + (c.id == focus_ ? 3 : 2);
    return needed > r.width ? std::min(needed, std::max(r.width, r.room)) : r.width;
}

void TerminalForm::edited(int id) {
    auto it = changed_.find(id);
    if (it != changed_.end()) it->second(*this, id, EventKind::Changed);
}

void TerminalForm::press(int id) {
    auto it = pressed_.find(id);
    if (it == pressed_.end()) {
        closed_ = true;  // a button of no handler of its own ends the form
        return;
    }
    running_ = true;
    const bool view = consoleView_;
    if (!plan_.split) consoleView_ = true;  // lines must be seen while they come
    log_.follow();
    paint();
    it->second(*this, id, EventKind::Pressed);
    running_ = false;
    consoleView_ = view;
    checkResize();
    paint();
}

void TerminalForm::checkResize() {
    const auto [cols, rows] = screenSize();
    if (cols != laidCols_ || rows != laidRows_) relayout();
}

void TerminalForm::consoleLine(std::string_view line) {
    log_.add(terminalSafe(line));
    if (!showing_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastPaint_ < std::chrono::milliseconds(40)) return;
    checkResize();
    paint();
}

void TerminalForm::waitForEnter() {
    if (!showing_) return;
    pausing_ = true;
    const bool view = consoleView_;
    if (!plan_.split) consoleView_ = true;
    log_.follow();
    checkResize();
    paint();
    for (;;) {
        const int key = wgetch(stdscr);
        if (key == '\n' || key == '\r' || key == KEY_ENTER) break;
        const auto [cols, rows] = screenSize();
        const int page = std::max(1, rows - 2);
        if (key == KEY_RESIZE) relayout();
        if (key == KEY_PPAGE) log_.scrollBy(page);
        if (key == KEY_NPAGE) log_.scrollBy(-page);
        paint();
    }
    pausing_ = false;
    consoleView_ = view;
    log_.follow();
    paint();
}

void TerminalForm::handleKey(int key) {
    const auto [cols, rows] = screenSize();
    const int page = std::max(1, rows - 2);
    switch (key) {
        case ERR: return;
        case KEY_RESIZE: relayout(); paint(); return;
        case 27:
        case 17:  // Ctrl-Q
            closed_ = true;
            return;
        case KEY_F(2): consoleView_ = !consoleView_; paint(); return;
        case KEY_PPAGE: log_.scrollBy(page); paint(); return;
        case KEY_NPAGE: log_.scrollBy(-page); paint(); return;
        default: break;
    }
    for (auto& [number, entry] : functionKeys_) {
        if (key == KEY_F(number)) {
            entry.second(*this);
            paint();
            return;
        }
    }
    if (plan_.tooSmall) return;
    if (consoleView_) {
        if (key == KEY_UP) log_.scrollBy(1);
        if (key == KEY_DOWN) log_.scrollBy(-1);
        if (key == KEY_END) log_.follow();
        paint();
        return;
    }
    const bool edit = isEdit(focus_);
    switch (key) {
        case '\t':
        case KEY_DOWN: focus_ = term::stepFocus(resource_.tabOrder, focus_, 1); break;
        case KEY_BTAB:
        case KEY_UP: focus_ = term::stepFocus(resource_.tabOrder, focus_, -1); break;
        case KEY_LEFT:
            if (edit) {
                edits_[focus_].left();
            } else {
                focus_ = term::stepFocus(resource_.tabOrder, focus_, -1);
            }
            break;
        case KEY_RIGHT:
            if (edit) {
                edits_[focus_].right();
            } else {
                focus_ = term::stepFocus(resource_.tabOrder, focus_, 1);
            }
            break;
        case KEY_HOME:
            if (edit) edits_[focus_].home();
            break;
        case KEY_END:
            if (edit) edits_[focus_].end();
            break;
        case '\n':
        case '\r':
        case KEY_ENTER:
            if (isButton(focus_)) {
                press(focus_);
            } else if (defaultButton() >= 0) {
                press(defaultButton());
            }
            break;
        case KEY_BACKSPACE:
        case 127:
        case 8:
            if (edit && edits_[focus_].backspace()) edited(focus_);
            break;
        case KEY_DC:
            if (edit && edits_[focus_].erase()) edited(focus_);
            break;
        default:
            if (key == ' ' && isButton(focus_)) {
                press(focus_);
            } else if (edit && key >= 32 && key < 127) {
                edits_[focus_].insert(static_cast<char>(key));
                edited(focus_);
            }
            break;
    }
    if (!closed_) paint();
}

class TerminalToolkit : public FormToolkit {
public:
    std::unique_ptr<Form> loadForm(const std::vector<FormResource>& resources, int number) override {
        for (const auto& resource : resources) {
            if (resource.number == number) return std::make_unique<TerminalForm>(resource);
        }
        return nullptr;
    }
};

}  // namespace

std::unique_ptr<FormToolkit> makeTerminalToolkit() { return std::make_unique<TerminalToolkit>(); }

void setInterruptDeferral(bool (*defer)(int signal) noexcept) { interruptDeferral = defer; }

void restoreTerminal() {
    if (!sessionActive) return;
    sessionActive = 0;
    curs_set(1);
    endwin();
    if (session.titlePushed) {
        static const char pop[] = "\033[23;0t";
        writeAll(pop, sizeof pop - 1);
        session.titlePushed = false;
    }
    std::fflush(stdout);
    if (haveShellModes) tcsetattr(STDIN_FILENO, TCSANOW, &shellModes);
    sigaction(SIGINT, &session.oldInt, nullptr);
    sigaction(SIGTERM, &session.oldTerm, nullptr);
    sigaction(SIGHUP, &session.oldHup, nullptr);
    if (session.screen) delscreen(session.screen);
    session.screen = nullptr;
}

}  // namespace vl::platform
