#include "core/settings/profile_file.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <system_error>

#include "core/text/ascii.h"
#include "core/text/concat.h"
#include "core/text/quorvane_error.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxValueLength = 2047;
constexpr std::size_t kNotFound = std::string::npos;
const std::string kLineEnd = "\r\n";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimLeft(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

std::string_view Trim(std::string_view text) {
    text = TrimLeft(text);
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool IsBlankLine(std::string_view line) {
    return TrimLeft(line).empty();
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

bool IsSectionHeader(std::string_view line) {
    std::string_view rest = TrimLeft(line);
    return !rest.empty() && rest.front() == '[';
}

// The name of a header line: the text after "[" up to "]" (or the line's end), trimmed.
std::string_view SectionName(std::string_view line) {
    std::string_view rest = TrimLeft(line).substr(1);
    return Trim(rest.substr(0, rest.find(']')));
}

// One past the last line of the section whose header is at `header`.
std::size_t SectionEnd(const std::vector<std::string>& lines, std::size_t header) {
    std::size_t i = header + 1;
    while (i < lines.size() && !IsSectionHeader(lines[i])) {
        ++i;
    }
    return i;
}

// Index of the first key line for `key` in the section at `header`, or kNotFound.
// A line's key is its text before the first "=", trimmed; it names `key` when the
// line starts with the key's trimmed text and only blanks follow up to an "=". A key
// holding "=" names no line.
std::size_t FindKey(const std::vector<std::string>& lines, std::size_t header,
                    std::string_view key) {
    const std::string_view wanted = Trim(key);
    if (wanted.find('=') != kNotFound) {
        return kNotFound;
    }
    for (std::size_t i = header + 1; i < lines.size(); ++i) {
        const std::string_view start = TrimLeft(lines[i]);
        if (!start.empty() && start.front() == '[') {
            break;  // the next section
        }
        // Most lines differ in their first letter already.
        if (start.size() <= wanted.size() ||
            (!wanted.empty() && LowerAscii(start.front()) != LowerAscii(wanted.front())) ||
            !EqualNoCase(start.substr(0, wanted.size()), wanted)) {
            continue;
        }
        const std::string_view rest = TrimLeft(start.substr(wanted.size()));
        if (!rest.empty() && rest.front() == '=') {
            return i;
        }
    }
    return kNotFound;
}

// The lines a value is stored as: CR LF, lone CR and lone LF all break it. The first
// line goes under the key; a further line that would read back as a header or a key
// line gets a leading ";" so that it stays inert in the section.
std::vector<std::string> ValueLines(std::string_view key, std::string_view value) {
    std::vector<std::string> result{std::string(key) + "="};
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') {
                ++i;
            }
            result.emplace_back();
        } else {
            result.back() += c;
        }
    }
    for (std::size_t i = 1; i < result.size(); ++i) {
        if (IsSectionHeader(result[i]) || result[i].find('=') != kNotFound) {
            result[i].insert(result[i].begin(), ';');
        }
    }
    return result;
}

std::string Joined(const std::vector<std::string>& lines, const std::vector<std::string>& ends) {
    std::size_t size = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        size += lines[i].size() + ends[i].size();
    }
    std::string content;
    content.reserve(size);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        content += lines[i];
        content += ends[i];
    }
    return content;
}

[[noreturn]] void FailWrite(const std::string& path) {
    throw QuorvaneError("Unable to write to " + path);
}

