// The clock line of the status line: date, weekday and time as one line of Chinese text.
#pragma once
#include <string>

#include "platform/clock.h"

// "现在时间是：" year 年 month 月 day, the weekday part, hour ":" minute, numbers unpadded. The
// weekday is read once and each other component from a reading of its own, in the order year,
// month, day, hour, minute.
std::string ClockLine(const ClockReader& readClock);
