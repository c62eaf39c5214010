#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "core/evidence/suspects.h"

namespace quorvane {

// One plain sentence for a person: the table's counts, the ratio and its range,
// the tier, and what the checks found. `pairs` is how many pairs were tested.
std::string SuspectSentence(const SuspectRow& row, std::size_t pairs);

enum class TableFormat { Tsv, Csv, Json };

// The column names of the suspects table, in order.
const std::vector<std::string>& SuspectColumns();
// One row's fields as text, in column order; `pairs` as for the sentence.
std::vector<std::string> SuspectFields(const SuspectRow& row, std::size_t pairs);
// The same into `fields`, reusing its strings' room.
void FillSuspectFields(const SuspectRow& row, std::size_t pairs, std::vector<std::string>& fields);

// Every row, symptoms in slot order and rows by rank. TSV: a header line, fields
// with tabs and line ends made blanks. CSV: RFC 4180 (CR LF, quoted when needed).
// JSON: an array of objects; numbers stay numbers, text is escaped, bytes above
// 127 are taken as Latin-1.
void WriteSuspectsTable(const SuspectsResult& result, TableFormat format, std::ostream& out);

}  // namespace quorvane
