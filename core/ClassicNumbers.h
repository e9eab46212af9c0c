#pragma once

#include <locale.h>

// Numbers written with "." as the decimal mark whatever the user's locale:
// while this object lives, the calling thread formats and parses numbers
// in the classic "C" locale (the window's toolkit applies the desktop's
// locale to the C library, where "1.5" would otherwise print as "1,5").
class ScopedClassicNumbers {
 public:
  ScopedClassicNumbers();
  ~ScopedClassicNumbers();
  ScopedClassicNumbers(const ScopedClassicNumbers&) = delete;
  ScopedClassicNumbers& operator=(const ScopedClassicNumbers&) = delete;

 private:
  locale_t previous_ = nullptr;
};
