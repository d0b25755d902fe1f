// The pool when the system cannot start all the threads asked for.
#include "io/ordered_pool.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <new>
#include <string>
#include <system_error>
#include <vector>

namespace varn {
namespace {

TEST(OrderedPool, RunsWithTheThreadsThatStarted) {
    struct Row {
        const char* name;
        int started;  // threads the system lets start before refusing
        const char* reason;
    };
    const Row rows[] = {
        {"none: the caller works alone", 0, "again"},
        {"one of seven", 1, "again"},
        {"three of seven", 3, "again"},
        {"memory ran out on the fifth", 4, "memory"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        int starts = 0;
        const ThreadStart refusing = [&](std::function<void()> body) {
            if (starts == row.started) {
                if (std::string(row.reason) == "memory") throw std::bad_alloc();
                throw std::system_error(EAGAIN, std::generic_category(), "thread");
            }
            ++starts;
            return std::thread(std::move(body));
        };
        OrderedPool<int, long> pool(
            7, [](int& block, long& result) { result = static_cast<long>(block) * 3; }, refusing);
        EXPECT_EQ(pool.workers(), static_cast<std::size_t>(row.started));
        int next = 0;
        std::vector<long> taken;
        pool.Run([&next](int& block) { return next < 500 ? (block = next++, true) : false; },
                 [&taken](int&, long& result) {
                     taken.push_back(result);
                     return true;
                 });
        ASSERT_EQ(taken.size(), 500U);
        for (std::size_t i = 0; i < taken.size(); ++i)
            EXPECT_EQ(taken[i], 3 * static_cast<long>(i));
    }
}

}  // namespace
}  // namespace varn
