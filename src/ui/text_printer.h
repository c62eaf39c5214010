#pragma once

class QPlainTextEdit;
class QPrinter;

namespace quorvane {

// Prints the control's whole text on the printer's printable area, in the
// control's font and tab stops, wrapping lines wider than the area and starting
// a new page whenever one is full. Nothing is added to the text; an empty
// control gives one empty page. The printer's job title must already be set.
void PrintControlText(const QPlainTextEdit& control, QPrinter& printer);

}  // namespace quorvane
