#pragma once

#include <string>

// The text's leading decimal integer as the C library's atol reads it
// (blanks skipped, optional sign, digits up to the first other character;
// 0 without digits), saturated to the 32-bit range. Traced unless empty.
int AnsiString_ToInt(const std::string& text);

// The text as a number: first strictly with the system's decimal separator;
// when that fails, one ERROR line, every "," becomes "." and the C library
// reads as much as forms a number (0.0 when nothing does). Traced unless
// empty. So "1,5" and "1.5" both give 1.5 whatever the separator.
long double AnsiString_ToDouble(const std::string& text);

// The same with a given decimal separator in place of the system's.
long double AnsiString_ToDouble(const std::string& text, char decimalSeparator);
