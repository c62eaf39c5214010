#pragma once

#include <QString>
#include <functional>
#include <string_view>

#include "ui/text_codec.h"

namespace quorvane {

class Prompts;

// The error box's text: the message with a full stop appended when it is not
// empty and its last character's code is above that of ".".
QString ErrorBoxText(const QString& message);

// Runs a handler so that no exception reaches Qt's event loop: an error ends the
// handler where it was raised and is shown in the error box.
void RunGuarded(Prompts& prompts, const std::function<void()>& handler);

}  // namespace quorvane
