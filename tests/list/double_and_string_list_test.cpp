#include "list/double_and_string_list.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace varn {
namespace {

// An attached object that counts its destructions and records their order.
class Counted : public TObject {
  public:
    Counted(int id, std::vector<int>& destroyed) : id_(id), destroyed_(destroyed) {}
    ~Counted() override { destroyed_.push_back(id_); }

  private:
    int id_;
    std::vector<int>& destroyed_;
};

TEST(TBexoDoubleAndStringList, StartsEmpty) {
    const TBexoDoubleAndStringList list;
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.OwnMode(), OwnEntriesAndObjects);
}

TEST(TBexoDoubleAndStringList, KeepsEntriesInOrderOfAddition) {
    TBexoDoubleAndStringList list(OwnEntriesAndObjects);
    list.Add("01/30/2004 10");
    list.Add("same", 1.5, 1, 2, 3);
    list.Add("same", 2.5);
    list.Add("");
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Items(0).Text, "01/30/2004 10");
    EXPECT_EQ(list.Items(1).Text, "same");
    EXPECT_EQ(list.Items(1).Value, 1.5);
    EXPECT_EQ(list.Items(1).Int1, 1);
    EXPECT_EQ(list.Items(1).Int2, 2);
    EXPECT_EQ(list.Items(1).Int3, 3);
    EXPECT_EQ(list.Items(2).Text, "same");
    EXPECT_EQ(list.Items(2).Value, 2.5);
    EXPECT_EQ(list.Items(3).Text, "");
    EXPECT_EQ(list.Items(3).Obj, nullptr);
}

TEST(TBexoDoubleAndStringList, CopiesTheText) {
    TBexoDoubleAndStringList list;
    std::string line = "first line";
    list.Add(line);
    line = "changed!!!";
    EXPECT_EQ(list.Items(0).Text, "first line");
}

// Many short lines and a few long ones, beyond one text block: every text
// stays readable while more are added.
TEST(TBexoDoubleAndStringList, HoldsAWholeFile) {
    TBexoDoubleAndStringList list;
    std::vector<std::string> lines;
    for (int i = 0; i < 20000; ++i) {
        std::string line = std::to_string(i) + ",1.2345,1.2400";
        if (i % 5000 == 7) line += std::string(40000, 'x');
        lines.push_back(line);
        list.Add(line, i);
    }
    ASSERT_EQ(list.Count(), 20000);
    for (std::int32_t i = 0; i < list.Count(); ++i) {
        if (list.Items(i).Text != lines[static_cast<std::size_t>(i)] || list.Items(i).Value != i) {
            ADD_FAILURE() << "entry " << i << " differs";
            break;
        }
    }
}

TEST(TBexoDoubleAndStringList, ReportsIndexOutOfBounds) {
    TBexoDoubleAndStringList list;
    list.Add("a");
    struct Row {
        std::int32_t index;
        const char* message;
    };
    const Row rows[] = {{1, "List index out of bounds (1)"},
                        {-1, "List index out of bounds (-1)"},
                        {2147483647, "List index out of bounds (2147483647)"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.index);
        try {
            (void)list.Items(row.index);
            ADD_FAILURE() << "no error";
        } catch (const std::out_of_range& error) {
            EXPECT_STREQ(error.what(), row.message);
        }
    }
    EXPECT_THROW((void)list.Items(1), ListIndexError);
}

TEST(TBexoDoubleAndStringList, DisposesOfAttachedObjectsByMode) {
    struct Row {
        const char* name;
        std::uint8_t mode;
        bool destroys_objects;
    };
    const Row rows[] = {
        {"mode 0 leaves objects to their owner", OwnEntries, false},
        {"mode 1 destroys objects", OwnEntriesAndObjects, true},
        {"mode 2 only forgets its entries", OwnNothing, false},
        {"mode 255 only forgets its entries", 255, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<int> destroyed;
        auto* first = new Counted(1, destroyed);
        auto* second = new Counted(2, destroyed);
        {
            TBexoDoubleAndStringList list(row.mode);
            list.Add("one", 0, 0, 0, 0, first);
            list.Add("none");
            list.Add("two", 0, 0, 0, 0, second);
            EXPECT_EQ(list.Items(0).Obj, first);
            EXPECT_EQ(list.Items(2).Obj, second);
        }
        if (row.destroys_objects) {
            EXPECT_EQ(destroyed, (std::vector<int>{1, 2}));
        } else {
            EXPECT_TRUE(destroyed.empty());
            delete first;
            delete second;
        }
    }
}

TEST(TBexoDoubleAndStringList, ClearEmptiesAndStaysUsable) {
    std::vector<int> destroyed;
    TBexoDoubleAndStringList list(OwnEntriesAndObjects);
    list.Add("a", 0, 0, 0, 0, new Counted(1, destroyed));
    list.Add("b", 0, 0, 0, 0, new Counted(2, destroyed));
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(destroyed, (std::vector<int>{1, 2}));
    list.Add("c", 0, 0, 0, 0, new Counted(3, destroyed));
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Items(0).Text, "c");
    list.Clear();
    list.Clear();
    EXPECT_EQ(destroyed, (std::vector<int>{1, 2, 3}));
}

}  // namespace
}  // namespace varn
