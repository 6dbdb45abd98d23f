#pragma once

#include <chrono>

// How the preview turns a row's Speed and Times values into time. The controller gets 2^Speed
// as its speed code and Times x 10 + 1 as its time code; the preview reads the first as the
// length of one effect step and the second as tenths of a second. A controller's own timing
// may differ.
namespace EffectTiming {

// The fastest speed value the control packet can carry: 2^8 does not fit its byte.
constexpr int kMaxSendableSpeed = 7;

// One step of an effect (one LED of movement, one blink phase) at speed 0..7:
// 5 x 2^(speed - 1) ms, so speed 1 is 5 ms, speed 3 (the default) 20 ms, speed 7 320 ms;
// speed 0 is 2 ms.
std::chrono::milliseconds stepTime(int speed);

// The time a value of Times (or ETime) holds: its time code in tenths of a second,
// (times x 10 + 1) x 100 ms, so 0 is 0.1 s and 25 is 25.1 s.
std::chrono::milliseconds holdTime(int times);

} // namespace EffectTiming
