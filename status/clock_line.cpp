// The clock line built from separate readings of the clock.
#include "status/clock_line.h"

namespace {

constexpr const char* kNumerals[] = {"零", "一", "二", "三", "四", "五", "六", "七", "八", "九"};

std::string Decimal(int value) {
  return std::to_string(value);
}

}  // namespace

std::string ClockLine(const ClockReader& readClock) {
  int weekday = readClock().weekday;
  std::string line = "现在时间是：";
  line += Decimal(readClock().year);
  line += "年";
  line += Decimal(readClock().month);
  line += "月";
  line += Decimal(readClock().day);
  if (weekday == 1) {
    line += "日星期日";
  } else {
    line += "日星期";
    line += kNumerals[weekday - 1];
  }
  line += Decimal(readClock().hour);
  line += ":";
  line += Decimal(readClock().minute);
  return line;
}
