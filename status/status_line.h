// The status line's two handlers: the clock line on every tick of 时钟1, the address line once
// when the window has been created.
#pragma once

class MainWindow;

inline constexpr int kClockPeriodMs = 1000;

// Sets the clock's period to a second (the first tick comes 100 ms after start) and shows the
// clock line in 透明标签1.
void ShowClockLine(MainWindow& window);

// Shows the address line of this moment in 透明标签2; it is not refreshed afterwards.
void ShowAddressLine(MainWindow& window);
