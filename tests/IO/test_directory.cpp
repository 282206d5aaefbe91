// Directory listing, name lists, wild-card matching and directory changes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "console_capture.h"
#include "io.h"

namespace {

using Names = std::vector<std::string>;

// A caller's name list: an area of `area` characters and a table for
// `max_names` names.
struct List {
  explicit List(int max_names_, std::size_t area = 4096)
      : max_names(max_names_),
        positions(static_cast<std::size_t>(max_names_) + 1, 0),
        names(area, ' ') {}
  Names get() const {
    Names result;
    for (int k = 1; k <= count; ++k) result.push_back(io::list_name(k, positions, names));
    return result;
  }
  // Fills the list from `values`, packed from the start of the area.
  void set(const Names& values) {
    count = 0;
    positions[0] = 1;
    std::size_t used = 0;
    for (const std::string& v : values) {
      names.replace(used, v.size(), v);
      used += v.size();
      positions[static_cast<std::size_t>(++count)] = static_cast<int>(used) + 1;
    }
  }
  int max_names;
  int count = -1;
  int retstat = -1;
  std::vector<int> positions;
  std::string names;
};

Names sorted(Names v) {
  std::sort(v.begin(), v.end());
  return v;
}

void touch(const kovtest::TempDir& dir, const std::string& name) {
  kovtest::write_file(dir.file(name), "x");
}

std::string current_directory() {
  return std::filesystem::current_path().string();
}

class DirectoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ST_DEF_SYSTEM(status);
    start_directory = current_directory();
  }
  void TearDown() override { std::filesystem::current_path(start_directory); }

  void list(bool directories, const std::string& dir, List& l) {
    IO_DIRECTORY(directories, l.max_names, l.retstat, l.count, l.positions, dir, l.names, status);
  }
  void list_files(const std::string& dir, const std::string& pattern, int type, List& l) {
    IO_LISTFILES(dir, pattern, type, l.max_names, l.retstat, l.count, l.positions, l.names, status);
  }
  bool match(const std::string& text, const std::string& pattern) {
    bool result = false;
    IO_STRINGMATCH(text, pattern, result, status);
    EXPECT_EQ(status, io::status_good) << text << " / " << pattern;
    return result;
  }

  int status = 0;
  std::string start_directory;
  kovtest::TempDir tmp;
};

TEST_F(DirectoryTest, EmptyDirectoryListsNothing) {
  List l(10);
  list(true, tmp.path(), l);
  EXPECT_EQ(status, io::status_good);
  EXPECT_EQ(l.retstat, 0);
  EXPECT_EQ(l.count, 0);
  EXPECT_EQ(l.positions[0], 1);
  list(false, tmp.path(), l);
  EXPECT_EQ(l.count, 0);
}

TEST_F(DirectoryTest, DirectoriesAndFilesListedSeparately) {
  touch(tmp, "a.tif");
  touch(tmp, "notes.txt");
  std::filesystem::create_directory(tmp.file("sub1"));
  std::filesystem::create_directory(tmp.file("sub2"));
  std::filesystem::create_directory_symlink(tmp.file("sub1"), tmp.file("link_dir"));
  std::filesystem::create_symlink(tmp.file("a.tif"), tmp.file("link_file"));
  std::filesystem::create_symlink(tmp.file("missing"), tmp.file("dangling"));

  List dirs(10);
  list(true, tmp.path(), dirs);
  EXPECT_EQ(dirs.retstat, 0);
  EXPECT_EQ(sorted(dirs.get()), (Names{"link_dir", "sub1", "sub2"}));

  // Trailing blanks of the directory name are not significant.
  List files(10);
  list(false, tmp.path() + "   ", files);
  EXPECT_EQ(files.retstat, 0);
  EXPECT_EQ(sorted(files.get()), (Names{"a.tif", "dangling", "link_file", "notes.txt"}));
  EXPECT_EQ(status, io::status_good);
  EXPECT_EQ(current_directory(), start_directory);

  // Both lists from one reading, in order, the pattern on the files only.
  Names d, f;
  int retstat = -1;
  IO_LISTENTRIES(tmp.path(), "*t*", retstat, d, f, status);
  EXPECT_EQ(retstat, 0);
  EXPECT_EQ(d, (Names{"link_dir", "sub1", "sub2"}));
  EXPECT_EQ(f, (Names{"a.tif", "notes.txt"}));
  IO_LISTENTRIES(tmp.file("missing"), "*", retstat, d, f, status);
  EXPECT_EQ(retstat, 1);
  EXPECT_TRUE(d.empty() && f.empty());
  EXPECT_EQ(status, io::status_good);
}

