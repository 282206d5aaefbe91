// libFuzzer harness: arbitrary bytes as an image-plate file of either layout.
#include "fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzztest::mar(data, size);
  return 0;
}
