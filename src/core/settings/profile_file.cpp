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

// Calls `onLine(line, end)` for each line of `text`: CR LF, lone CR and lone LF each
// end one, and `end` is that break as found ("" for a last line without one).
template <typename OnLine>
void ForEachLine(std::string_view text, OnLine onLine) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t brk = text.find_first_of("\r\n", start);
        if (brk == kNotFound) {
            onLine(text.substr(start), std::string_view());
            return;
        }
        const bool crLf = text[brk] == '\r' && text.substr(brk + 1, 1) == "\n";
        const std::size_t length = crLf ? 2 : 1;
        onLine(text.substr(start, brk - start), text.substr(brk, length));
        start = brk + length;
    }
}

// The lines a value is stored as: CR LF, lone CR and lone LF all break it. The first
// line goes under the key; a further line that would read back as a header or a key
// line gets a leading ";" so that it stays inert in the section.
std::vector<std::string> ValueLines(std::string_view key, std::string_view value) {
    std::vector<std::string> result{std::string(key) + "="};
    ForEachLine(value, [&result](std::string_view line, std::string_view end) {
        result.back() += line;
        if (!end.empty()) {
            result.emplace_back();
        }
    });
    for (std::size_t i = 1; i < result.size(); ++i) {
        if (IsSectionHeader(result[i]) || result[i].find('=') != kNotFound) {
            result[i].insert(result[i].begin(), ';');
        }
    }
    return result;
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

ProfileFile::Line::Line(std::string text, LineEnd end) : Text(std::move(text)), End(end) {
    const std::string_view start = TrimLeft(Text);
    Blank = start.empty();
    Header = !Blank && start.front() == '[';
    std::string_view name;
    if (Header) {
        // The text after "[" up to "]" (or the line's end), trimmed.
        const std::string_view inner = start.substr(1);
        name = Trim(inner.substr(0, inner.find(']')));
    } else if (const std::size_t equals = Text.find('='); equals != kNotFound) {
        Equals = equals;
        name = Trim(std::string_view(Text).substr(0, equals));
    } else {
        return;
    }
    NameStart = static_cast<std::size_t>(name.data() - Text.data());
    NameLength = name.size();
}

void ProfileFile::Parse(std::string_view content) {
    ForEachLine(content, [this](std::string_view line, std::string_view end) {
        const LineEnd kind = end.empty()   ? LineEnd::None
                             : end == "\n" ? LineEnd::Lf
                             : end == "\r" ? LineEnd::Cr
                                           : LineEnd::CrLf;
        lines_.emplace_back(std::string(line), kind);
    });
}

std::string ProfileFile::Joined(const Lines& lines) {
    static constexpr std::string_view kEnds[] = {"", "\r\n", "\r", "\n"};
    const auto endOf = [](const Line& line) { return kEnds[static_cast<int>(line.End)]; };
    std::size_t size = 0;
    for (const Line& line : lines) {
        size += line.Text.size() + endOf(line).size();
    }
    std::string content;
    content.reserve(size);
    for (const Line& line : lines) {
        content += line.Text;
        content += endOf(line);
    }
    return content;
}

// A line names `key` when its text before the first "=", trimmed, is the key's
// trimmed text without case. A key holding "=" names no line.
std::size_t ProfileFile::FindKey(std::size_t header, std::string_view key) const {
    const std::string_view wanted = Trim(key);
    if (wanted.find('=') != kNotFound) {
        return kNotFound;
    }
    for (std::size_t i = header + 1; i < lines_.size() && !lines_[i].Header; ++i) {
        if (lines_[i].IsKey() && EqualNoCase(lines_[i].Name(), wanted)) {
            return i;
        }
    }
    return kNotFound;
}

std::size_t ProfileFile::NewKeyLine(const Lines& lines, std::size_t header) {
    std::size_t at = header + 1;
    for (std::size_t i = header + 1; i < lines.size() && !lines[i].Header; ++i) {
        if (!lines[i].Blank) {
            at = i + 1;
        }
    }
    return at;
}

std::size_t ProfileFile::FindSection(std::string_view section) const {
    const std::string_view wanted = Trim(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].Header && EqualNoCase(lines_[i].Name(), wanted)) {
            return i;
        }
    }
    return kNotFound;
}

std::string ProfileFile::Bytes() const {
    return Joined(lines_);
}

std::string ProfileFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view fallback) const {
    const std::size_t header = FindSection(section);
    if (header == kNotFound) {
        return std::string(fallback);
    }
    const std::size_t found = FindKey(header, key);
    if (found == kNotFound) {
        return std::string(fallback);
    }
    const Line& line = lines_[found];
    std::string_view value = Trim(std::string_view(line.Text).substr(line.Equals + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, kMaxValueLength));
}

std::vector<std::string> ProfileFile::KeysOf(std::string_view section) const {
    std::vector<std::string> keys;
    const std::size_t header = FindSection(section);
    if (header == kNotFound) {
        return keys;
    }
    for (std::size_t i = header + 1; i < lines_.size() && !lines_[i].Header; ++i) {
        const std::string_view name = lines_[i].IsKey() ? lines_[i].Name() : std::string_view();
        if (!name.empty() && std::none_of(keys.begin(), keys.end(), [&](const std::string& key) {
                return EqualNoCase(key, name);
            })) {
            keys.emplace_back(name);
        }
    }
    return keys;
}

void ProfileFile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
    if (unreadable_) {
        FailWrite(path_);
    }
    // A file's write edits a copy, kept only once the disk holds it; a profile in
    // memory cannot fail past the allocations and edits its own lines, which keeps
    // the many writes of a first start linear.
    Lines copied;
    if (!inMemory_) {
        copied = lines_;
    }
    Lines& lines = inMemory_ ? lines_ : copied;
    std::vector<std::string> texts = ValueLines(key, value);

    // Inserts `texts` at `at`; the line before it gets an end if it had none.
    auto insertAt = [&](std::size_t at) {
        if (at > 0 && lines[at - 1].End == LineEnd::None) {
            lines[at - 1].End = LineEnd::CrLf;
        }
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), texts.size(), Line());
        for (std::size_t i = 0; i < texts.size(); ++i) {
            lines[at + i] = Line(std::move(texts[i]), LineEnd::CrLf);
        }
    };

    // `lines` still equals lines_ here, so the lookups read lines_.
    const std::size_t header = FindSection(section);
    if (header == kNotFound) {
        texts.insert(texts.begin(), Concat({"[", section, "]"}));
        insertAt(lines.size());
    } else if (const std::size_t line = FindKey(header, key); line != kNotFound) {
        lines[line] = Line(std::move(texts.front()), lines[line].End);
        texts.erase(texts.begin());
        if (!texts.empty()) {
            insertAt(line + 1);
        }
    } else {
        insertAt(NewKeyLine(lines, header));
    }

    if (!inMemory_) {
        // A failed write leaves lines_ as it was.
        ReplaceFile(path_, Joined(lines));
        lines_ = std::move(copied);
    }
}

}  // namespace quorvane