// Writes `content` next to `target` and renames it over the target, so the old file
// stays whole until the new one is complete.
void ReplaceFile(const std::string& path, const std::string& content) {
    std::error_code ec;
    fs::path target(path);
    if (fs::is_symlink(target, ec)) {
        // Replace the file the link points to, not the link itself.
        const fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec) {
            target = resolved;
        }
    }
    const fs::file_status status = fs::status(target, ec);
    const bool existed = fs::exists(status);
    if (existed) {
        // A folder, a device, or a file we may not write must not be replaced by the rename.
        if (!fs::is_regular_file(status)) {
            FailWrite(path);
        }
        std::FILE* probe = std::fopen(target.c_str(), "r+b");
        if (probe == nullptr) {
            FailWrite(path);
        }
        std::fclose(probe);
    }

    std::random_device random;
    fs::path temp;
    std::FILE* out = nullptr;
    for (int attempt = 0; attempt < 8 && out == nullptr; ++attempt) {
        std::ostringstream name;
        name << "." << target.filename().string() << "." << std::hex << random() << ".tmp";
        temp = target.parent_path() / name.str();
        out = std::fopen(temp.c_str(), "wbx");
    }
    if (out == nullptr) {
        FailWrite(path);
    }
    const bool written = std::fwrite(content.data(), 1, content.size(), out) == content.size() &&
                         std::fflush(out) == 0;
    const bool closed = std::fclose(out) == 0;
    bool replaced = false;
    if (written && closed) {
        if (existed) {
            fs::permissions(temp, status.permissions(), ec);
        }
        fs::rename(temp, target, ec);
        replaced = !ec;
    }
    if (!replaced) {
        fs::remove(temp, ec);
        FailWrite(path);
    }
}

}  // namespace

ProfileFile::ProfileFile(std::string path) : path_(std::move(path)) {
    std::error_code ec;
    const fs::file_status status = fs::status(path_, ec);
    if (!fs::exists(status)) {
        return;
    }
    // Only a regular file is read: a folder fails and opening a pipe would block.
    if (!fs::is_regular_file(status)) {
        unreadable_ = true;
        return;
    }
    std::string content;
    try {
        std::ifstream in(path_, std::ios::binary);
        if (!in) {
            unreadable_ = true;
            return;
        }
        content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::exception&) {
        // A read error mid-file: reads give their defaults and writes are refused.
        unreadable_ = true;
        return;
    }
    Parse(content);
}

ProfileFile ProfileFile::FromBytes(std::string_view content) {
    ProfileFile profile;
    profile.inMemory_ = true;
    profile.Parse(content);
    return profile;
}

void ProfileFile::Parse(std::string_view content) {
    headersKnown_ = false;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t brk = content.find_first_of("\r\n", start);
        if (brk == kNotFound) {
            lines_.emplace_back(content.substr(start));
            ends_.emplace_back();
            break;
        }
        const std::size_t endLength =
            (content[brk] == '\r' && brk + 1 < content.size() && content[brk + 1] == '\n') ? 2 : 1;
        lines_.emplace_back(content.substr(start, brk - start));
        ends_.emplace_back(content.substr(brk, endLength));
        start = brk + endLength;
    }
}

ProfileFile::Header ProfileFile::HeaderAt(const std::string& line, std::size_t index) {
    const std::string_view name = SectionName(line);
    return {index, static_cast<std::size_t>(name.data() - line.data()), name.size()};
}

std::size_t ProfileFile::FindSection(std::string_view section) const {
    const std::string_view wanted = Trim(section);
    if (headersKnown_ && lastKnown_ && lastSection_ == wanted) {
        return lastHeader_;
    }
    if (!headersKnown_) {
        headers_.clear();
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            if (IsSectionHeader(lines_[i])) {
                headers_.push_back(HeaderAt(lines_[i], i));
            }
        }
        headersKnown_ = true;
    }
    // The names' places are kept, so most headers are passed on their length alone.
    lastSection_ = wanted;
    lastHeader_ = kNotFound;
    lastKnown_ = true;
    for (const Header& header : headers_) {
        if (header.NameLength == wanted.size() &&
            EqualNoCase(
                std::string_view(lines_[header.Line]).substr(header.NameStart, header.NameLength),
                wanted)) {
            lastHeader_ = header.Line;
            break;
        }
    }
    return lastHeader_;
}

