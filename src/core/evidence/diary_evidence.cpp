#include "core/evidence/diary_evidence.h"

#include <algorithm>

#include "core/text/ascii.h"

namespace quorvane {

SymptomMask TotalSymptoms(const TextGrid& grid, const SymptomTable& symptoms) {
    SymptomMask mask{};
    for (int j = kFirstUserSymptom; j <= kLastUserSymptom; ++j) {
        mask[j] = grid.Cell(j + 1, 0) == symptoms.Name(j);
    }
    return mask;
}

std::size_t DiaryEvidence::NodeIds::Slot(const TItemNode* node) const {
    // Fibonacci hashing of the address: the low bits of node addresses repeat.
    const auto key = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(node));
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> (64 - bits_));
}

void DiaryEvidence::NodeIds::Grow(const std::vector<const TItemNode*>& items) {
    bits_ = bits_ == 0 ? 10 : bits_ + 1;
    slots_.assign(std::size_t{1} << bits_, kNone);
    const std::size_t mask = slots_.size() - 1;
    for (uint32_t id = 0; id < items.size(); ++id) {
        std::size_t slot = Slot(items[id]);
        while (slots_[slot] != kNone) {
            slot = (slot + 1) & mask;
        }
        slots_[slot] = id;
    }
}

uint32_t DiaryEvidence::NodeIds::FindOrAdd(const TItemNode* node,
                                           std::vector<const TItemNode*>& items, bool& added) {
    if (2 * (items.size() + 1) > slots_.size()) {
        Grow(items);  // at most half full, so probes stay short
    }
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = Slot(node);; slot = (slot + 1) & mask) {
        const uint32_t id = slots_[slot];
        if (id == kNone) {
            slots_[slot] = static_cast<uint32_t>(items.size());
            items.push_back(node);
            added = true;
            return slots_[slot];
        }
        if (items[id] == node) {
            added = false;
            return id;
        }
    }
}

uint32_t DiaryEvidence::NodeIds::Find(const TItemNode* node,
                                      const std::vector<const TItemNode*>& items) const {
    if (slots_.empty()) {
        return kNone;
    }
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = Slot(node);; slot = (slot + 1) & mask) {
        const uint32_t id = slots_[slot];
        if (id == kNone || items[id] == node) {
            return id;
        }
    }
}

void DiaryEvidence::Clear() {
    *this = DiaryEvidence();
}

void DiaryEvidence::ItemPlaced(const TItemNode* node, int slot) {
    bool added = false;
    const uint32_t id = ids_.FindOrAdd(node, items_, added);
    if (added) {
        lastDay_.push_back(kNone);
        lastRepeat_.push_back(kNone);
    }
    if (lastDay_[id] == day_) {
        if (lastRepeat_[id] != day_) {
            lastRepeat_[id] = day_;
            repeats_.emplace_back(id, day_);
        }
    } else {
        lastDay_[id] = day_;
        if (loggedDay_ != day_) {
            loggedDay_ = day_;
            Log(kDayMark, day_);
        }
        if (id < kDayMark) {
            Log(static_cast<uint16_t>(id), kNone);
        } else {
            Log(kEscape, id);
        }
        ++dayLogSize_;
        if (dayItems_ < UINT16_MAX) {
            ++dayItems_;
        }
    }
    if (slot >= 0 && slot < kDaySlots) {
        const auto today = static_cast<std::size_t>(today_);
        window_[today][static_cast<std::size_t>(slot)] = id;
        filled_[today] = std::max(filled_[today], slot + 1);
    }
    dayHasWord_ = true;
}

void DiaryEvidence::Log(uint16_t first, uint32_t value) {
    const bool wide = first >= kDayMark;
    // An entry never straddles two chunks, so each chunk decodes on its own.
    if (dayLog_.empty() || dayLog_.back().size() + 3 > kLogChunk) {
        dayLog_.emplace_back().reserve(kLogChunk);
    }
    std::vector<uint16_t>& chunk = dayLog_.back();
    chunk.push_back(first);
    if (wide) {
        chunk.push_back(static_cast<uint16_t>(value >> 16));
        chunk.push_back(static_cast<uint16_t>(value & 0xFFFF));
    }
}

void DiaryEvidence::SymptomOccurred(int index) {
    if (index < 1 || index > kSymptomCount) {
        return;
    }
    std::vector<uint32_t>& days = symptomDays_[index];
    if (days.empty() || days.back() != day_) {
        days.push_back(day_);
        symptomPositions_[index].push_back(dayItems_);
    }
    dayHasWord_ = true;
    dayHasSymptom_ = true;
}

