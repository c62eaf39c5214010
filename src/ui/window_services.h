#pragma once

#include <functional>
#include <string>

namespace quorvane {

class Prompts;
class SymptomTable;
class Analysis;

// What the pages need of the window that owns them. The window outlives its pages.
struct WindowServices {
    Prompts& prompts;
    SymptomTable& symptoms;
    Analysis& analysis;
    // StartDir + "/Quorvane.ini", fixed by the settings load.
    std::function<std::string()> settingsPath;
    // Runs a handler through the window's error guard: an error ends the handler
    // and is shown in the error box.
    std::function<void(const std::function<void()>&)> guard;
};

}  // namespace quorvane
