#include "core/composer/word_insertion.h"

namespace quorvane {

std::string AppendComposerWord(std::string_view text, std::string_view word) {
    std::string result(text);
    // Positions count from 1, so position p is result[p - 1]. The rule looks at the
    // character before the last one, which is where a word click's own ", " leaves
    // its comma.
    if (result.size() > 2) {
        const std::size_t length = result.size();
        if (result[length - 2] == ',') {
            result += ' ';
        } else {
            if (result[length - 3] != ',') {
                result += ',';
            }
            if (result[result.size() - 2] != ' ') {
                result += ' ';
            }
        }
    }
    result += word;
    result += ' ';
    return result;
}

}  // namespace quorvane
