#pragma once
// The hourglass. Busy work holds a BusyCursor for its duration, so the
// normal pointer always comes back, also when the work throws.

namespace Cursor {
bool isBusy();
// Forces the normal pointer back, whatever is pending.
void reset();
} // namespace Cursor

class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};
