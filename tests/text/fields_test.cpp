#include "text/fields.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

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

}  // namespace
}  // namespace varn
