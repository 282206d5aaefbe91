// Captures the console lines written through IO_WRITE and IO_WRITENA.
#pragma once

#include <string>
#include <vector>

namespace kovtest {

// A helper that holds something for its lifetime and is not copied.
struct Uncopyable {
  Uncopyable() = default;
  Uncopyable(const Uncopyable&) = delete;
  Uncopyable& operator=(const Uncopyable&) = delete;
};

class ConsoleCapture : Uncopyable {
 public:
  ConsoleCapture();
  ~ConsoleCapture();

  // Complete lines written so far (a line ended by IO_WRITE).
  const std::vector<std::string>& lines() const { return lines_; }
  // Text written by IO_WRITENA and not yet ended.
  const std::string& pending() const { return pending_; }
  // Everything, lines joined with '\n'.
  std::string text() const;
  void clear();

 private:
  static void sink(const std::string& text, bool newline, void* self);
  std::vector<std::string> lines_;
  std::string pending_;
};

// A fresh temporary directory, removed with everything in it on destruction.
class TempDir : Uncopyable {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Whole contents of a file ("" when it cannot be read).
std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& contents);

// Directory where tests leave the files they make (PostScript, screenshots).
std::string output_dir();

}  // namespace kovtest
