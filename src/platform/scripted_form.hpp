// A form without a screen, driven by a script: for automation and tests.
//
// Running it modally applies each action in turn: a Set changes a control's text and
// calls its change handler, a Start presses the default button and prints the text of
// the result field. Then the form closes.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/form.hpp"

namespace vl::platform {

struct ScriptAction {
    enum class Kind { Set, Start };
    Kind kind = Kind::Start;
    int id = 0;
    std::string text;
};

struct Script {
    std::vector<ScriptAction> actions;
    int startButton = 0;   // the control a Start presses
    int resultField = 0;   // the control printed after each Start
    std::function<void(const std::string&)> print;  // where the result text goes
};

class ScriptedToolkit : public FormToolkit {
public:
    explicit ScriptedToolkit(Script script) : script_(std::move(script)) {}
    std::unique_ptr<Form> loadForm(const std::vector<FormResource>& resources, int number) override;

private:
    Script script_;
};

class ScriptedForm : public Form {
public:
    ScriptedForm(const FormResource& resource, Script script);
    std::string text(int id) const override;
    void setText(int id, std::string_view text) override;
    void onEditChanged(int id, ControlHandler handler) override;
    void onButtonPressed(int id, ControlHandler handler) override;
    void onInitialised(FormHandler handler) override;
    void runModal() override;
    void applyFont(int id, const FontDescription& font) override;
    void setTitle(std::string_view title) override;
    Rect desktopRect() const override;
    Rect windowRect() const override;
    void move(int left, int top, int width, int height) override;
    void bringToForeground() override {}

    const std::string& title() const { return title_; }
    Rect placement() const { return placement_; }

private:
    Script script_;
    std::map<int, std::string> texts_;
    std::map<int, ControlHandler> changeHandlers_;
    std::map<int, ControlHandler> pressHandlers_;
    FormHandler initHandler_;
    std::string title_;
    Rect placement_;
    int width_ = 0, height_ = 0;
};

}  // namespace vl::platform
