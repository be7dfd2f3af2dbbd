// The system clock read as local time.
#include "platform/clock.h"

#include <ctime>

LocalTime ReadLocalTime() {
  std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  // Only a clock beyond what the C library can represent has no local time: the epoch stands in.
  if (!local) return {1970, 1, 1, 5, 0, 0};
  return {local->tm_year + 1900, local->tm_mon + 1, local->tm_mday,
          local->tm_wday + 1,    local->tm_hour,    local->tm_min};
}
