#pragma once

#include <QByteArray>
#include <string>

#include "core/evidence/suspects.h"
#include "core/evidence/suspects_view.h"

namespace quorvane {

// The program's version as the build names it, for telling which ranking rules
// made a summary.
std::string SummaryVersion();

// The doctor's summary as a PDF file's bytes: one A4 page per monitored symptom.
QByteArray DoctorSummaryPdf(const SuspectsResult& result, const DiaryFacts& facts);

}  // namespace quorvane
