#include "optics/worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

// A piece or a report that throws must not end the program: the caller of run gets the
// exception, only after every piece already started has finished (they use the caller's
// data), and the pool runs its next task in full.
TEST(WorkerPool, AnExceptionInAPieceOrTheReportReachesTheCaller) {
    struct Case {
        const char* what;
        int workers, count;
        int failing_piece;   // −1: none
        int failing_report;  // the report of this many finished pieces throws; 0: none
        bool out_of_memory;  // std::bad_alloc rather than std::runtime_error
    };
    const Case cases[] = {
        {"first piece, one worker", 1, 10, 0, 0, false},
        {"middle piece, three workers", 3, 40, 17, 0, false},
        {"last piece, two workers", 2, 12, 11, 0, true},
        {"report, two workers", 2, 30, -1, 5, false},
        {"report of the last piece", 3, 9, -1, 9, true},
    };
    for (const Case& c : cases) {
        WorkerPool pool(c.workers);
        std::atomic<int> running{0};
        const auto fail = [&] {
            if (c.out_of_memory)
                throw std::bad_alloc();
            throw std::runtime_error(c.what);
        };
        const auto piece = [&](int i, int) {
            ++running;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            --running;
            if (i == c.failing_piece)
                fail();
        };
        const auto report = [&](int finished) {
            if (finished == c.failing_report)
                fail();
            return true;
        };
        bool caught = false;
        try {
            pool.run(c.count, piece, report);
        } catch (const std::bad_alloc&) {
            caught = c.out_of_memory;
        } catch (const std::runtime_error& e) {
            caught = !c.out_of_memory && std::string(e.what()) == c.what;
        }
        EXPECT_TRUE(caught) << c.what;
        EXPECT_EQ(running.load(), 0) << c.what << ": a piece still runs after run returned";

        std::vector<std::atomic<int>> runs(20);
        EXPECT_TRUE(pool.run(20, [&](int i, int) { ++runs[std::size_t(i)]; })) << c.what;
        for (const std::atomic<int>& n : runs)
            EXPECT_EQ(n.load(), 1) << c.what;
    }
}

}  // namespace
