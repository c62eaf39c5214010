#pragma once

#include <QString>
#include <string>

namespace quorvane {

// Disk text is 8-bit; Latin-1 maps every byte to one character and back, so a
// diary round-trips byte for byte whatever it holds. This is the one place where
// bytes and QString meet.
QString FromDiskBytes(const std::string& bytes);
std::string ToDiskBytes(const QString& text);  // characters beyond Latin-1 become '?'

// The file's lines as editor text ("\n" between lines; CR LF, LF and CR all end a
// line). Raises "Cannot open file <path>" when it cannot be read.
QString ReadTextFile(const QString& path);

// Writes the text with CR LF line ends through a temporary file that replaces the
// target only when complete. Raises "Cannot create file <path>" and leaves any
// existing file whole when that fails.
void WriteTextFile(const QString& path, const QString& text);

}  // namespace quorvane
