#include "app/handler_guard.h"

#include <exception>

#include "core/text/quorvane_error.h"
#include "ui/prompts.h"
#include "ui/text_codec.h"

namespace quorvane {

QString ErrorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back().unicode() > u'.') {
        return message + QLatin1Char('.');
    }
    return message;
}

void RunGuarded(Prompts& prompts, const std::function<void()>& handler) {
    QString message;
    try {
        handler();
        return;
    } catch (const QuorvaneError& error) {
        message = MessageFromBytes(error.what());
    } catch (const std::exception& error) {
        // Not one of ours (out of memory, a library fault): still never let it
        // cross the event loop, and say what it was.
        message = MessageFromBytes(error.what());
    }
    try {
        prompts.Error(ErrorBoxText(message));
    } catch (...) {
        // The box itself failed; there is nothing better left to do than go on.
    }
}

}  // namespace quorvane
