#include "core/foods/variants.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <tuple>
#include <unordered_map>
#include <utility>

#include "core/analysis/item_list.h"
#include "core/evidence/diary_evidence.h"
#include "core/evidence/not_foods.h"

namespace quorvane {

namespace {

// Real foods a letter apart, and the pairs behind the rarity rule's examples.
constexpr std::array<std::pair<std::string_view, std::string_view>, 20> kDistinct = {{
    {"BEEF", "BEET"},     {"BEEF", "BEER"},     {"BEER", "BEET"},     {"HAM", "YAM"},
    {"PEAR", "PEAS"},     {"RICE", "RYE"},      {"LIME", "LIMA"},     {"COFFEE", "TOFFEE"},
    {"BATTER", "BUTTER"}, {"BITTER", "BUTTER"}, {"CHERRY", "SHERRY"}, {"CHIPS", "CHOPS"},
    {"PASTA", "PASTE"},   {"PASTRY", "PASTY"},  {"BREAD", "BREAM"},   {"SMELT", "SPELT"},
    {"DATE", "DATA"},     {"CHILI", "CHILLY"},  {"MELON", "LEMON"},   {"CHIP", "CHOP"},
}};

bool Listed(std::string_view a, std::string_view b) {
    return std::any_of(kDistinct.begin(), kDistinct.end(), [&](const auto& pair) {
        return (pair.first == a && pair.second == b) || (pair.first == b && pair.second == a);
    });
}

std::string_view WithoutS(std::string_view name) {
    return name.size() > 1 && name.back() == 'S' ? name.substr(0, name.size() - 1) : name;
}

bool Separator(char c) {
    return c == ' ' || c == '-';
}

std::size_t Letters(std::string_view name) {
    return static_cast<std::size_t>(
        std::count_if(name.begin(), name.end(), [](char c) { return !Separator(c); }));
}

std::string Spaceless(std::string_view name) {
    std::string key;
    for (const char c : name) {
        if (!Separator(c)) {
            key += c;
        }
    }
    return key;
}

std::string SortedWords(std::string_view name) {
    std::vector<std::string_view> words;
    std::size_t start = 0;
    while (start < name.size()) {
        std::size_t end = start;
        while (end < name.size() && !Separator(name[end])) {
            ++end;
        }
        if (end > start) {
            words.push_back(name.substr(start, end - start));
        }
        start = end + 1;
    }
    std::sort(words.begin(), words.end());
    std::string key;
    for (const std::string_view word : words) {
        key += key.empty() ? "" : " ";
        key += word;
    }
    return key;
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

bool Vowel(char c) {
    return c == 'A' || c == 'E' || c == 'I' || c == 'O' || c == 'U';
}

// The English plurals a diary uses; the stem must be a word of three letters.
bool PluralOf(std::string_view plural, std::string_view single) {
    const std::size_t space = single.rfind(' ');
    const std::size_t lastWord = single.size() - (space == std::string_view::npos ? 0 : space + 1);
    if (lastWord < 3 || plural.size() <= single.size() ||
        plural.substr(0, single.size() - 1) != single.substr(0, single.size() - 1)) {
        return false;
    }
    const std::string_view added = plural.substr(single.size());
    const char last = single.back();
    if (plural.substr(0, single.size()) == single) {
        if (added == "S") {
            return last != 'S';
        }
        return added == "ES" && (last == 'O' || last == 'S' || last == 'X' || last == 'Z' ||
                                 EndsWith(single, "CH") || EndsWith(single, "SH"));
    }
    const std::string_view stem = single.substr(0, single.size() - 1);
    if (last == 'Y' && !Vowel(stem.back())) {
        return plural == std::string(stem) + "IES";
    }
    if (last == 'F') {
        return plural == std::string(stem) + "VES";
    }
    return EndsWith(single, "FE") &&
           plural == std::string(single.substr(0, single.size() - 2)) + "VES";
}

// Damerau's single edits: one substitution, insertion, deletion or swap of two
// neighbours.
bool OneEditApart(std::string_view a, std::string_view b) {
    if (a.size() > b.size()) {
        std::swap(a, b);
    }
    if (b.size() - a.size() > 1 || a == b) {
        return false;
    }
    std::size_t i = 0;
    while (i < a.size() && a[i] == b[i]) {
        ++i;
    }
    if (a.size() != b.size()) {
        return a.substr(i) == b.substr(i + 1);
    }
    if (a.substr(i + 1) == b.substr(i + 1)) {
        return true;
    }
    return i + 1 < a.size() && a[i] == b[i + 1] && a[i + 1] == b[i] &&
           a.substr(i + 2) == b.substr(i + 2);
}

}  // namespace

std::string_view VariantKindName(VariantKind kind) {
    switch (kind) {
        case VariantKind::Plural:
            return "plural";
        case VariantKind::WordOrder:
            return "word-order";
        case VariantKind::Spelling:
            break;
    }
    return "spelling";
}

bool KnownDistinct(std::string_view a, std::string_view b) {
    return Listed(a, b) || Listed(WithoutS(a), WithoutS(b));
}

std::optional<VariantKind> VariantRule(const NamedCount& a, const NamedCount& b,
                                       const VariantRules& rules) {
    if (a.Name == b.Name || (rules.UseKnownDistinct && KnownDistinct(a.Name, b.Name))) {
        return std::nullopt;
    }
    if (PluralOf(a.Name, b.Name) || PluralOf(b.Name, a.Name)) {
        return VariantKind::Plural;
    }
    const int64_t rare = std::min(a.Count, b.Count);
    const int64_t common = std::max(a.Count, b.Count);
    // Words in another order are one food when that order is the rare one:
    // CHOCOLATE MILK and MILK CHOCOLATE, both written often, are two.
    if (Spaceless(a.Name) == Spaceless(b.Name) ||
        (SortedWords(a.Name) == SortedWords(b.Name) && rare > 0 && common >= rules.Rarity * rare)) {
        return VariantKind::WordOrder;
    }
    if (Letters(a.Name) >= rules.MinLetters && Letters(b.Name) >= rules.MinLetters && rare > 0 &&
        common >= rules.Rarity * rare && OneEditApart(a.Name, b.Name)) {
        return VariantKind::Spelling;
    }
    return std::nullopt;
}

std::vector<VariantSuggestion> SuggestVariants(std::span<const NamedCount> foods,
                                               const FoodGroups& groups,
                                               const VariantRules& rules) {
    // Candidates share a key: a singular form, a spelling without blanks, the
    // words in order, or the name with one letter deleted (a single edit leaves
    // both names with a common deletion). Only candidates are compared, so a
    // diary of thousands of foods costs no comparison of every pair.
    std::unordered_map<std::string, std::vector<std::size_t>> byKey;
    for (std::size_t i = 0; i < foods.size(); ++i) {
        const std::string& name = foods[i].Name;
        std::set<std::string> keys = {"s:" + Spaceless(name), "w:" + SortedWords(name)};
        for (const std::string_view end : {"S", "ES", "IES", "VES"}) {
            if (EndsWith(name, end) && name.size() > end.size()) {
                keys.insert("p:" + name.substr(0, name.size() - end.size()));
            }
        }
        keys.insert("p:" + name);
        const std::string_view stem(name);
        for (const std::size_t cut :
             {std::size_t{1},
              std::size_t{2}}) {  // BERRY -> BERR, the stem of BERRIES; KNIFE -> KNI
            if (name.size() > cut) {
                keys.insert("p:" + std::string(stem.substr(0, stem.size() - cut)));
            }
        }
        if (Letters(name) >= rules.MinLetters) {
            keys.insert("d:" + name);
            for (std::size_t at = 0; at < name.size(); ++at) {
                keys.insert("d:" + name.substr(0, at) + name.substr(at + 1));
            }
        }
        for (const std::string& key : keys) {
            byKey[key].push_back(i);
        }
    }
    std::set<std::pair<std::size_t, std::size_t>> pairs;
    for (const auto& [key, members] : byKey) {
        for (std::size_t x = 0; x < members.size(); ++x) {
            for (std::size_t y = x + 1; y < members.size(); ++y) {
                pairs.insert(std::minmax(members[x], members[y]));
            }
        }
    }
    std::vector<VariantSuggestion> suggestions;
    for (const auto& [i, j] : pairs) {
        const NamedCount& a = foods[i];
        const NamedCount& b = foods[j];
        const std::optional<VariantKind> kind = VariantRule(a, b, rules);
        if (!kind || groups.FoodOf(a.Name) == groups.FoodOf(b.Name) ||
            groups.Refused(a.Name, b.Name)) {
            continue;
        }
        // The rarer name goes; on a tie the plural, or else the later name.
        bool aRare = a.Count != b.Count             ? a.Count < b.Count
                     : *kind == VariantKind::Plural ? a.Name.size() > b.Name.size()
                                                    : a.Name > b.Name;
        const NamedCount& rare = aRare ? a : b;
        const NamedCount& common = aRare ? b : a;
        suggestions.push_back({rare.Name, common.Name, rare.Count, common.Count, *kind});
    }
    // A slip one edit from two foods (WAWER: WATER or WAFER) is offered as the
    // more often written one only.
    std::map<std::string, int64_t> bestPartner;
    for (const VariantSuggestion& s : suggestions) {
        if (s.Kind == VariantKind::Spelling) {
            int64_t& best = bestPartner[s.Rare];
            best = std::max(best, s.CommonCount);
        }
    }
    std::erase_if(suggestions, [&](const VariantSuggestion& s) {
        return s.Kind == VariantKind::Spelling && s.CommonCount < bestPartner[s.Rare];
    });
    std::sort(suggestions.begin(), suggestions.end(),
              [](const VariantSuggestion& x, const VariantSuggestion& y) {
                  if (x.CommonCount != y.CommonCount) {
                      return x.CommonCount > y.CommonCount;
                  }
                  return std::tie(x.Common, x.Rare) < std::tie(y.Common, y.Rare);
              });
    return suggestions;
}

std::vector<VariantSuggestion> SuggestVariants(const DiaryEvidence& evidence, const ItemList& items,
                                               std::span<const std::string> notFoods,
                                               const FoodGroups& groups,
                                               const VariantRules& rules) {
    std::vector<NamedCount> foods;
    if (items.First() != nullptr) {
        const NotFoods excluded(notFoods, evidence);
        for (const TItemNode* node = items.First()->Next; node != nullptr && node->Next != nullptr;
             node = node->Next) {
            if (node->Count > 0 && !excluded.Contains(node->Name)) {
                foods.push_back({node->Name, node->Count});
            }
        }
    }
    return SuggestVariants(foods, groups, rules);
}

}  // namespace quorvane
