#include "lexing/escape_pass.h"

#include "base/memory.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

class Reports : public ProgressObserver {
public:
    void Progress(int32_t position) override { positions.push_back(position); }
    std::vector<int32_t> positions;
};

// Random sources past the size at which the second half goes to a thread: the text, the list of
// replaced characters and the progress reports are the same as from one thread, and a failed
// allocation on either side is reported as a failure.
TEST(EscapePass, InTwoHalvesAsInOne) {
    std::mt19937 rng(26);
    const std::string opening = "<pre>";
    const char pieces[] = {'\t', '<', '>', '&', 'a', ' ', '\n', ';', '\xC3'};
    for (int round = 0; round < 4; ++round) {
        std::string source(std::size_t(1 << 20) + rng() % 200000, 'x');
        for (char& c : source) {
            if (rng() % 4 == 0) {
                c = pieces[rng() % sizeof pieces];
            }
        }
        const std::string tab(rng() % 9, ' ');
        Reports one_reports;
        Reports two_reports;
        std::string one;
        std::string two;
        std::vector<std::size_t> one_replaced;
        std::vector<std::size_t> two_replaced;
        ASSERT_TRUE(Escape(source, opening, tab, one, Progress(&one_reports, source.size(), 0),
                           &one_replaced, false));
        ASSERT_TRUE(Escape(source, opening, tab, two, Progress(&two_reports, source.size(), 0),
                           &two_replaced, true));
        ASSERT_EQ(one, two);
        ASSERT_EQ(one_replaced, two_replaced);
        ASSERT_EQ(one_reports.positions, two_reports.positions);

        tarvo::InjectAllocationFailure(long(round % 3));
        std::string failed;
        const bool done =
            Escape(source, opening, tab, failed, Progress(nullptr, 1, 0), nullptr, true);
        tarvo::InjectAllocationFailure(-1);
        ASSERT_TRUE(!done || failed == one) << "round " << round;
    }
}

} // namespace
