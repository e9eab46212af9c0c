#include "GuardedCall.h"

#include <exception>

#include "EventLog.h"

bool GuardedCall(const char* name, const std::function<GuardedFailure(bool&)>& operation,
                 std::string* failureText) {
  const bool traced = EventLogEnabled();  // some operations run by the thousand
  if (traced) LogMessage(std::string("entering ") + name + "()...");
  bool result = true;
  GuardedFailure failure;
  try {
    failure = operation(result);
  } catch (const std::exception& e) {
    failure = e.what();
  } catch (...) {
    failure = "unknown exception...";
  }
  if (failure) {
    LogMessage("ERROR: " + *failure);
    if (failureText != nullptr) *failureText = *failure;
    result = false;
  }
  if (traced)
    LogMessage(std::string("exiting  ") + name + "(" + (result ? "SUCCESS" : "FAILURE") + ")...");
  return result;
}
