#include "TiffMessages.h"

#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <string>

#include "EventLog.h"

namespace {

void Log(const char* kind, const char* module, const char* format, va_list args) {
  char text[512];
  std::vsnprintf(text, sizeof text, format, args);
  LogMessage(std::string("toolkit: TIFF ") + kind +
             (module != nullptr ? std::string(" in ") + module : "") + ": " + text);
}

void Warning(const char* module, const char* format, va_list args) {
  Log("warning", module, format, args);
}

void Error(const char* module, const char* format, va_list args) {
  Log("problem", module, format, args);
}

}  // namespace

void RouteTiffMessagesToLog() {
  TIFFSetWarningHandler(Warning);
  TIFFSetErrorHandler(Error);
}
