#include "link/Clock.h"

#include <chrono>
#include <ctime>

namespace zem {

double SystemClock::Timer()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    const auto sinceSecond = now - system_clock::from_time_t(t);
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec
        + duration<double>(sinceSecond).count();
}

} // namespace zem
