// Arbitrary bytes as a settings file.
#include <cstdint>

#include "FuzzFile.h"
#include "IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = FuzzFile(data, size, ".ini");
  IniFile ini(path);
  (void)ini.ReadInteger("main", "ThresholdBar", 0);
  (void)ini.ReadString("main", "FilterMinAreaEdit", "0");
  (void)ReadProfileInt("main", "log_all_events", 0, path);
  ini.WriteInteger("main", "ThresholdBar", 7);
  if (ini.ReadInteger("main", "ThresholdBar", 0) != 7 && size < IniFile::kMaxFileSize)
    __builtin_trap();  // a write must always read back
  return 0;
}