TEST_F(DirectoryTest, EmptyOrUnreadableDirectoryName) {
  List l(10);
  list(false, "", l);
  EXPECT_EQ(l.retstat, 0);
  EXPECT_EQ(l.count, 0);
  list(true, "  ", l);
  EXPECT_EQ(l.count, 0);

  // A missing directory, or a file, cannot be read: an empty list, reported.
  list(false, tmp.file("missing"), l);
  EXPECT_EQ(l.retstat, 1);
  EXPECT_EQ(l.count, 0);
  touch(tmp, "plain");
  list(true, tmp.file("plain"), l);
  EXPECT_EQ(l.retstat, 1);
  EXPECT_EQ(l.count, 0);
  EXPECT_EQ(status, io::status_good);
}

TEST_F(DirectoryTest, TableFullReturnsTwoWithNamesSoFar) {
  for (int i = 0; i < 5; ++i) touch(tmp, "f" + std::to_string(i));
  List l(3);
  list(false, tmp.path(), l);
  EXPECT_EQ(status, io::status_good);
  EXPECT_EQ(l.retstat, 2);
  ASSERT_EQ(l.count, 3);
  for (const std::string& name : l.get()) {
    EXPECT_EQ(name.size(), 2u);
    EXPECT_EQ(name[0], 'f');
  }
  EXPECT_EQ(l.positions[3], 7);

  // Exactly as many names as the table holds is a success.
  List exact(5);
  list(false, tmp.path(), exact);
  EXPECT_EQ(exact.retstat, 0);
  EXPECT_EQ(exact.count, 5);
}

TEST_F(DirectoryTest, AreaOverflowReturnsThreeDroppingThatName) {
  touch(tmp, "aaaa");
  touch(tmp, "bbbb");
  touch(tmp, "cccc");
  List l(10, 10);  // room for two names of four characters
  list(false, tmp.path(), l);
  EXPECT_EQ(l.retstat, 3);
  ASSERT_EQ(l.count, 2);
  EXPECT_EQ(l.positions[2], 9);
  EXPECT_EQ(l.names.size(), 10u);  // the caller's area never grows
  for (const std::string& name : l.get()) EXPECT_EQ(name.size(), 4u);

  List exact(10, 12);
  list(false, tmp.path(), exact);
  EXPECT_EQ(exact.retstat, 0);
  EXPECT_EQ(exact.count, 3);
}

// (The statuses of bad list arguments are in the table of argument errors,
// test_status.cpp.)
TEST_F(DirectoryTest, BadStatusLeavesAListAsItWas) {
  List l(5);
  status = 10033;
  l.set({"b", "a"});
  IO_FILESORDER(2, l.positions, l.names, status);
  EXPECT_EQ(l.get(), (Names{"b", "a"}));
}

TEST_F(DirectoryTest, ListFilesFiltersAndSorts) {
  for (const char* name : {"scan_0002.tif", "a.tiff", "scan_0001.tif", "B.TIF", "a.tif", "x.txt"}) {
    touch(tmp, name);
  }
  std::filesystem::create_directory(tmp.file("dir.tif"));

  List l(20);
  list_files(tmp.path(), "*.tif", io::file_type_any, l);
  EXPECT_EQ(status, io::status_good);
  EXPECT_EQ(l.retstat, 0);
  EXPECT_EQ(l.get(), (Names{"a.tif", "scan_0001.tif", "scan_0002.tif"}));

  list_files(tmp.path(), "scan*", io::file_type_any, l);
  EXPECT_EQ(l.get(), (Names{"scan_0001.tif", "scan_0002.tif"}));

  list_files(tmp.path(), "*", io::file_type_any, l);
  EXPECT_EQ(l.get(),
            (Names{"B.TIF", "a.tif", "a.tiff", "scan_0001.tif", "scan_0002.tif", "x.txt"}));

  list_files(tmp.path(), "*", io::file_type_tiff, l);
  EXPECT_EQ(l.get(), (Names{"B.TIF", "a.tif", "a.tiff", "scan_0001.tif", "scan_0002.tif"}));

  list_files(tmp.path(), "*", io::file_type_text, l);
  EXPECT_EQ(l.get(), (Names{"x.txt"}));

  // An overflowing listing still gives a filtered, sorted, usable list.
  List small(4);
  list_files(tmp.path(), "*", io::file_type_any, small);
  EXPECT_EQ(small.retstat, 2);
  EXPECT_LE(small.count, 4);
  const Names partial = small.get();
  EXPECT_TRUE(std::is_sorted(partial.begin(), partial.end()));

  list_files(tmp.path(), "  ", io::file_type_any, l);
  EXPECT_EQ(status, 10033);
}

