// Every seed of the fuzzers and every input that once made a reader fail,
// replayed through the same reading as the fuzzers (this suite also runs
// under AddressSanitizer and UndefinedBehaviorSanitizer).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "fuzz_targets.h"

namespace {

TEST(FioFuzzInputs, SeedsAndFormerFailuresReadSafely) {
  namespace fs = std::filesystem;
  int replayed = 0;
  for (const char* kind : {"corpus", "crashes"}) {
    const fs::path root = fs::path(KOV_FUZZ_DIR) / kind;
    if (!fs::exists(root)) continue;
    for (const auto& dir : fs::directory_iterator(root)) {
      const fuzztest::Target target = fuzztest::target(dir.path().filename().string());
      ASSERT_NE(target, nullptr) << dir.path();
      for (const auto& file : fs::directory_iterator(dir.path())) {
        std::ifstream in(file.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        SCOPED_TRACE(file.path().string());
        target(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++replayed;
      }
    }
  }
  EXPECT_GE(replayed, 20);
}

}  // namespace