void DiaryEvidence::WindowCredited(int symptom) {
    if (symptom < 1 || symptom > kLastUserSymptom) {
        return;  // TOTAL is never matched by a word
    }
    std::vector<std::unique_ptr<int32_t[]>>& chunks = lags_[static_cast<std::size_t>(symptom)];
    while (chunks.size() * kLagChunkItems < items_.size()) {
        chunks.push_back(std::make_unique<int32_t[]>(kLagChunkItems * kLagDays));
    }
    // The same walk as the reader's credit, so each hit lands in exactly one part.
    for (int lag = 0; lag < kLagDays; ++lag) {
        const auto day = static_cast<std::size_t>((today_ + kLagDays - lag) % kLagDays);
        for (int slot = 0; slot < filled_[day]; ++slot) {
            const uint32_t id = window_[day][static_cast<std::size_t>(slot)];
            int32_t& part = chunks[id / kLagChunkItems][(id % kLagChunkItems) * kLagDays +
                                                        static_cast<std::size_t>(lag)];
            if (part != INT32_MAX) {
                ++part;
            }
        }
    }
}

void DiaryEvidence::DayEnded() {
    CloseDay();
    if (day_ < kNone - 1) {
        ++day_;  // kNone stays free to mean "not logged yet"
    }
    // The buffer of two days before becomes today's, emptied.
    today_ = (today_ + 1) % kLagDays;
    filled_[static_cast<std::size_t>(today_)] = 0;
    dayHasWord_ = false;
    dayHasSymptom_ = false;
    dayItems_ = 0;
    label_.clear();
    labelHasLetter_ = false;
    labelDone_ = false;
}

void DiaryEvidence::Text(char c) {
    if (c == '\r' || c == '\n') {
        if (labelHasLetter_) {
            EndLabel();
        } else {
            label_.clear();  // a line without a letter is no label
        }
        return;
    }
    if (c == '#') {
        return;  // ends the day, not part of its text
    }
    if (label_.empty() && (c == ' ' || c == '\t' || c == ',')) {
        return;
    }
    if (IsAsciiLetter(c)) {
        labelHasLetter_ = true;
    }
    if (label_.size() < kDayLabelLength) {
        const auto byte = static_cast<unsigned char>(c);
        // Tabs and other control bytes would break the lines of a tooltip or a table.
        label_ += byte < 32 || byte == 127 ? ' ' : c;
    }
    if (labelHasLetter_ && label_.size() >= kDayLabelLength) {
        EndLabel();
    }
}

void DiaryEvidence::EndLabel() {
    while (!label_.empty() && label_.back() == ' ') {
        label_.pop_back();
    }
    labelDone_ = true;
}

void DiaryEvidence::CloseDay() {
    if (labelHasLetter_ && !labelDone_) {
        EndLabel();  // the label line ran up to the "#" or the end of the file
    }
    const std::string_view label = labelHasLetter_ ? std::string_view(label_) : std::string_view();
    if (day_ == 0) {
        firstLabel_ = label;
    }
    lastLabel_ = label;
    if (!dayHasSymptom_) {
        return;
    }
    if (!label.empty()) {
        labelDays_.push_back(day_);
        labelStarts_.push_back(labelText_.size());
        labelText_ += label_;
    }
}

void DiaryEvidence::Finish(const SymptomTable& symptoms, const SymptomMask& inTotal) {
    if (finished_) {
        return;
    }
    finished_ = true;
    if (dayHasWord_) {
        CloseDay();
        dayCount_ = day_ + 1;
    } else {
        dayCount_ = day_;
    }
    for (int i = 1; i <= kSymptomCount; ++i) {
        names_[i] = symptoms.Name(i);
    }
    inTotal_ = inTotal;
    inTotal_[kRandomSymptom] = false;
    inTotal_[kTotalSymptom] = false;

    std::vector<uint32_t>& total = symptomDays_[kTotalSymptom];
    total.clear();
    for (int j = kFirstUserSymptom; j <= kLastUserSymptom; ++j) {
        if (inTotal_[j]) {
            total.insert(total.end(), symptomDays_[j].begin(), symptomDays_[j].end());
        }
    }
    std::sort(total.begin(), total.end());
    total.erase(std::unique(total.begin(), total.end()), total.end());

    lastDay_ = {};
}

