#include "ScopedTrace.h"

#include "EventLog.h"

ScopedTrace::ScopedTrace(std::string name, const std::string& arguments) : name_(std::move(name)) {
  LogMessage("entering " + name_ + "(" + arguments + ")...");
}

ScopedTrace::~ScopedTrace() {
  LogMessage("exiting  " + name_ + "(" + result_ + ")...");
}
