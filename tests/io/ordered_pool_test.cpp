// The pool when the system cannot start all the threads asked for.
#include "io/ordered_pool.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <new>
#include <system_error>
#include <vector>

namespace varn {
namespace {

TEST(OrderedPool, RunsWithTheThreadsThatStarted) {
    // Threads the system lets start before refusing, and how it refuses.
    for (const auto& [started, memory] : {std::pair{0, false}, {1, false}, {3, false}, {4, true}}) {
        SCOPED_TRACE(started);
        int starts = 0;
        const ThreadStart refusing = [&, started = started,
                                      memory = memory](std::function<void()> body) {
            if (starts == started) {
                if (memory) throw std::bad_alloc();
                throw std::system_error(EAGAIN, std::generic_category(), "thread");
            }
            ++starts;
            return std::thread(std::move(body));
        };
        OrderedPool<int, long> pool(
            7, [](int& block, long& result) { result = static_cast<long>(block) * 3; }, refusing);
        EXPECT_EQ(pool.workers(), static_cast<std::size_t>(started));
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
