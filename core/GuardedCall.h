#pragma once

#include <functional>
#include <optional>
#include <string>

// Runs one guarded operation between its trace lines: "entering name()..."
// and "exiting  name(SUCCESS)..." or "(FAILURE)". The operation returns a
// failure message or nothing, and may lower `result` itself; a message or
// an exception becomes an ERROR line ("unknown exception..." for one without
// a message) and a false result. Nothing escapes to the caller.
using GuardedFailure = std::optional<std::string>;
// `failure`, when given, gets the ERROR line's message on failure.
bool GuardedCall(const char* name, const std::function<GuardedFailure(bool& result)>& operation,
                 std::string* failure = nullptr);
