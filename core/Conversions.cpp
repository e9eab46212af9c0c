#include "Conversions.h"

#include <locale.h>
#include <cctype>
#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "EventLog.h"

namespace {

// The C locale, for reading numbers with a period whatever the user's locale.
locale_t CLocale() {
  static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return c;
}

char SystemDecimalSeparator() {
  const lconv* conv = std::localeconv();
  return conv != nullptr && conv->decimal_point != nullptr && conv->decimal_point[0] != '\0'
             ? conv->decimal_point[0]
             : '.';
}

bool IsBlank(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Strict reading: optional blanks, sign, digits with at most one decimal
// separator (at least one digit), an optional exponent, optional blanks, and
// nothing else.
bool StrictToFloat(const std::string& text, char separator, long double& value) {
  std::size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  std::string number;
  std::size_t i = b;
  auto digits = [&] {
    std::size_t n = 0;
    for (; i < e && std::isdigit(static_cast<unsigned char>(text[i])); ++i, ++n) number += text[i];
    return n;
  };
  if (i < e && (text[i] == '+' || text[i] == '-')) number += text[i++];
  std::size_t mantissa = digits();
  if (i < e && text[i] == separator) {
    number += '.';
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return false;
  if (i < e && (text[i] == 'e' || text[i] == 'E')) {
    number += 'e';
    ++i;
    if (i < e && (text[i] == '+' || text[i] == '-')) number += text[i++];
    if (digits() == 0) return false;
  }
  if (i != e) return false;
  value = strtold_l(number.c_str(), nullptr, CLocale());
  return true;
}

}  // namespace

int AnsiString_ToInt(const std::string& text) {
  if (text.empty()) return 0;
  LogMessage("entering AnsiString_ToInt(" + text + ")...");
  long long value = std::strtoll(text.c_str(), nullptr, 10);
  int result = static_cast<int>(value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : value);
  LogMessage("exiting  AnsiString_ToInt(" + std::to_string(result) + ")...");
  return result;
}

long double AnsiString_ToDouble(const std::string& text) {
  return AnsiString_ToDouble(text, SystemDecimalSeparator());
}

long double AnsiString_ToDouble(const std::string& text, char decimalSeparator) {
  if (text.empty()) return 0.0L;
  LogMessage("entering AnsiString_ToDouble(" + text + ")...");
  long double value = 0.0L;
  if (!StrictToFloat(text, decimalSeparator, value)) {
    LogMessage("ERROR: '" + text + "' is not a valid floating point value");
    std::string period = text;
    for (char& c : period)
      if (c == ',') c = '.';
    value = strtold_l(period.c_str(), nullptr, CLocale());
  }
  char shown[64];
  std::snprintf(shown, sizeof shown, "%.15Lg", value);
  LogMessage("exiting  AnsiString_ToDouble(" + std::string(shown) + ")...");
  return value;
}