void ProfileFile::NoteEdit(std::size_t replaced, std::size_t at, std::size_t count) {
    if (!headersKnown_) {
        return;
    }
    const auto byLine = [](const Header& header, std::size_t line) { return header.Line < line; };
    const auto note = [&](std::size_t line) {
        const auto place = std::lower_bound(headers_.begin(), headers_.end(), line, byLine);
        const bool known = place != headers_.end() && place->Line == line;
        if (known || IsSectionHeader(lines_[line])) {
            lastKnown_ = false;  // a header came, went or changed
        }
        if (IsSectionHeader(lines_[line])) {
            const Header header = HeaderAt(lines_[line], line);
            if (known) {
                *place = header;
            } else {
                headers_.insert(place, header);
            }
        } else if (known) {
            headers_.erase(place);
        }
    };
    if (replaced != kNotFound) {
        note(replaced);
    }
    for (Header& header : headers_) {
        if (header.Line >= at) {
            header.Line += count;
        }
    }

    for (std::size_t line = at; line < at + count; ++line) {
        note(line);
    }
}

std::string ProfileFile::Bytes() const {
    return Joined(lines_, ends_);
}

std::string ProfileFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view fallback) const {
    const std::size_t header = FindSection(section);
    if (header == kNotFound) {
        return std::string(fallback);
    }
    const std::size_t line = FindKey(lines_, header, key);
    if (line == kNotFound) {
        return std::string(fallback);
    }
    const std::string& text = lines_[line];
    std::string_view value = Trim(std::string_view(text).substr(text.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, kMaxValueLength));
}

void ProfileFile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
    if (unreadable_) {
        FailWrite(path_);
    }
    // A file's write edits copies, kept only once the disk holds them; a profile in
    // memory cannot fail past the allocations and edits its own lines, which keeps
    // the many writes of a first start linear.
    std::vector<std::string> copiedLines;
    std::vector<std::string> copiedEnds;
    if (!inMemory_) {
        copiedLines = lines_;
        copiedEnds = ends_;
    }
    std::vector<std::string>& lines = inMemory_ ? lines_ : copiedLines;
    std::vector<std::string>& ends = inMemory_ ? ends_ : copiedEnds;
    std::vector<std::string> added = ValueLines(key, value);

    // Inserts `added` at `at`; the line before it gets an end if it had none.
    auto insertAt = [&](std::size_t at) {
        if (at > 0 && ends[at - 1].empty()) {
            ends[at - 1] = kLineEnd;
        }
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
        ends.insert(ends.begin() + static_cast<std::ptrdiff_t>(at), added.size(), kLineEnd);
    };

    // `lines` still equals lines_ here, so the known headers apply. They are kept in
    // step with the edit rather than found again: a first start makes some hundred
    // writes.
    const std::size_t header = FindSection(section);
    std::size_t replaced = kNotFound;
    std::size_t at = lines.size();
    if (header == kNotFound) {
        added.insert(added.begin(), Concat({"[", section, "]"}));
        insertAt(at);
    } else if (const std::size_t line = FindKey(lines, header, key); line != kNotFound) {
        replaced = line;
        lines[line] = added.front();
        added.erase(added.begin());
        at = line + 1;
        if (!added.empty()) {
            insertAt(at);
        }
    } else {
        at = header + 1;
        const std::size_t end = SectionEnd(lines, header);
        for (std::size_t i = header + 1; i < end; ++i) {
            if (!IsBlankLine(lines[i])) {
                at = i + 1;
            }
        }
        insertAt(at);
    }

    if (!inMemory_) {
        // A failed write leaves lines_, and so the known headers, as they were.
        ReplaceFile(path_, Joined(lines, ends));
        lines_ = std::move(copiedLines);
        ends_ = std::move(copiedEnds);
    }
    NoteEdit(replaced, at, added.size());
}

}  // namespace quorvane
