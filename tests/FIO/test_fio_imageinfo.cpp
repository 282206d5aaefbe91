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

// Every format of the dispatcher by its name or menu label, each on a seed
// of its fuzzer (a length byte splits the two-file formats' seeds into the
// header and the data beside it): the size read, or the refusal.
TEST(FioImageinfo, EveryFormatByName) {
  kovtest::TempDir dir;
  struct Case {
    const char* format;
    const char* seed;   // under the fuzzers' corpora
    const char* files;  // the header (read), and the data beside it
    const char* line;   // the line printed, after "NAME: "
  };
  const Case cases[] = {
      {"tiff", "tiff/ii8_pages3_white_zero", "t", "TIFF 6 x 5"},
      {"ImageQuant", "tiff/ii8_pages3_white_zero", "q", "IMAGEQUANT 6 x 5"},
      {"", "binary/int8", "b.info b", "BINARY"},  // from ".info"
      {"BSL/OTOKO", "bsl/be_frames", "Z98000.I1D Z98001.I1D", "BSL/OTOKO 5 x 2"},
      {"dexoram", "dexoram/columns", "d", "DEXORAM 2 x 1"},
      {"FUJI (BAS)", "bas2000/u8", "p.inf p.img", "FUJI BAS-2000 6 x 4"},
      {"hamamatsu", "hamamatsu/type3", "h", "HAMAMATSU PHOTONICS 35 x 4"},
      {"merin", "merin/float", "m", "MERIN"},
      {"MAR", "mar/newer_le", "n", "MAR FORMAT 5 x 3"},
      {"mar-pck", "mar/older_pck_be", "o", "MAR-PCK 64 x 4"},
      {"photometrics", "photometrics/be_two", "f", "PHOTOMETRICS CCD FORMAT 5 x 3"},
      {"princeton", "princeton/version3_footer", "s", "PRINCETON CCD FORMAT 6 x 3"},
      {"VEXAL", "dexoram/columns", "v", "not read"},
      {"GAS 2-D DETECTOR (DALV)", "dexoram/columns", "g", "not read"},
  };
  for (const Case& c : cases) {
    std::string seed = kovtest::read_file(std::string(KOV_FUZZ_DIR "/corpus/") + c.seed);
    std::istringstream names(c.files);
    std::string first, second;
    names >> first >> second;
    if (!second.empty()) {
      const std::size_t n =
          std::min<std::size_t>(static_cast<unsigned char>(seed[0]), seed.size() - 1);
      kovtest::write_file(dir.file(second), seed.substr(1 + n));
      seed = seed.substr(1, n);
    }
    kovtest::write_file(dir.file(first), seed);
    const kovtest::ProgramResult r = imageinfo(
        *c.format != '\0' ? std::vector<std::string>{"--format", c.format, dir.file(first)}
                          : std::vector<std::string>{dir.file(first)});
    EXPECT_NE(r.output.find(dir.file(first) + ": " + c.line), std::string::npos) << c.format << "\n"
                                                                                 << r.output;
    EXPECT_EQ(r.exit_status, std::string(c.line) == "not read" ? 1 : 0) << c.format;
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
