#include "link/Clock.h"

#include <cmath>
#include <ctime>
#include <thread>

namespace zem {

void Clock::Attendi(double seconds)
{
    if (seconds > 0) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

SystemClock::SystemClock() : start_(std::chrono::steady_clock::now())
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    startOfDay_ = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec
        + duration<double>(now - system_clock::from_time_t(t)).count();
}

double SystemClock::Timer()
{
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    return std::fmod(startOfDay_ + elapsed, kSecondsPerDay);
}

} // namespace zem
