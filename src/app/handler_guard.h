#pragma once

#include <QString>
#include <functional>
#include <string_view>

namespace quorvane {

class Prompts;

// The error box's text: the message with a full stop appended when it is not
// empty and its last character's code is above that of ".".
QString ErrorBoxText(const QString& message);

// Error messages carry bytes from several sources: paths (UTF-8 on this system)
// and diary or settings text (8-bit). Valid UTF-8 is read as such, anything else
// byte for byte.
QString MessageFromBytes(std::string_view bytes);

// Runs a handler so that no exception reaches Qt's event loop: an error ends the
// handler where it was raised and is shown in the error box.
void RunGuarded(Prompts& prompts, const std::function<void()>& handler);

}  // namespace quorvane
