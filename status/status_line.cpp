// The status line: clock line and address line written into their transparent labels.
#include "status/status_line.h"

#include "platform/clock.h"
#include "platform/network.h"
#include "status/address_line.h"
#include "status/clock_line.h"
#include "ui/main_window.h"

void ShowClockLine(MainWindow& window) {
  window.SetTimerPeriod(kClockPeriodMs);
  window.SetCaption(ControlId::透明标签1, ClockLine(ReadLocalTime));
}

void ShowAddressLine(MainWindow& window) {
  std::vector<std::string> addresses = LocalAddresses();
  bool online = IsOnline();
  window.SetCaption(ControlId::透明标签2, AddressLine(addresses, online));
}
