#include "console_capture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "io.h"
#include "io_testing.h"

namespace kovtest {

ConsoleCapture::ConsoleCapture() {
  io::set_console_sink(&ConsoleCapture::sink, this);
}
ConsoleCapture::~ConsoleCapture() {
  io::set_console_sink(nullptr, nullptr);
}

void ConsoleCapture::sink(const std::string& text, bool newline, void* self) {
  auto* capture = static_cast<ConsoleCapture*>(self);
  capture->pending_ += text;
  if (newline) {
    capture->lines_.push_back(capture->pending_);
    capture->pending_.clear();
  }
}

std::string ConsoleCapture::text() const {
  std::string all;
  for (const auto& line : lines_) all += line + "\n";
  return all + pending_;
}

void ConsoleCapture::clear() {
  lines_.clear();
  pending_.clear();
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kovtest-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  // Read-only directories made by a test must not stop the clean-up.
  for (auto& entry : std::filesystem::recursive_directory_iterator(path_, ec)) {
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  }
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void write_file(const std::string& path, const std::string& contents) {
  std::ofstream out(path, std::ios::binary);
  out << contents;
}

std::string output_dir() {
  const char* dir = std::getenv("KOV_TEST_OUTPUT");
  std::string path = dir != nullptr ? dir : "test-output";
  std::filesystem::create_directories(path);
  return path;
}

}  // namespace kovtest
