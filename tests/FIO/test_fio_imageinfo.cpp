// kov_imageinfo: its output line and exit status, and files of real TIFF
// writers (tifffile, ImageMagick, tiffcp) read value for value as tifffile
// reads them.
#include <fstream>
#include <sstream>

#include "fio_files.h"
#include "run_program.h"

namespace {

using fiotest::Bytes;
using fiotest::Tiff;

kovtest::ProgramResult imageinfo(const std::vector<std::string>& arguments) {
  return kovtest::run_program(KOV_IMAGEINFO_PATH, arguments, {});
}

TEST(FioImageinfo, OneLinePerFileAndTheExitStatus) {
  kovtest::TempDir dir;
  Tiff t;
  t.rows = fiotest::rows16(4, 3, true, [](int x, int y) { return 10 * x + y; });
  t.high = true;
  kovtest::write_file(dir.file("a.tif"), t.bytes());
  Bytes raw;
  raw.f32(-0.5f).f32(1e-3f).f32(3.0f);
  kovtest::write_file(dir.file("r.data"), raw.str());
  kovtest::write_file(dir.file("r.data.info"), "WIDTH = 1\nHEIGHT = 3\nTYPE = REAL32\n");

  // The format given is for every file: a.tif has no header file.
  kovtest::ProgramResult r =
      imageinfo({dir.file("a.tif"), "--format", "binary", dir.file("r.data")});
  EXPECT_EQ(r.exit_status, 1);
  EXPECT_NE(r.output.find(dir.file("a.tif") + ": not read\n" + dir.file("r.data") + ": BINARY"),
            std::string::npos)
      << r.output;
  r = imageinfo({dir.file("a.tif")});
  EXPECT_EQ(r.exit_status, 0);
  EXPECT_NE(r.output.find("\n" + dir.file("a.tif") + ": TIFF 4 x 3 min 11 max 43 mean 27\n"),
            std::string::npos)
      << r.output;
  r = imageinfo({"--format", "BINARY", dir.file("r.data")});
  EXPECT_EQ(r.output, dir.file("r.data") + ": BINARY 1 x 3 min -0.5 max 3 mean 0.833666667\n");
  r = imageinfo({"--raw", dir.file("out"), dir.file("r.data.info")});
  EXPECT_EQ(r.exit_status, 0);
  EXPECT_EQ(kovtest::read_file(dir.file("out")), raw.str());

  // Read as the set-up reads (its size first): the warnings of a bad file
  // once, a BigTIFF file named as one.
  kovtest::write_file(dir.file("p.tif"), "P5 4 3\n255\n............");
  kovtest::write_file(dir.file("big.tif"),
                      std::string("II+\0\x10\0\0\0", 8) + std::string(64, '\0'));
  r = imageinfo({dir.file("p.tif"), dir.file("big.tif")});
  for (const std::string line :
       {"the first two bytes of a genuine TIFF", "BigTIFF files are not"}) {
    EXPECT_NE(r.output.find(line), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find(line), r.output.rfind(line)) << r.output;
  }
  r = imageinfo({dir.file("a.tif"), dir.file("missing.tif")});
  EXPECT_EQ(r.exit_status, 1);
  EXPECT_NE(r.output.find(dir.file("missing.tif") + ": not read\n"), std::string::npos);
  for (const std::vector<std::string>& bad : {std::vector<std::string>{},
                                              {"--raw", "x", "a", "b"},
                                              {"--format", "GIF", "a"},
                                              {"--raw"}}) {
    EXPECT_EQ(imageinfo(bad).exit_status, 2);
  }
}

TEST(FioImageinfo, FilesOfRealWritersReadAsTifffileReadsThem) {
  kovtest::TempDir dir;
  const kovtest::ProgramResult made = kovtest::run_program(
      "/usr/bin/python3", {KOV_SOURCE_DIR "/tests/FIO/interop/make_files.py", dir.path()}, {});
  ASSERT_EQ(made.exit_status, 0) << made.output;
  std::ifstream cases(dir.file("cases.txt"));
  std::string line;
  int read = 0, refused = 0;
  while (std::getline(cases, line)) {
    std::istringstream fields(line);
    std::string name, expect, fragment;
    std::getline(fields, name, '\t');
    std::getline(fields, expect, '\t');
    std::getline(fields, fragment, '\t');
    const kovtest::ProgramResult r = imageinfo({"--raw", dir.file("got"), dir.file(name)});
    if (expect == "read") {
      ++read;
      EXPECT_EQ(r.exit_status, 0) << name << "\n" << r.output;
      const std::string got = kovtest::read_file(dir.file("got"));
      EXPECT_TRUE(got == kovtest::read_file(dir.file(name + ".ref"))) << name;
      std::remove(dir.file("got").c_str());
    } else {
      ++refused;
      EXPECT_EQ(r.exit_status, 1) << name;
      EXPECT_NE(r.output.find(fragment), std::string::npos) << name << "\n" << r.output;
      EXPECT_NE(r.output.find(": not read\n"), std::string::npos) << name;
    }
  }
  EXPECT_GE(read, 30);
  EXPECT_GE(refused, 8);
}

}  // namespace
