// Arbitrary bytes as a comet database file.
#include <cstdint>

#include "CometDatabase.h"
#include "FuzzFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = FuzzFile(data, size, ".cdb");
  WellRecord well;
  if (Zelcor_ReadFromDB(path, well)) {
    // Whatever was read must stay inside the array and write back.
    if (well.CometCount > WellRecord::kMaxComets) __builtin_trap();
    if (well.Comets != nullptr && well.DatabaseType == kCometDataSet) {
      for (std::uint32_t i = 0; i < well.CometCount; ++i) (void)ImageNameOf(well.Comets[i]);
      (void)WellNameOf(well);
    }
  }
  std::vector<std::uint8_t> block;
  Zelcor_ReadBlockFromDB(path, block);
  return 0;
}
