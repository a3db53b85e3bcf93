// The form toolkit layer: what the input form needs from a window system.
//
// A form is loaded from a resource description (its controls, texts and positions in
// dialog units, which belong to the application), its controls' texts are read and set,
// handlers are attached, and it runs modally until it is closed.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vl::platform {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct FontDescription {
    int height = 0;
    int weight = 0;          // 700 = bold
    int pitchAndFamily = 0;  // 1 = fixed pitch
    std::string faceName;
};

enum class ControlKind { Label, Edit, Button, DefaultButton, GroupBox, Picture };

struct ControlSpec {
    int id = -1;  // -1: a static control without an id
    ControlKind kind = ControlKind::Label;
    std::string text;
    int x = 0, y = 0, width = 0, height = 0;  // dialog units
};

struct FormResource {
    int number = 0;
    std::string title;
    std::string fontName;
    int fontPoints = 0;
    int width = 0, height = 0;  // dialog units
    std::vector<ControlSpec> controls;
    std::vector<int> tabOrder;  // edit and button ids in tab order
};

enum class EventKind { Changed, Pressed, Initialised };

class Form;
using ControlHandler = std::function<void(Form&, int controlId, EventKind kind)>;
using FormHandler = std::function<void(Form&)>;

class Form {
public:
    virtual ~Form() = default;
    virtual std::string text(int id) const = 0;
    virtual void setText(int id, std::string_view text) = 0;
    virtual void onEditChanged(int id, ControlHandler handler) = 0;
    virtual void onButtonPressed(int id, ControlHandler handler) = 0;
    virtual void onInitialised(FormHandler handler) = 0;
    // Runs until the form is closed.
    virtual void runModal() = 0;
    virtual void applyFont(int id, const FontDescription& font) = 0;
    virtual void setTitle(std::string_view title) = 0;
    virtual Rect desktopRect() const = 0;
    virtual Rect windowRect() const = 0;
    virtual void move(int left, int top, int width, int height) = 0;
    virtual void bringToForeground() = 0;
    // A short message for the form's status line (empty: none); forms without one ignore it.
    virtual void setStatus(std::string_view) {}
    // Whether setStatus shows anything (a form on a screen).
    virtual bool hasStatusLine() const { return false; }
    // A function key (F3..F12) with its label for the key help; forms without keys ignore it.
    virtual void onFunctionKey(int, std::string_view, FormHandler) {}
};

class FormToolkit {
public:
    virtual ~FormToolkit() = default;
    // The form of that resource number, or null when there is none.
    virtual std::unique_ptr<Form> loadForm(const std::vector<FormResource>& resources, int number) = 0;
};

}  // namespace vl::platform
