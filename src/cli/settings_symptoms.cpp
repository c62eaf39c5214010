#include "cli/report_command.h"
#include "core/settings/profile_file.h"
#include "core/settings/settings_store.h"

namespace quorvane::cli {

void LoadSettingsSymptoms(const std::string& path, SymptomTable& symptoms) {
    // Only an initialised file holds the user's symptoms; the marker is compared
    // exactly, after the trimming every read does.
    const ProfileFile profile(path);
    if (profile.ReadString("Active", "main", "motion") == "motion2") {
        LoadSymptoms(path, symptoms);
    }
}

}  // namespace quorvane::cli
