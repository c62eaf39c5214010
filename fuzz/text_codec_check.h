#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvane::fuzzing {

// Takes arbitrary bytes as a file's or a setting's content through the text codec and
// returns every broken rule as a sentence; empty when all held. Valid UTF-8 (by an
// independent strict reading) is read as UTF-8 and anything else as Latin-1; a read
// gives a replacement character only where the bytes spell one; decoding and then
// encoding in the read's encoding, the short-text path of a Latin-1 read and the
// editor's line round trip all give the bytes back (the editor's with CR LF line ends).
std::vector<std::string> CheckTextCodec(std::string_view input);

}  // namespace quorvane::fuzzing
