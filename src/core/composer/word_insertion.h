#pragma once

#include <string>
#include <string_view>

namespace quorvane {

// The editor text after a click on a word: the separator the text's end calls for,
// then the word and one blank. `text` has CR LF line breaks.
std::string AppendComposerWord(std::string_view text, std::string_view word);

}  // namespace quorvane
