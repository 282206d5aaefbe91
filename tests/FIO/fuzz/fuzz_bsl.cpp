// libFuzzer harness: arbitrary bytes as a file for the reader.
#include "fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzztest::bsl(data, size);
  return 0;
}
