#pragma once

#include <QByteArray>
#include <string>

#include "core/analysis/item_list.h"
#include "core/evidence/diary_evidence.h"
#include "core/evidence/suspects.h"
#include "core/evidence/suspects_summary_text.h"

namespace quorvane {

// The program's version as the build names it, for telling which ranking rules
// made a summary.
std::string SummaryVersion();

// The doctor's summary as a PDF file's bytes: an A4 overview of every monitored
// symptom, then a page (or more) for each with its charts. Needs a
// QGuiApplication, for the fonts.
QByteArray DoctorSummaryPdf(const SuspectsResult& result, const DiaryFacts& facts,
                            const DiaryEvidence& evidence, const ItemList& items);

}  // namespace quorvane
