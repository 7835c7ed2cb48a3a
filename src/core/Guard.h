#pragma once
// Runs one user action; a database or program error shows one clear message
// and abandons the action, leaving the program running. Writes that take
// several statements run inside a Db::Transaction, so an abandoned action
// leaves nothing half-written.

#include <functional>

// Returns true when the action ran to its end.
bool guarded(const std::function<void()> &action);
