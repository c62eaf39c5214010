#include "text_codec_check.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "ui/text_codec.h"

namespace quorvane::fuzzing {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Strict UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
bool IsUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 0;
        uint32_t code = 0;
        uint32_t lowest = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
            lowest = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
            lowest = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
            lowest = 0x10000;
        } else {
            return false;
        }
        if (i + length > bytes.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (next & 0x3F);
        }
        if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

std::size_t Occurrences(std::string_view text, std::string_view part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos;
         at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

// The file as the editor round trip stores it: each line once with CR LF after it,
// where CR LF, CR and LF each end a line and the last end opens no further line;
// nothing at all for a file whose lines join to no text.
std::string EditorRoundTrip(std::string_view bytes) {
    std::string text;
    std::string stored;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
            if (i + 1 < bytes.size()) {
                text += '\n';
                stored += "\r\n";
            }
        } else {
            text += c;
            stored += c;
        }
    }
    return text.empty() ? std::string() : stored + "\r\n";
}

std::string Name(TextEncoding encoding) {
    return encoding == TextEncoding::Utf8 ? "UTF-8" : "Latin-1";
}

}  // namespace

std::vector<std::string> CheckTextCodec(std::string_view input) {
    std::vector<std::string> out;
    const QByteArray bytes(input.data(), static_cast<qsizetype>(input.size()));
    const TextEncoding detected = DetectEncoding(bytes);
    const bool utf8 = IsUtf8(input);
    if ((detected == TextEncoding::Utf8) != utf8) {
        out.push_back(utf8 ? "valid UTF-8 is read as Latin-1" : "invalid UTF-8 is read as UTF-8");
    }

    const QString text = Decode(bytes, detected);
    if (detected == TextEncoding::Latin1) {
        bool same = text.size() == bytes.size();
        for (qsizetype i = 0; same && i < text.size(); ++i) {
            same = text[i].unicode() == static_cast<unsigned char>(bytes[i]);
        }
        if (!same) {
            out.push_back("a Latin-1 read is not one character per byte");
        }
    } else if (static_cast<std::size_t>(text.count(QChar(0xFFFD))) !=
               Occurrences(input, kReplacement)) {
        out.push_back("a UTF-8 read holds a replacement character the bytes do not spell");
    }

    TextEncoding encoding = detected;
    if (Encode(text, encoding) != bytes || encoding != detected) {
        out.push_back("decoding as " + Name(detected) + " and encoding gives other bytes, as " +
                      Name(encoding));
    }
    if (detected == TextEncoding::Latin1 && ToDiskBytes(FromDiskBytes(input)) != input) {
        out.push_back("a Latin-1 setting does not come back byte for byte");
    }

    const QString lines = EditorTextFromFile(bytes, detected);
    if (lines.contains(QChar('\r'))) {
        out.push_back("the editor's text holds a carriage return");
    }
    encoding = detected;
    const QByteArray stored = FileBytesFromEditorText(lines, encoding);
    const std::string expected = EditorRoundTrip(input);
    if (stored.toStdString() != expected || encoding != detected) {
        out.push_back("the editor's round trip changes more than the line ends, as " +
                      Name(encoding));
    }
    return out;
}

}  // namespace quorvane::fuzzing
