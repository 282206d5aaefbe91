// Waiting in tests for a condition to hold, with a time limit, instead of
// sleeping for a fixed time.
#pragma once

#include <chrono>
#include <thread>

namespace kovtest {

// Looks at `condition` every few milliseconds until it holds (true) or the
// time limit has passed (false).
template <typename Condition>
bool wait_until(Condition condition,
                std::chrono::milliseconds limit = std::chrono::milliseconds(10000)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace kovtest
