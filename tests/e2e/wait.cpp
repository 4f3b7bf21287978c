#include "wait.h"

#include <cstdio>
#include <thread>

namespace e2e {

bool WaitUntil(const std::function<bool()>& condition, Clock::duration timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!condition()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

::testing::AssertionResult Await(const std::string& event,
                                 const std::function<bool(std::string* seen)>& probe,
                                 Clock::duration timeout) {
    const auto start = Clock::now();
    std::string seen;
    if (WaitUntil([&] { return probe(&seen); }, timeout)) return ::testing::AssertionSuccess();
    char waited[32];
    std::snprintf(waited, sizeof waited, "%.1f s",
                  std::chrono::duration<double>(Clock::now() - start).count());
    return ::testing::AssertionFailure()
           << "waited " << waited << " for " << event << "; last saw: " << seen;
}

::testing::AssertionResult AwaitValue(const std::string& what,
                                      const std::function<std::string()>& value,
                                      const std::string& wanted, Clock::duration timeout) {
    return Await(
        what + " to be \"" + wanted + "\"",
        [&](std::string* seen) {
            const std::string now = value();
            *seen = "\"" + now + "\"";
            return now == wanted;
        },
        timeout);
}

}  // namespace e2e
