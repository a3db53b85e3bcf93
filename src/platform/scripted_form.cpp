#include "platform/scripted_form.hpp"

namespace vl::platform {

std::unique_ptr<Form> ScriptedToolkit::loadForm(const std::vector<FormResource>& resources, int number) {
    for (const auto& resource : resources) {
        if (resource.number == number) return std::make_unique<ScriptedForm>(resource, script_);
    }
    return nullptr;
}

ScriptedForm::ScriptedForm(const FormResource& resource, Script script)
    : script_(std::move(script)), title_(resource.title) {
    for (const auto& control : resource.controls) {
        if (control.id >= 0) texts_[control.id] = control.kind == ControlKind::Edit ? "" : control.text;
    }
    // A virtual screen of 1024 x 768 pixels, 1.5 pixels a dialog unit.
    width_ = resource.width * 3 / 2;
    height_ = resource.height * 3 / 2;
    placement_ = {0, 0, width_, height_};
}

std::string ScriptedForm::text(int id) const {
    auto it = texts_.find(id);
    return it == texts_.end() ? std::string() : it->second;
}

void ScriptedForm::setText(int id, std::string_view text) { texts_[id] = std::string(text); }

void ScriptedForm::onEditChanged(int id, ControlHandler handler) { changeHandlers_[id] = std::move(handler); }

void ScriptedForm::onButtonPressed(int id, ControlHandler handler) { pressHandlers_[id] = std::move(handler); }

void ScriptedForm::onInitialised(FormHandler handler) { initHandler_ = std::move(handler); }

void ScriptedForm::runModal() {
    if (initHandler_) initHandler_(*this);
    for (const auto& action : script_.actions) {
        if (action.kind == ScriptAction::Kind::Set) {
            setText(action.id, action.text);
            auto it = changeHandlers_.find(action.id);
            if (it != changeHandlers_.end()) it->second(*this, action.id, EventKind::Changed);
        } else {
            auto it = pressHandlers_.find(script_.startButton);
            if (it != pressHandlers_.end()) it->second(*this, script_.startButton, EventKind::Pressed);
            if (script_.print) script_.print(text(script_.resultField));
        }
    }
}

void ScriptedForm::applyFont(int, const FontDescription&) {}

void ScriptedForm::setTitle(std::string_view title) { title_ = std::string(title); }

Rect ScriptedForm::desktopRect() const { return {0, 0, 1024, 768}; }

Rect ScriptedForm::windowRect() const { return placement_; }

void ScriptedForm::move(int left, int top, int width, int height) {
    placement_ = {left, top, left + width - 1, top + height - 1};
}

}  // namespace vl::platform
