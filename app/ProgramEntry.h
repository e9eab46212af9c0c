#pragma once

#include <functional>

// The window program's entry around its body (making the window and running
// the event loop): the opening and closing trace lines, and an exception
// that escapes the body logged and shown in an error box captioned with the
// program's title — its message, or an empty message for an exception of
// no known kind. The program then ends normally. Returns the exit code.
int RunWindowEntry(const std::function<void()>& body);