// The vector forms give what the packed forms give, with no capacity.
TEST_F(DirectoryTest, VectorListsMatchThePackedLists) {
  const std::string long_name = std::string(240, 'l') + ".tif";
  for (const std::string& name :
       {std::string("scan_0002.tif"), std::string("a.tiff"), std::string("B.TIF"),
        std::string("x.txt"), std::string("blank end.tif  "), long_name}) {
    touch(tmp, name);
  }
  std::filesystem::create_directory(tmp.file("dir.tif"));
  std::filesystem::create_directory(tmp.file("sub"));

  const std::vector<std::pair<const char*, int>> requests = {
      {"*", io::file_type_any},     {"*.tif", io::file_type_any}, {"*", io::file_type_tiff},
      {"scan*", io::file_type_any}, {"*", io::file_type_text},    {"none*", io::file_type_any}};
  for (const auto& [pattern, type] : requests) {
    SCOPED_TRACE(std::string(pattern) + " " + std::to_string(type));
    List packed(20);
    list_files(tmp.path(), pattern, type, packed);
    Names vector{"stale"};
    int retstat = -1;
    IO_LISTFILES(tmp.path(), pattern, type, retstat, vector, status);
    EXPECT_EQ(retstat, 0);
    EXPECT_EQ(vector, packed.get());
  }
  for (const bool directories : {true, false}) {
    List packed(20);
    list(directories, tmp.path(), packed);
    Names vector;
    int retstat = -1;
    IO_DIRECTORY(directories, retstat, tmp.path(), vector, status);
    EXPECT_EQ(retstat, 0);
    EXPECT_EQ(vector, packed.get());  // the same system order
  }
  EXPECT_EQ(status, io::status_good);

  // Missing and empty directory names, an empty pattern, a bad status.
  Names names{"stale"};
  int retstat = -1;
  IO_DIRECTORY(false, retstat, tmp.file("missing"), names, status);
  EXPECT_EQ(retstat, 1);
  EXPECT_TRUE(names.empty());
  names = {"stale"};
  IO_LISTFILES(" ", "*", io::file_type_any, retstat, names, status);
  EXPECT_EQ(retstat, 0);
  EXPECT_TRUE(names.empty());
  names = {"b", "a"};
  status = 10033;  // entered with a bad status, nothing is sorted
  IO_FILESORDER(names, status);
  EXPECT_EQ(names, (Names{"b", "a"}));
}

// More names than any packed area of the tool would hold (the benchmark
// lists 100,000 files and 10,000 directories).
TEST_F(DirectoryTest, VectorListHoldsManyDirectoriesOfAnyLength) {
  Names expected;
  for (int i = 0; i < 500; ++i) {
    expected.push_back("d" + std::to_string(i) +
                       std::string(static_cast<std::size_t>(i % 250), 'x'));
    ASSERT_EQ(mkdir(tmp.file(expected.back()).c_str(), 0755), 0);
  }
  touch(tmp, "file.tif");
  Names names;
  int retstat = -1;
  IO_DIRECTORY(true, retstat, tmp.path(), names, status);
  EXPECT_EQ(retstat, 0);
  IO_FILESORDER(names, status);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(names, expected);
  EXPECT_EQ(status, io::status_good);
}

TEST_F(DirectoryTest, FilesMatchKeepsOrderOfTheRest) {
  List l(10);
  l.set({"z.tif", "a.tiff", "m.tif", "q", "b.tif"});
  IO_FILESMATCH("*.tif", l.count, l.positions, l.names, status);
  EXPECT_EQ(status, io::status_good);
  EXPECT_EQ(l.get(), (Names{"z.tif", "m.tif", "b.tif"}));
  EXPECT_EQ(l.positions[3], 16);

  // A name with no significant character matches only a pattern of stars
  // and never fails the list.
  l.set({"   ", "a"});
  IO_FILESMATCH("a*", l.count, l.positions, l.names, status);
  EXPECT_EQ(status, io::status_good);
  EXPECT_EQ(l.get(), (Names{"a"}));
}

