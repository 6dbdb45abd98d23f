#include "effecttiming.h"

#include <algorithm>

namespace EffectTiming {

namespace {
constexpr std::chrono::milliseconds kFastestStep { 5 };
constexpr std::chrono::milliseconds kTimeCodeUnit { 100 };
constexpr int kTimeCodeScale = 10;
} // namespace

std::chrono::milliseconds stepTime(int speed)
{
    const int s = std::clamp(speed, 0, kMaxSendableSpeed);
    // Speed 0 (no selector offers it; a show file may hold it) halves speed 1's step.
    return s == 0 ? kFastestStep / 2 : kFastestStep * (1 << (s - 1));
}

std::chrono::milliseconds holdTime(int times)
{
    return kTimeCodeUnit * (std::max(times, 0) * kTimeCodeScale + 1);
}

} // namespace EffectTiming
