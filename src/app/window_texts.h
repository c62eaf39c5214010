#pragma once

#include <QString>

namespace quorvane {

// The fixed texts of the main window.
inline constexpr const char* kVersionLine =
    "Quorvane.exe  Version 2.05,  Released on May 2nd, 2000";
inline constexpr const char* kAgreementTitle = "Click and Drag here to view all of this Agreement";
inline constexpr const char* kAgreementQuestion =
    "Welcome to Quorvane. I have read and agree to these conditions";
inline constexpr const char* kRestartNotice =
    "You may want to restart Quorvane to overcome minor duplication in the TOTAL column. This is "
    "a Beta version fix.";
inline constexpr const char* kTooManyItemsPerDay = "too many items per day";

QString AgreementText();  // without the version line, which start-up inserts
QString HelpText();
QString StatusNotice();

}  // namespace quorvane