TEST_F(DirectoryTest, FileTypes) {
  const auto type = [this](const std::string& name) {
    int t = -1;
    IO_FILETYPE(name, t, status);
    return t;
  };
  EXPECT_EQ(type("a.tif"), io::file_type_tiff);
  EXPECT_EQ(type("/data/run.d/A.TIFF"), io::file_type_tiff);
  EXPECT_EQ(type("x.mar3450"), io::file_type_image);
  EXPECT_EQ(type("page.ps"), io::file_type_postscript);
  EXPECT_EQ(type("help.txt  "), io::file_type_text);
  EXPECT_EQ(type("run01"), io::file_type_other);
  EXPECT_EQ(type("run.d/run01"), io::file_type_other);  // the dot is in the directory
  EXPECT_EQ(type(".tif"), io::file_type_other);         // a hidden name, no extension
  EXPECT_EQ(type("a.tif.gz"), io::file_type_other);

  List l(10);
  l.set({"a.ps", "b.tif", "c.img", "d.eps"});
  IO_FILESTYPE(io::file_type_postscript, l.count, l.positions, l.names, status);
  EXPECT_EQ(l.get(), (Names{"a.ps", "d.eps"}));
  EXPECT_EQ(status, io::status_good);
}

TEST_F(DirectoryTest, SortByteOrder) {
  List l(10);
  l.set({"b", "B", "a", "ab"});
  IO_FILESORDER(l.count, l.positions, l.names, status);
  EXPECT_EQ(status, io::status_good);
  EXPECT_EQ(l.get(), (Names{"B", "a", "ab", "b"}));

  // Character codes above 127 come after ASCII; a prefix comes first.
  l.set({"\xc3\xa9t\xc3\xa9", "zz", "abc", "ab", "Z", "_", "1"});
  IO_FILESORDER(l.count, l.positions, l.names, status);
  EXPECT_EQ(l.get(), (Names{"1", "Z", "_", "ab", "abc", "zz", "\xc3\xa9t\xc3\xa9"}));
  EXPECT_EQ(l.positions[7], 16);
}

TEST_F(DirectoryTest, SortOfManyNamesInAListNotAtTheAreaStart) {
  const int n = 10000;
  List l(n, 200000);
  Names values;
  for (int i = 0; i < n; ++i) values.push_back("f" + std::to_string((i * 7919) % n));
  l.set(values);
  // Shift the list to start at position 5 of the area.
  l.names.insert(0, "####");
  l.names.resize(200000);
  for (int& p : l.positions) p += 4;
  IO_FILESORDER(l.count, l.positions, l.names, status);
  EXPECT_EQ(status, io::status_good);
  EXPECT_EQ(l.names.substr(0, 4), "####");
  EXPECT_EQ(l.get(), sorted(values));
}

TEST_F(DirectoryTest, WildCardMatching) {
  EXPECT_TRUE(match("a.tif", "*.tif"));
  EXPECT_FALSE(match("a.tiff", "*.tif"));
  EXPECT_TRUE(match("scan_0001.tif", "scan*"));
  EXPECT_TRUE(match("anything", "*"));
  EXPECT_TRUE(match("anything", "**"));
  // Without a star only equal texts match; case is significant; trailing
  // blanks are not.
  EXPECT_TRUE(match("abc  ", "abc"));
  EXPECT_TRUE(match("abc", "abc \t"));
  EXPECT_FALSE(match("abcd", "abc"));
  EXPECT_FALSE(match("ABC", "abc"));
  // The first piece opens the text, the last one closes it.
  EXPECT_FALSE(match("xab", "ab*"));
  EXPECT_FALSE(match("abx", "*ab"));
  EXPECT_TRUE(match("abab", "*b"));
  EXPECT_TRUE(match("abab", "a*b*b"));
  EXPECT_TRUE(match("abcab", "ab*ab"));
  // Pieces may not overlap.
  EXPECT_FALSE(match("ab", "ab*b"));
  EXPECT_FALSE(match("aba", "ab*ba"));
  EXPECT_FALSE(match("a", "a*a"));
  EXPECT_TRUE(match("aa", "a*a"));
  // Middle pieces are taken leftmost and in order.
  EXPECT_TRUE(match("x1y2z", "*1*2*"));
  EXPECT_FALSE(match("x2y1z", "*1*2*"));
  EXPECT_TRUE(match("scan_0001_dark.tif", "scan*dark*.tif"));
  EXPECT_FALSE(match("scan_0001_dark.tiff", "scan*dark*.tif"));
}

