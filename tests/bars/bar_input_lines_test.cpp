#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bars/bar_input.h"

namespace varn {
namespace {

std::vector<std::string> AllLines(const BarInputLines& lines) {
    std::vector<std::string> got;
    for (std::size_t i = 0; i < lines.Count(); ++i) got.emplace_back(lines.Line(i));
    return got;
}

// Inserting many lines at once gives what inserting them one by one does, at
// the start, in the middle, at the end, after edits and for nothing at all.
TEST(BarInputLines, InsertsManyLinesAsOneByOne) {
    struct Row {
        const char* name;
        std::size_t at;
        std::vector<std::string> added;
    };
    const Row rows[] = {
        {"at the start", 0, {"x", "y"}},
        {"in the middle", 2, {"x", "", "z\x1a"}},
        {"at the end", 4, {"x"}},
        {"nothing", 1, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        BarInputLines many, single;
        for (BarInputLines* lines : {&many, &single}) {
            lines->Assign("a\r\nb\rc\nd");
            lines->Replace(1, "B");  // the edited text grows before the insert
        }
        many.Insert(row.at, row.added);
        for (std::size_t k = 0; k < row.added.size(); ++k) single.Insert(row.at + k, row.added[k]);
        EXPECT_EQ(AllLines(many), AllLines(single));
        EXPECT_EQ(many.Count(), 4 + row.added.size());
    }
}

}  // namespace
}  // namespace varn
