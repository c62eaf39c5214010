#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace quorvane {

// Joins texts with one allocation. Also spares g++ 12 at -O3 a false -Wrestrict
// that `"'" + std::string(text) + "'"` raises.
inline std::string Concat(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (const std::string_view part : parts) {
        size += part.size();
    }
    std::string text;
    text.reserve(size);
    for (const std::string_view part : parts) {
        text.append(part);
    }
    return text;
}

}  // namespace quorvane
