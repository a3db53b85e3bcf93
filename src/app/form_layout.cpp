#include "app/form_layout.hpp"

namespace vl {

using platform::ControlKind;
using platform::ControlSpec;
using platform::FormResource;

const std::vector<FormResource>& formResources() {
    static const std::vector<FormResource> resources = [] {
        FormResource form;
        form.number = kInputForm;
        form.title = "Vesperluminal";
        form.fontName = "MS Sans Serif";
        form.fontPoints = 8;
        form.width = 412;
        form.height = 323;
        form.controls = {
            {-1, ControlKind::GroupBox, "&version beta 1.6.1", 7, 7, 398, 309},
            {-1, ControlKind::Label, "Vesperluminal ", 124, 17, 43, 9},
            {-1, ControlKind::Label, "A software for the evaluation of the environmental impact of road lighting", 172,
             15, 231, 13},
            {-1, ControlKind::Label, "Input data", 40, 21, 43, 9},
            {1003, ControlKind::Label, "Lamp flux (klm)", 13, 40, 60, 8},
            {1001, ControlKind::Edit, "", 75, 36, 40, 14},
            {1004, ControlKind::Label, "Road width (m)", 13, 59, 56, 8},
            {1002, ControlKind::Edit, "", 75, 56, 40, 14},
            {1018, ControlKind::Label, "Pole spacing (m)", 13, 80, 59, 8},
            {1006, ControlKind::Edit, "", 75, 76, 40, 14},
            {1019, ControlKind::Label, "Overhang (m)", 13, 99, 54, 8},
            {1005, ControlKind::Edit, "", 75, 96, 40, 14},
            {1022, ControlKind::Label, "Tilt (deg)", 14, 120, 59, 8},
            {1008, ControlKind::Edit, "", 76, 116, 40, 14},
            {1014, ControlKind::Label, "Pole height (m)", 14, 139, 59, 8},
            {1009, ControlKind::Edit, "", 75, 136, 40, 14},
            {1015, ControlKind::Label, "Maintenance factor", 13, 160, 64, 8},
            {1011, ControlKind::Edit, "", 75, 156, 40, 14},
            {1016, ControlKind::Label, "CIE surface class", 13, 180, 59, 8},
            {1012, ControlKind::Edit, "", 75, 177, 40, 14},
            {1017, ControlKind::Label, "Eulumdat file", 13, 200, 43, 8},
            {1010, ControlKind::Edit, "", 56, 197, 62, 14},
            {1023, ControlKind::Label, "Computational grid", 14, 219, 81, 8},
            {1021, ControlKind::Edit, "", 98, 216, 20, 14},
            {kStartButton, ControlKind::DefaultButton, "Start computation", 34, 234, 63, 20},
            {1020, ControlKind::Label,
             "Please wait until the name of the file with the output data appears below. Results are also written in "
             "the window at left.",
             17, 259, 101, 33},
            {kReportNameField, ControlKind::Edit, "", 11, 295, 125, 14},
            {kCloseButton, ControlKind::Button, "Close", 330, 296, 50, 14},
            {-1, ControlKind::Picture, "110", 124, 31, 275, 259},
            {-1, ControlKind::Label, "Road lighting and light pollution, one straight row of luminaires", 151, 295, 157,
             17},
        };
        form.tabOrder = {1001, 1002, 1006, 1005, 1008, 1009, 1011, 1012, 1010, 1021, kStartButton, kReportNameField,
                         kCloseButton};
        return std::vector<FormResource>{form};
    }();
    return resources;
}

}  // namespace vl