TEST_F(DirectoryTest, ChangeDirectory) {
  std::filesystem::create_directories(tmp.file("a/b"));
  // The temporary directory may lie under a symbolic link: compare with the
  // name as given.
  std::string directory = tmp.path();
  int retstat = -1;
  IO_CHANGEDIR(directory, "a", retstat, status);
  EXPECT_EQ(retstat, 0);
  EXPECT_EQ(directory, tmp.file("a"));
  EXPECT_TRUE(std::filesystem::equivalent(current_directory(), tmp.file("a")));

  IO_CHANGEDIR(directory, "b/", retstat, status);
  EXPECT_EQ(directory, tmp.file("a/b"));
  IO_CHANGEDIR(directory, "..", retstat, status);
  EXPECT_EQ(directory, tmp.file("a"));
  EXPECT_TRUE(std::filesystem::equivalent(current_directory(), tmp.file("a")));

  // An absolute selection ignores the directory it starts from.
  IO_CHANGEDIR(directory, tmp.path() + "/./a//b", retstat, status);
  EXPECT_EQ(directory, tmp.file("a/b"));

  // A relative directory is taken from the current one.
  std::filesystem::current_path(tmp.path());
  directory = "a";
  IO_CHANGEDIR(directory, "b", retstat, status);
  EXPECT_EQ(directory, tmp.file("a/b"));

  // Failure leaves the directory and the current directory alone.
  touch(tmp, "plain");
  IO_CHANGEDIR(directory, "../../missing", retstat, status);
  EXPECT_EQ(retstat, 1);
  EXPECT_EQ(directory, tmp.file("a/b"));
  EXPECT_TRUE(std::filesystem::equivalent(current_directory(), tmp.file("a/b")));
  IO_CHANGEDIR(directory, tmp.file("plain"), retstat, status);
  EXPECT_EQ(retstat, 1);

  directory = "/";
  IO_CHANGEDIR(directory, "../..", retstat, status);
  EXPECT_EQ(retstat, 0);
  EXPECT_EQ(directory, "/");
  EXPECT_EQ(status, io::status_good);
}

TEST_F(DirectoryTest, UpDirectory) {
  std::filesystem::create_directories(tmp.file("a/b"));
  std::string directory = tmp.file("a/b/");
  IO_UP_DIRECTORY(directory, status);
  EXPECT_EQ(directory, tmp.file("a"));
  EXPECT_TRUE(std::filesystem::equivalent(current_directory(), tmp.file("a")));

  directory = "/tmp";
  IO_UP_DIRECTORY(directory, status);
  EXPECT_EQ(directory, "/");
  IO_UP_DIRECTORY(directory, status);
  EXPECT_EQ(directory, "/");  // the root stays
  directory = "relative";
  IO_UP_DIRECTORY(directory, status);
  EXPECT_EQ(directory, "relative");
  EXPECT_EQ(status, io::status_good);
}

TEST_F(DirectoryTest, LastOccurrenceAndCurrentDirectory) {
  EXPECT_EQ(IO_LASTOCCURENCE("/a/b/c", '/'), 5);
  EXPECT_EQ(IO_LASTOCCURENCE("abc", '/'), -1);
  EXPECT_EQ(IO_LASTOCCURENCE("ab c   ", ' '), 3);  // only up to the significant length
  EXPECT_EQ(IO_LASTOCCURENCE("", 'a'), -1);
  EXPECT_EQ(IO_LASTOCCURENCE("a", 'a'), 1);

  std::string directory;
  IO_GETCWD(directory, status);
  EXPECT_EQ(status, io::status_good);
  EXPECT_EQ(directory, start_directory);

  List l(2);
  l.set({"ab", "c"});
  EXPECT_EQ(io::list_name(0, l.positions, l.names), "");
  EXPECT_EQ(io::list_name(3, l.positions, l.names), "");
}

}  // namespace
