#include "food_names.h"

#include <algorithm>
#include <set>

#include "core/analysis/symptom_table.h"
#include "core/evidence/suspects.h"

namespace quorvane::bench {

namespace {

constexpr std::string_view kOnsets[] = {"b", "c", "d", "f", "g", "h", "k",  "l",  "m",  "n",  "p",
                                        "r", "s", "t", "v", "w", "z", "br", "ch", "gr", "sh", "tr"};
constexpr std::string_view kVowels[] = {"a", "e", "i", "o", "u", "a", "e", "o", "ee", "ou"};
constexpr std::string_view kCodas[] = {"", "", "", "n", "l", "r", "s", "t", "m", "sh"};

template <typename T, std::size_t N>
std::string_view Pick(Random& random, const T (&list)[N]) {
    return list[static_cast<std::size_t>(random.Below(static_cast<int>(N)))];
}

std::string MakeWord(Random& random) {
    std::string word;
    const int syllables = 1 + random.Below(3);
    for (int s = 0; s < syllables; ++s) {
        word += Pick(random, kOnsets);
        word += Pick(random, kVowels);
        word += Pick(random, kCodas);
    }
    return word;
}

bool IsLetter(char c) {
    return c >= 'a' && c <= 'z';
}

}  // namespace

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

bool ReservedWord(std::string_view upper) {
    for (int i = 1; i <= kSymptomCount; ++i) {
        if (upper == SymptomTable::BuiltInName(i)) {
            return true;
        }
    }
    std::size_t start = 0;
    while (start <= upper.size()) {
        const std::size_t end = std::min(upper.find(' ', start), upper.size());
        if (IsCalendarOrPhrase(upper.substr(start, end - start))) {
            return true;
        }
        start = end + 1;
    }
    return IsCalendarOrPhrase(upper);
}

std::vector<std::string> MakeFoodNames(Random& random, int count) {
    std::vector<std::string> names;
    std::set<std::string> seen;
    while (static_cast<int>(names.size()) < count) {
        std::string name = MakeWord(random);
        if (random.Chance(0.2)) {
            name += ' ' + MakeWord(random);  // "green xyz": two words, one item
        }
        // Too short a name has too many one-letter neighbours among the others.
        if (name.size() < 4 || name.size() > 30 || ReservedWord(Upper(name)) ||
            !seen.insert(name).second) {
            continue;
        }
        names.push_back(std::move(name));
    }
    return names;
}

std::string Misspell(Random& random, const std::string& name) {
    std::vector<std::size_t> letters;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (IsLetter(name[i])) {
            letters.push_back(i);
        }
    }
    for (int attempt = 0; attempt < 20 && !letters.empty(); ++attempt) {
        std::string typo = name;
        const std::size_t at =
            letters[static_cast<std::size_t>(random.Below(static_cast<int>(letters.size())))];
        const char letter = static_cast<char>('a' + random.Below(26));
        switch (random.Below(4)) {
            case 0:
                typo[at] = letter;
                break;
            case 1:
                if (letters.size() > 3) {
                    typo.erase(at, 1);
                }
                break;
            case 2:
                if (typo.size() < 30) {  // the reader keeps 30 bytes of a word
                    typo.insert(at, 1, letter);
                }
                break;
            default:
                if (at + 1 < typo.size() && IsLetter(typo[at + 1])) {
                    std::swap(typo[at], typo[at + 1]);
                }
                break;
        }
        if (typo != name && !ReservedWord(Upper(typo))) {
            return typo;
        }
    }
    return name;
}

}  // namespace quorvane::bench