template <typename Visit>
void DiaryEvidence::WalkDayLog(Visit visit) const {
    uint32_t day = 0;
    for (const std::vector<uint16_t>& chunk : dayLog_) {
        for (std::size_t unit = 0; unit < chunk.size();) {
            const uint16_t first = chunk[unit++];
            if (first < kDayMark) {
                visit(first, day);
                continue;
            }
            const uint32_t value = static_cast<uint32_t>(chunk[unit]) << 16 | chunk[unit + 1];
            unit += 2;
            if (first == kDayMark) {
                day = value;
            } else {
                visit(value, day);
            }
        }
    }
}

std::vector<uint32_t> DiaryEvidence::ItemDays(const TItemNode& node) const {
    std::vector<uint32_t> days;
    const uint32_t wanted = ids_.Find(&node, items_);
    if (wanted != kNone) {
        WalkDayLog([&](uint32_t id, uint32_t day) {
            if (id == wanted) {
                days.push_back(day);
            }
        });
    }
    return days;
}

DiaryEvidence::ItemDayIndex DiaryEvidence::IndexItemDays(bool withPositions) const {
    // The log is in day order, so a counting sort by item keeps each list ascending.
    ItemDayIndex index;
    index.Starts.assign(items_.size() + 1, 0);
    WalkDayLog([&](uint32_t id, uint32_t) { ++index.Starts[id + 1]; });
    for (std::size_t id = 0; id < items_.size(); ++id) {
        index.Starts[id + 1] += index.Starts[id];
    }
    index.Days.resize(dayLogSize_);
    std::vector<std::size_t> next(index.Starts.begin(), index.Starts.end() - 1);
    if (!withPositions) {
        WalkDayLog([&](uint32_t id, uint32_t day) { index.Days[next[id]++] = day; });
        return index;
    }
    index.Positions.resize(dayLogSize_);
    uint32_t current = kNone;
    uint16_t position = 0;
    WalkDayLog([&](uint32_t id, uint32_t day) {
        if (day != current) {
            current = day;
            position = 0;
        }
        index.Positions[next[id]] = position;
        index.Days[next[id]++] = day;
        if (position < UINT16_MAX) {
            ++position;
        }
    });
    index.Helpings.assign(dayLogSize_, 1);
    for (const auto& [id, day] : repeats_) {
        const auto first = index.Days.begin() + static_cast<std::ptrdiff_t>(index.Starts[id]);
        const auto last = index.Days.begin() + static_cast<std::ptrdiff_t>(index.Starts[id + 1]);
        const auto at = std::lower_bound(first, last, day);
        if (at != last && *at == day) {
            index.Helpings[static_cast<std::size_t>(at - index.Days.begin())] = 2;
        }
    }
    return index;
}

std::span<const uint32_t> DiaryEvidence::ItemDays(const ItemDayIndex& index,
                                                  const TItemNode& node) const {
    const uint32_t id = ids_.Find(&node, items_);
    if (id == kNone || id + 1 >= index.Starts.size()) {
        return {};
    }
    return std::span<const uint32_t>(index.Days)
        .subspan(index.Starts[id], index.Starts[id + 1] - index.Starts[id]);
}

LagProfile DiaryEvidence::Lags(const TItemNode& node, int symptom) const {
    LagProfile lags{};
    const uint32_t id = ids_.Find(&node, items_);
    if (id == kNone || symptom < 1 || symptom > kSymptomCount) {
        return lags;
    }
    const std::size_t chunk = id / kLagChunkItems;
    const std::size_t first = (id % kLagChunkItems) * kLagDays;
    for (int j = 1; j <= kLastUserSymptom; ++j) {
        const auto& chunks = lags_[static_cast<std::size_t>(j)];
        // A symptom that never credited this item's chunk has no parts for it.
        if ((j == symptom || (symptom == kTotalSymptom && inTotal_[j])) && chunk < chunks.size()) {
            for (std::size_t lag = 0; lag < lags.size(); ++lag) {
                lags[lag] = SaturatingAdd(lags[lag], chunks[chunk][first + lag]);
            }
        }
    }
    return lags;
}

std::string DiaryEvidence::DayLabel(uint32_t day) const {
    const auto it = std::lower_bound(labelDays_.begin(), labelDays_.end(), day);
    if (it == labelDays_.end() || *it != day) {
        return "day " + std::to_string(static_cast<uint64_t>(day) + 1);
    }
    const auto index = static_cast<std::size_t>(it - labelDays_.begin());
    const std::size_t start = labelStarts_[index];
    const std::size_t end =
        index + 1 < labelStarts_.size() ? labelStarts_[index + 1] : labelText_.size();
    return labelText_.substr(start, end - start);
}

}  // namespace quorvane
