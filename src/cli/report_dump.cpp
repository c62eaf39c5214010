#include "cli/report_dump.h"

namespace quorvane::cli {

void DumpGrid(const TextGrid& grid, std::ostream& out) {
    out << "rows=" << grid.RowCount() << " cols=" << grid.ColCount() << '\n';
    for (int32_t row = 0; row < grid.RowCount(); ++row) {
        for (int32_t column = 0; column < grid.ColCount(); ++column) {
            const std::string& text = grid.Cell(column, row);
            if (!text.empty()) {
                out << row << '\t' << column << '\t' << text << '\n';
            }
        }
    }
}

void DumpItems(const ItemList& items, const SymptomCounters& totals, std::ostream& out) {
    for (const TItemNode* node = items.First(); node != nullptr && node->Next != nullptr;
         node = node->Next) {
        out << node->Name << '\t' << node->Count << '\t';
        for (int i = 1; i <= kSymptomCount; ++i) {
            out << (i > 1 ? " " : "") << node->SymptomHits[i];
        }
        out << '\n';
    }
    out << "symptom_totals:";
    for (int i = 1; i <= kSymptomCount; ++i) {
        out << ' ' << totals[i];
    }
    out << '\n';
}

void DumpReport(const std::vector<std::string>& lines, std::ostream& out) {
    for (const std::string& line : lines) {
        out << line << '\n';
    }
}

}  // namespace quorvane::cli
