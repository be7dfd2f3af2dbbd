// The system clock read as local time in whole seconds (the C library's time and localtime).
#pragma once
#include <functional>

struct LocalTime {
  int year;
  int month;    // 1 to 12
  int day;      // 1 to 31
  int weekday;  // 1 Sunday to 7 Saturday
  int hour;
  int minute;
};

// One reading of the clock.
LocalTime ReadLocalTime();

// Where a reading comes from: the system clock in the program, a fixed or stepping clock in tests.
using ClockReader = std::function<LocalTime()>;
