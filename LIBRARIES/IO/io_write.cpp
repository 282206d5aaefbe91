// Console and text-file line output, and the significant length of a text.
#include <cerrno>
#include <cstdio>
#include <string>

#include "io.h"
#include "io_internal.h"
#include "io_testing.h"

namespace {

io::ConsoleSink console_sink = nullptr;
void* console_context = nullptr;

FILE* units[io::max_unit + 1] = {};

void console(const std::string& text, bool newline) {
  if (console_sink != nullptr) {
    console_sink(text, newline, console_context);
    return;
  }
  std::fwrite(text.data(), 1, text.size(), stdout);
  if (newline) std::fputc('\n', stdout);
  // A prompt must be visible before input is read, and console lines must
  // keep their order with anything the child processes write.
  std::fflush(stdout);
}

}  // namespace

namespace io {

void set_console_sink(ConsoleSink sink, void* context) {
  console_sink = sink;
  console_context = context;
}

FILE* unit_stream(int unit) {
  return unit >= 1 && unit <= max_unit ? units[unit] : nullptr;
}

void set_unit_stream(int unit, FILE* stream) {
  if (unit >= 1 && unit <= max_unit) units[unit] = stream;
}

std::string fixed_width(const std::string& text, std::size_t width) {
  std::string result = text.substr(0, width);
  result.resize(width, ' ');
  return result;
}

bool unit_ok(int unit, const char* ident, int& status) {
  if (unit >= 1 && unit <= max_unit) return true;
  status = io::status_bad_unit;
  ST_SAVE(ident);
  return false;
}

bool name_ok(const std::string& file_name, const char* ident, int& status) {
  if (SLEN(file_name) != 0) return true;
  status = io::status_bad_text;
  ST_SAVE(ident);
  return false;
}

}  // namespace io

int SLEN(const std::string& text) {
  for (std::size_t i = text.size(); i > 0; --i) {
    const char c = text[i - 1];
    if (c != ' ' && c != '\r' && c != '\n' && c != '\t' && c != '\0') return static_cast<int>(i);
  }
  return 0;
}

void IO_WRITE(const std::string& message, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_WRITE V0.1 ")) return;
  console(io::trimmed(message), true);
}

void IO_WRITENA(const std::string& message, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_WRITENA V0.1 ")) return;
  console(io::trimmed(message), false);
}

void IO_WRITE_FILE(int unit, const std::string& message, int& status) {
  static const char* const ident = "Subroutine IO_WRITE_FILE V0.2 ";
  if (!io::entry_ok(status, ident) || !io::unit_ok(unit, ident, status)) return;
  FILE* stream = io::unit_stream(unit);
  int system_status = EBADF;
  if (stream != nullptr) {
    const std::string line = io::trimmed(message) + "\n";
    errno = 0;
    if (std::fwrite(line.data(), 1, line.size(), stream) == line.size() && !std::ferror(stream)) {
      return;
    }
    system_status = errno != 0 ? errno : EIO;
  }
  status = io::status_write_failed;
  ST_SAVE(ident);
  io::report_write_failure(system_status);
}
