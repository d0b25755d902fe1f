#include "text/fields.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace varn {
namespace {

const CharSet kComma{","};
const CharSet kCommaSemicolon{",;"};

struct FieldRow {
    const char* name;
    std::string text;
    const CharSet* delimiters;
    std::int32_t n;
    const char* field;
    int start;  // FieldStartPosition
};

const FieldRow kFieldRows[] = {
    {"first of a run", ",,a,,b,", &kComma, 1, "a", 3},
    {"second after a run", ",,a,,b,", &kComma, 2, "b", 6},
    {"past the last", ",,a,,b,", &kComma, 3, "", 0},
    {"number zero", ",,a,,b,", &kComma, 0, "", 0},
    {"negative number", ",,a,,b,", &kComma, -1, "", 0},
    {"lowest number", "a", &kComma, INT32_MIN, "", 0},
    {"delimiters only", ",,,", &kComma, 1, "", 0},
    {"empty text", "", &kComma, 1, "", 0},
    {"no delimiter", "abc", &kComma, 1, "abc", 1},
    {"mixed set", "a;b,,;c", &kCommaSemicolon, 3, "c", 7},
    {"blank is a character", " a , b", &kComma, 2, " b", 5},
};

TEST(ExtractField, SplitsAtRunsOfDelimiters) {
    for (const FieldRow& row : kFieldRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ExtractField(row.n, row.text, *row.delimiters), row.field);
        EXPECT_EQ(FieldView(row.n, row.text, *row.delimiters), row.field);
    }
}

TEST(ExtractField, ReadsLinesOfAnyLength) {
    const std::string line = std::string(1000, 'x') + ",tail";
    EXPECT_EQ(ExtractField(1, line, kComma), std::string(1000, 'x'));
    EXPECT_EQ(ExtractField(2, line, kComma), "tail");
}

TEST(FieldView, PointsIntoTheLine) {
    const std::string line = "12,34";
    const std::string_view field = FieldView(2, line, kComma);
    EXPECT_EQ(field.data(), line.data() + 3);
    EXPECT_EQ(field.size(), 2U);
}

TEST(ExtractShortField, SplitsAtRunsOfDelimiters) {
    for (const FieldRow& row : kFieldRows) {
        SCOPED_TRACE(row.name);
        ShortText field = "old";
        const int length = ExtractShortField(row.n, row.text, *row.delimiters, field);
        EXPECT_EQ(field, row.field);
        EXPECT_EQ(length, static_cast<int>(field.size()));
    }
}

TEST(ExtractShortField, ScansOnlyTheFirst255Characters) {
    struct Row {
        const char* name;
        std::string text;
        std::int32_t n;
        std::string field;
    };
    const Row rows[] = {
        {"field to position 255 whole", std::string(250, ',') + "abcde", 1, "abcde"},
        {"field cut at 255", std::string(250, ',') + "abcdefgh", 1, "abcde"},
        {"field beyond 255 absent", std::string(255, ',') + "abc", 1, ""},
        {"one field of exactly 255", std::string(255, 'z'), 1, std::string(255, 'z')},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ShortText field;
        EXPECT_EQ(ExtractShortField(row.n, row.text, kComma, field),
                  static_cast<int>(row.field.size()));
        EXPECT_EQ(field, row.field);
    }
}

TEST(CountFields, CountsNonEmptyFields) {
    struct Row {
        std::string text;
        int count;
    };
    const Row rows[] = {
        {",,a,,b,", 2},
        {"", 0},
        {",,,", 0},
        {"a", 1},
        {"a,b,c", 3},
        {std::string(255, 'z') + ",more", 1},  // cut before the second field
        {std::string(300, ',') + "a", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text.substr(0, 20));
        EXPECT_EQ(CountFields(row.text, kComma), row.count);
    }
}

TEST(FieldStartPosition, GivesOneBasedStartOrZero) {
    for (const FieldRow& row : kFieldRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(FieldStartPosition(row.n, row.text, *row.delimiters), row.start);
    }
    EXPECT_EQ(FieldStartPosition(1, std::string(254, ',') + "ab", kComma), 255);
    EXPECT_EQ(FieldStartPosition(1, std::string(255, ',') + "ab", kComma), 0);
}

// The one-pass walks give the same fields as FieldView, whatever form the
// delimiters take: a CharSet, its byte table, or (for one character) the
// character itself.
TEST(FirstFields, GiveTheFieldsFieldViewGives) {
    struct Row {
        const char* name;
        std::string text;
        std::string delimiters;
    };
    const Row rows[] = {
        {"runs at both ends", ",,a,,b,", ","},
        {"fewer fields than asked", "a,b", ","},
        {"more fields than asked", "1,2,3,4,5,6,7", ","},
        {"empty", "", ","},
        {"delimiters only", ",,,,", ","},
        {"two delimiters", "a;b,,;c;;d", ",;"},
        {"control characters and high bytes", "\t\x01a\xff\x02b\x7f", "\t\x01\x02\x7f"},
        {"NUL as a delimiter", std::string("a\0\0b\0c", 6), std::string("\0", 1)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string_view chars = row.delimiters;
        const CharSet set(chars);
        const ByteTable table(set);
        const auto from_set = FirstFields<5>(row.text, set);
        const auto from_table = FirstFields<5>(row.text, table);
        for (std::size_t k = 0; k < 5; ++k) {
            SCOPED_TRACE(k + 1);
            const std::string_view want =
                FieldView(static_cast<std::int32_t>(k + 1), row.text, set);
            EXPECT_EQ(from_set[k], want);
            EXPECT_EQ(from_table[k], want);
            // A view into the text, not a copy.
            if (!want.empty()) {
                EXPECT_EQ(from_table[k].data(), want.data());
            }
        }
        if (chars.size() == 1) {
            EXPECT_EQ(FirstFields<5>(row.text, chars[0]), from_set);
        }
    }
}

TEST(NextField, WalksEveryFieldAndStopsAtTheEnd) {
    const std::string text = "  12 ,3.5\t\t,x  ";
    const ByteTable table(CharSet(" \t,"));
    std::size_t pos = 0;
    std::vector<std::string_view> fields;
    for (std::string_view field; !(field = NextField(text, pos, table)).empty();) {
        fields.push_back(field);
    }
    EXPECT_EQ(fields, (std::vector<std::string_view>{"12", "3.5", "x"}));
    EXPECT_EQ(pos, text.size());
    // Past the end it keeps giving nothing.
    EXPECT_TRUE(NextField(text, pos, table).empty());
}

TEST(ByteTable, HoldsExactlyTheCodesOfItsSet) {
    const CharSet set = CharSet::Range(0, 32) | CharSet("\",;") | CharSet::Range(200, 255);
    const ByteTable table(set);
    for (unsigned code = 0; code < 256; ++code) {
        SCOPED_TRACE(code);
        const char c = static_cast<char>(code);
        EXPECT_EQ(table.Contains(c), set.Contains(c));
    }
}

}  // namespace
}  // namespace varn
