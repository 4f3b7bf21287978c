// Waiting for an event with a deadline in time: the condition polled every
// 20 ms until it holds or the time is up. Await and AwaitValue also say, when
// the time is up, what they waited for, for how long and what they last saw,
// so that one log tells a slow machine from a fault.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

namespace e2e {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Generous bounds: under emulation a Windows program takes a second or two
// to start on a busy machine, and any step can take seconds there.
constexpr auto START_TIMEOUT = 60s;
constexpr auto STEP_TIMEOUT = 20s;

// Polls condition every 20 ms until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, Clock::duration timeout = STEP_TIMEOUT);

// Polls probe until it returns true; probe describes what it saw in *seen.
// On time-out: "waited 20.0 s for EVENT; last saw: SEEN".
::testing::AssertionResult Await(const std::string& event,
                                 const std::function<bool(std::string* seen)>& probe,
                                 Clock::duration timeout = STEP_TIMEOUT);

// Asks for value until it is wanted. On time-out: "waited 20.0 s for WHAT
// to be "WANTED"; last saw: "VALUE"".
::testing::AssertionResult AwaitValue(const std::string& what,
                                      const std::function<std::string()>& value,
                                      const std::string& wanted,
                                      Clock::duration timeout = STEP_TIMEOUT);

}  // namespace e2e
