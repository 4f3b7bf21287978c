// What a wait that timed out says: the event, how long it waited, and the
// last thing its probe saw, not the first; and a wait whose event comes
// succeeds, however late within the deadline.
#include "wait.h"

#include <gmock/gmock.h>

#include <algorithm>

namespace e2e {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

TEST(Await, ATimeOutSaysWhatItWaitedForForHowLongAndTheLastStateSeen) {
    int probes = 0;
    const auto start = Clock::now();
    const ::testing::AssertionResult result = Await(
        "the list to be shown",
        [&](std::string* seen) {
            *seen = "visible=0 after " + std::to_string(++probes) + " probes";
            return false;
        },
        200ms);
    EXPECT_GE(Clock::now() - start, 200ms);
    ASSERT_FALSE(result);
    EXPECT_THAT(result.message(), StartsWith("waited 0."));
    EXPECT_THAT(result.message(),
                HasSubstr(" s for the list to be shown; last saw: visible=0 after " +
                          std::to_string(probes) + " probes"));
    EXPECT_GT(probes, 1);
}

TEST(Await, AnEventWithinTheDeadlineIsAwaitedWithoutAMessage) {
    int probes = 0;
    EXPECT_TRUE(Await(
        "the third probe", [&](std::string*) { return ++probes == 3; }, 5s));
    EXPECT_EQ(probes, 3);
    const std::string values[] = {"none", "none", "class=Marrowick"};
    int asked = 0;
    EXPECT_TRUE(AwaitValue(
        "the foreground", [&] { return values[std::min(asked++, 2)]; }, "class=Marrowick", 5s));
}

TEST(AwaitValue, ATimeOutNamesTheValueWantedAndTheLastOneAsked) {
    int asked = 0;
    const ::testing::AssertionResult result = AwaitValue(
        "the foreground", [&] { return ++asked < 3 ? std::string("none") : "class=Other"; },
        "class=Marrowick", 100ms);
    ASSERT_FALSE(result);
    EXPECT_THAT(result.message(),
                HasSubstr(" s for the foreground to be \"class=Marrowick\"; last saw: "
                          "\"class=Other\""));
}

}  // namespace
}  // namespace e2e
