// Waiting for a condition with a time limit, instead of sleeping for a
// fixed time: the condition is looked at every few milliseconds.
#pragma once

#include <chrono>
#include <thread>

namespace kovtest {

using namespace std::chrono_literals;

// True as soon as `condition()` holds; false when it still does not after
// `limit`.
template <typename Condition>
bool wait_until(Condition condition, std::chrono::milliseconds limit = 10s) {
  const auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(5ms);
  }
}

// The picture of a window once `wanted(picture)` holds and the window has
// not changed for `quiet` (its drawing is complete); after `limit`, the last
// picture taken. `grab()` returns a picture with `width` and `pixels`.
template <typename Grab, typename Wanted>
auto settled_picture(Grab grab, Wanted wanted, std::chrono::milliseconds quiet = 150ms,
                     std::chrono::milliseconds limit = 10s) {
  auto last = grab();
  auto since = std::chrono::steady_clock::now();
  wait_until(
      [&] {
        auto now = grab();
        const auto t = std::chrono::steady_clock::now();
        if (now.width != last.width || now.pixels != last.pixels) {
          last = std::move(now);
          since = t;
          return false;
        }
        return wanted(last) && t - since >= quiet;
      },
      limit);
  return last;
}

}  // namespace kovtest
