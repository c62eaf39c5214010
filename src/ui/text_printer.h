#pragma once

class QPlainTextEdit;
class QPrinter;

namespace quorvane {

// Prints the control's whole text within the printer's printable area and at
// least 12 mm from the paper's edges, in the control's font at the point size
// it shows on the screen and in its tab stops, wrapping lines wider than the
// area and starting a new page whenever one is full. Nothing is added to the text; an empty
// control gives one empty page. The printer's job title must already be set.
void PrintControlText(const QPlainTextEdit& control, QPrinter& printer);

}  // namespace quorvane
