#include "core/composer/word_insertion.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(WordInsertionTest, TextEndCallsForTheSeparator) {
    const struct {
        std::string before;
        std::string word;
        std::string after;
    } cases[] = {
        {"", "fruit,", "fruit, "},
        {"ab", "fruit,", "abfruit, "},
        {"x", "Not Entered", "xNot Entered "},
        {"fruit, ", "beef", "fruit,  beef "},
        {"fruit,  beef ", "milk", "fruit,  beef ,milk "},
        {"april 29, friday", "egg", "april 29, friday, egg "},
        {"egg,", "milk", "egg,, milk "},
        {"End of Day, #,\r\n\r\n ", "fruit,", "End of Day, #,\r\n\r\n ,fruit, "},
        {"abc", "End of Day, #,\r\n\r\n", "abc, End of Day, #,\r\n\r\n "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AppendComposerWord(c.before, c.word), c.after) << '"' << c.before << '"';
    }
}

}  // namespace
}  // namespace quorvane
