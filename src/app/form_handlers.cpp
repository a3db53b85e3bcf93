#include "app/form_handlers.hpp"

#include <cmath>

#include "app/computation_state.hpp"
#include "app/driver.hpp"
#include "app/folder_lock.hpp"
#include "app/form_layout.hpp"
#include "app/installation_file.hpp"
#include "app/interruption.hpp"
#include "app/plausibility.hpp"
#include "text/format.hpp"
#include "writers/streams.hpp"
#include "readers/text_input.hpp"

namespace vl {

InstallationData& formInstallation() {
    static InstallationData data;
    return data;
}

void onFormInit(platform::Form& form) {
    platform::FontDescription font;
    font.height = 20;
    font.weight = 700;
    font.pitchAndFamily = 1;
    form.applyFont(1001, font);
    form.setTitle("Vesperluminal");
    const platform::Rect desktop = form.desktopRect();
    const platform::Rect window = form.windowRect();
    const int left = desktop.left + ((desktop.right - desktop.left) - (window.right - window.left) + 99) / 2;
    const int top = desktop.top + ((desktop.bottom - desktop.top) - (window.bottom - window.top)) / 2;
    form.move(left, top, window.right - window.left + 1, window.bottom - window.top + 1);
    form.bringToForeground();
}

namespace {

double* realField(InstallationData& data, int id) {
    switch (id) {
        case 1001: return &data.lampFlux;
        case 1002: return &data.roadWidth;
        case 1006: return &data.spacing;
        case 1005: return &data.overhang;
        case 1009: return &data.poleHeight;
        case 1011: return &data.maintenanceFactor;
        case 1008: return &data.tilt;
        default: return nullptr;
    }
}

}  // namespace

void onFieldEdited(platform::Form& form, int controlId, platform::EventKind) {
    InstallationData& data = formInstallation();
    bool isInput = false;
    for (int id : kInputEdits) isInput = isInput || id == controlId;
    if (isInput) {
        std::string text = form.text(controlId);
        if (text.size() > 256) text.resize(256);
        if (double* field = realField(data, controlId)) {
            if (auto value = firstReal(text)) *field = *value;
        } else if (controlId == 1021) {
            if (auto value = firstReal(text)) {
                const double t = std::trunc(*value);
                if (t >= -2147483648.0 && t <= 2147483647.0) data.gridChoice = static_cast<int>(t);
            }
        } else if (controlId == 1012 || controlId == 1010) {
            if (auto value = firstText(text)) {
                std::string& target = controlId == 1012 ? data.surfaceClass : data.photometryFile;
                const std::size_t width = controlId == 1012 ? 2 : 20;
                target = value->substr(0, std::min(width, value->size()));
                // A cut inside a multi-byte UTF-8 character drops its leading bytes.
                if (value->size() > width) {
                    std::size_t end = target.size();
                    std::size_t start = end;
                    while (start > 0 && (static_cast<unsigned char>(target[start - 1]) & 0xC0) == 0x80) --start;
                    if (start > 0 && (static_cast<unsigned char>(target[start - 1]) & 0xC0) == 0xC0) {
                        const unsigned char lead = static_cast<unsigned char>(target[start - 1]);
                        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
                        if (end - (start - 1) < length) target.resize(start - 1);
                    }
                }
            }
        }
    }
    {
        // Another process in the folder (a second form) holds it only while it computes.
        const FolderHold hold;
        if (!hold.held()) {
            form.setStatus("Not stored in " + std::string(kInstallationFileName) + ": the folder is " + hold.refusal());
            return;
        }
        const InterruptibleWork work;
        writeInstallationFile(data);
    }
    stopIfInterrupted();
    const std::vector<std::string> warnings = installationWarnings(data);
    if (warnings.empty()) {
        form.setStatus("");
    } else {
        std::string status = "Warning: " + warnings.front();
        if (warnings.size() > 1) status += " (and " + std::to_string(warnings.size() - 1) + " more)";
        form.setStatus(status);
    }
}

namespace {

// The warnings of the run in progress (the terminal form shows them on its status line).
std::vector<std::string>& formWarnings() {
    static std::vector<std::string> warnings;
    return warnings;
}

}  // namespace

void noteFormWarning(std::string_view text) { formWarnings().emplace_back(text); }

void onStartComputation(platform::Form& form, int, platform::EventKind) {
    std::string reportName(40, ' ');
    formWarnings().clear();
    {
        const FolderHold hold;
        if (!hold.held()) {
            form.setStatus("Not started: the folder is " + hold.refusal());
            return;
        }
        const InterruptibleWork work;
        // The run computes the installation the form shows, whatever another process stored.
        writeInstallationFile(formInstallation());
        if (form.hasStatusLine()) {
            state().options.progressShow = [&form](const std::string& text) { form.setStatus(text); };
        }
        runComputation(reportName);
        state().options.progressShow = nullptr;
    }
    stopIfInterrupted();
    const auto first = reportName.find_first_not_of(' ');
    const auto last = reportName.find_last_not_of(' ');
    const std::string name = first == std::string::npos ? "" : reportName.substr(first, last - first + 1);
    form.setText(kReportNameField, name);
    std::string status = name.empty() ? "" : "Report: " + name;
    if (!formWarnings().empty()) {
        status += std::string(status.empty() ? "" : "  ") + "Warning: " + formWarnings().front();
        if (formWarnings().size() > 1) status += " (and " + std::to_string(formWarnings().size() - 1) + " more)";
    }
    if (!status.empty()) form.setStatus(status);
}

namespace {

// F5: the pictures of the last run that completed, into the --plots folder or plots/.
void drawLastRunPictures(platform::Form& form) {
    const ComputationState& s = state();
    if (s.run.runStamp.empty() || s.result.reached != RunStage::Complete) {
        form.setStatus("No pictures yet: start a computation first.");
        return;
    }
    const std::string folder = s.options.plotsFolder.empty() ? "plots" : s.options.plotsFolder;
    const FolderHold hold;
    if (!hold.held()) {
        form.setStatus("Pictures not drawn: the folder is " + hold.refusal());
        return;
    }
    const std::string failure =
        s.options.drawPictures(s.inputs, s.result, s.assessment ? &*s.assessment : nullptr, folder);
    if (failure.empty()) {
        form.setStatus("Pictures of the last run: " + folder + "/index.html");
    } else {
        const auto tab = failure.find('\t');
        form.setStatus("Pictures not written: " + failure.substr(0, tab) +
                       (tab == std::string::npos ? "" : " " + failure.substr(tab + 1)));
    }
}

}  // namespace

bool runInputForm(platform::FormToolkit& toolkit) {
    std::unique_ptr<platform::Form> form = toolkit.loadForm(formResources(), kInputForm);
    if (!form) {
        consoleText("Error: dialog not found");
        return false;
    }
    const std::pair<int, const char*> defaults[] = {{1001, "6.5"}, {1002, "7.0"}, {1006, "24.0"}, {1005, "2.5"},
                                                    {1009, "7.0"}, {1011, "0.8"}, {1008, "0."},   {1012, "C2"},
                                                    {1021, "1"},   {1010, "eulumdat.ldt"}};
    for (const auto& [id, text] : defaults) form->setText(id, text);
    for (const auto& [id, text] : defaults) onFieldEdited(*form, id, platform::EventKind::Changed);
    for (const auto& [id, text] : defaults) form->onEditChanged(id, onFieldEdited);
    form->onButtonPressed(kStartButton, onStartComputation);
    if (state().options.drawPictures) form->onFunctionKey(5, "pictures", drawLastRunPictures);
    form->onInitialised(onFormInit);
    form->runModal();
    form.reset();
    return true;
}

}  // namespace vl
