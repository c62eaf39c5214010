#include "core/evidence/suspect_days.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

namespace quorvane {

std::vector<Food> CollectFoods(const DiaryEvidence& evidence,
                               const DiaryEvidence::ItemDayIndex& index, const ItemList& items,
                               const NotFoods& notFoods) {
    std::vector<Food> foods;
    if (items.First() == nullptr) {
        return foods;
    }
    for (const TItemNode* node = items.First()->Next; node != nullptr && node->Next != nullptr;
         node = node->Next) {
        if (notFoods.Contains(node->Name)) {
            continue;
        }
        const std::span<const uint32_t> days = evidence.ItemDays(index, *node);
        if (days.empty()) {
            continue;
        }
        const auto offset = static_cast<std::size_t>(days.data() - index.Days.data());
        foods.push_back({node,
                         node->Name,
                         {},
                         days,
                         std::span<const uint16_t>(index.Positions).subspan(offset, days.size()),
                         std::span<const uint8_t>(index.Helpings).subspan(offset, days.size())});
    }
    return foods;
}

namespace {

// One food's days from several: the union, each day at its earliest place.
Food MergedFood(std::string_view name, const std::vector<const Food*>& parts,
                FoodStorage& storage) {
    std::vector<std::tuple<uint32_t, uint16_t, uint8_t>> entries;
    std::vector<std::string> from;
    for (const Food* part : parts) {
        from.emplace_back(part->Name);
        for (std::size_t i = 0; i < part->Days.size(); ++i) {
            entries.emplace_back(part->Days[i], part->Positions[i], part->Helpings[i]);
        }
    }
    std::sort(entries.begin(), entries.end());
    std::sort(from.begin(), from.end());
    std::vector<uint32_t>& days = storage.Days.emplace_back();
    std::vector<uint16_t>& positions = storage.Positions.emplace_back();
    std::vector<uint8_t>& helpings = storage.Helpings.emplace_back();
    for (const auto& [day, position, helping] : entries) {
        if (!days.empty() && days.back() == day) {
            helpings.back() = 2;  // the earliest place came first in the sort
        } else {
            days.push_back(day);
            positions.push_back(position);
            helpings.push_back(helping);
        }
    }
    const std::string& owned = storage.Texts.emplace_back(name);
    const std::string& fromItems = storage.Texts.emplace_back(JoinFoodNames(from));
    return Food{nullptr, owned, fromItems, days, positions, helpings};
}

}  // namespace

std::vector<Food> CollectFoods(const DiaryEvidence& evidence,
                               const DiaryEvidence::ItemDayIndex& index, const ItemList& items,
                               const NotFoods& notFoods, const FoodGroups& groups,
                               FoodStorage& storage) {
    std::vector<Food> written = CollectFoods(evidence, index, items, notFoods);
    if (groups.Empty()) {
        return written;
    }
    // The items behind each food: its own and its aliases', then every dish's
    // items behind each of the dish's ingredients.
    std::map<std::string, std::set<const Food*>> parts;
    for (const Food& food : written) {
        parts[groups.FoodOf(food.Name)].insert(&food);
    }
    std::map<std::string, std::set<const Food*>> grouped = parts;
    for (const auto& [dish, ingredients] : groups.Ingredients) {
        const auto dishParts = parts.find(groups.FoodOf(dish));
        if (dishParts == parts.end()) {
            continue;
        }
        for (const std::string& ingredient : groups.IngredientsOf(dish)) {
            grouped[ingredient].insert(dishParts->second.begin(), dishParts->second.end());
        }
    }
    std::vector<Food> foods;
    for (const auto& [name, from] : grouped) {
        if (from.empty() || notFoods.Contains(name)) {
            continue;
        }
        const Food& first = **from.begin();
        if (from.size() == 1 && first.Name == name) {
            foods.push_back(first);
        } else {
            foods.push_back(
                MergedFood(name, std::vector<const Food*>(from.begin(), from.end()), storage));
        }
    }
    return foods;
}

SymptomDays ClassifyDays(const DiaryEvidence& evidence, int symptom) {
    SymptomDays days;
    const uint32_t count = evidence.DayCount();
    days.Status.assign(count, kControl);
    days.OnsetPosition.assign(count, 0);
    const std::vector<uint32_t>& occurred = evidence.SymptomDays(symptom);
    const std::vector<uint16_t>& positions = evidence.SymptomPositions(symptom);
    for (std::size_t i = 0; i < occurred.size(); ++i) {
        const uint32_t day = occurred[i];
        if (day >= count) {
            continue;
        }
        if (i > 0 && occurred[i - 1] + 1 == day) {
            days.Status[day] = kInEpisode;
        } else {
            days.Status[day] = kOnset;
            days.OnsetPosition[day] = i < positions.size() ? positions[i] : UINT16_MAX;
            days.Onsets.push_back(day);
        }
    }
    days.Eligible = static_cast<int64_t>(count) -
                    std::count(days.Status.begin(), days.Status.end(), kInEpisode);
    return days;
}

bool ExposedDay(const Food& food, std::size_t i, int lag, const SymptomDays& days, uint32_t& day) {
    day = food.Days[i] + static_cast<uint32_t>(lag);
    if (day >= days.Status.size() || days.Status[day] == kInEpisode) {
        return false;
    }
    return lag != 0 || days.Status[day] != kOnset || food.Positions[i] < days.OnsetPosition[day];
}

std::array<DayTable, kSuspectLags> TablesAt(const Food& food, const SymptomDays& days) {
    // ExposedDay's rule written out for one walk: this runs for every food and
    // symptom of the diary.
    std::array<int64_t, kSuspectLags> exposed{};
    std::array<int64_t, kSuspectLags> a{};
    const std::size_t count = days.Status.size();
    const uint8_t* status = days.Status.data();
    for (std::size_t i = 0; i < food.Days.size(); ++i) {
        const std::size_t day = food.Days[i];
        if (day < count) {
            const uint8_t s = status[day];
            const bool before = s == kOnset && food.Positions[i] < days.OnsetPosition[day];
            exposed[0] += s == kControl || before;
            a[0] += before;
        }
        for (std::size_t lag = 1; lag < kSuspectLags && day + lag < count; ++lag) {
            const uint8_t s = status[day + lag];
            exposed[lag] += s != kInEpisode;
            a[lag] += s == kOnset;
        }
    }
    const auto episodes = static_cast<int64_t>(days.Onsets.size());
    std::array<DayTable, kSuspectLags> tables{};
    for (std::size_t lag = 0; lag < kSuspectLags; ++lag) {
        tables[lag] = DayTable{a[lag], exposed[lag] - a[lag], episodes - a[lag],
                               days.Eligible - exposed[lag] - (episodes - a[lag])};
    }
    return tables;
}

DayTable StretchTable(const Food& food, int lag, const SymptomDays& days, uint32_t from,
                      uint32_t to) {
    int64_t exposed = 0;
    int64_t a = 0;
    for (std::size_t i = 0; i < food.Days.size(); ++i) {
        uint32_t day = 0;
        if (ExposedDay(food, i, lag, days, day) && day >= from && day < to) {
            ++exposed;
            a += days.Status[day] == kOnset;
        }
    }
    int64_t eligible = 0;
    int64_t episodes = 0;
    for (uint32_t day = from; day < std::min<std::size_t>(to, days.Status.size()); ++day) {
        eligible += days.Status[day] != kInEpisode;
        episodes += days.Status[day] == kOnset;
    }
    return DayTable{a, exposed - a, episodes - a, eligible - exposed - (episodes - a)};
}

}  // namespace quorvane
