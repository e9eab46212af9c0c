#include "ClassicNumbers.h"

namespace {

locale_t ClassicLocale() {
  static const locale_t classic = newlocale(LC_ALL_MASK, "C", nullptr);
  return classic;
}

}  // namespace

ScopedClassicNumbers::ScopedClassicNumbers() {
  if (ClassicLocale() != nullptr) previous_ = uselocale(ClassicLocale());
}

ScopedClassicNumbers::~ScopedClassicNumbers() {
  if (previous_ != nullptr) uselocale(previous_);
}
