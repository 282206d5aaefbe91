// Services shared by the readers: warnings, the checks
// and completion of the image input result, opening the data file.
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

#include "fio_internal.h"
#include "gs.h"
#include "vg.h"

namespace fio {

bool window_open() {
  int s = io::status_good;
  bool open = false;
  VG_INQ_WKOPEN(gs::window_workstation, open, s);
  return open && s == io::status_good;
}

void warn(std::span<const std::string> lines, int& status) {
  if (status != io::status_good) return;
  if (window_open()) {
    // A file the macro names and the reader refuses stops the macro.
    gs::refuse(std::vector<std::string>(lines.begin(), lines.end()), status);
    return;
  }
  for (const auto& line : lines) io::say(line);
}

void warn(std::initializer_list<std::string> lines, int& status) {
  const std::vector<std::string> v(lines);
  warn(std::span<const std::string>(v), status);
}

std::string right(long long value, int width) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%*lld", width, value);
  return buffer;
}

bool checks_pass(std::initializer_list<Check> checks, const char* identification, int& status) {
  for (const Check& c : checks) {
    if (c.bad) {
      io::fail(c.code, identification, status);
      return false;
    }
  }
  return true;
}

bool check_array(io::View2D<float> data, const char* identification, int& status) {
  return checks_pass({{data.data == nullptr || data.xmaxdat < 1, status_bad_width},
                      {data.ymaxdat < 1, status_bad_height}},
                     identification, status);
}

bool check_result(const Result& r, const char* identification, int& status) {
  const io::View2D<float>& d = r.data;
  const io::View2D<float>& v = r.var_data;
  return check_array(d, identification, status) &&
         checks_pass(
             {{r.x_axis.size() < static_cast<std::size_t>(d.xmaxdat), status_bad_width},
              {r.y_axis.size() < static_cast<std::size_t>(d.ymaxdat), status_bad_height},
              {r.variances && (v.data == nullptr || v.xmaxdat != d.xmaxdat), status_bad_width},
              {r.variances && v.ymaxdat != d.ymaxdat, status_bad_height}},
             identification, status);
}

bool begin_input(Result& r, const char* identification, int& status) {
  if (!check_result(r, identification, status)) return false;
  r.retstat = input_failed;
  r.xnumdat = 0;
  r.ynumdat = 0;
  return true;
}

bool open_data(bool prompt, const std::string& item, const std::string& prompt_text, Result& r,
               int& status) {
  int result = 0, file_id = 0;
  open_named(prompt, item, prompt_text, "READ", r.file_name, result, file_id, status);
  if (status != io::status_good) return false;
  if (result == stream_done) return true;
  if (prompt) {
    r.retstat = input_cancelled;
  } else {
    warn({"WARNING: Error in opening file: " + io::trimmed(r.file_name)}, status);
  }
  return false;
}

void show_inputting(int& status) {
  if (!window_open()) return;
  const std::array<std::string, 1> inputting{"INPUTTING DATA FROM FILE"};
  GS_FPROMPT(1, 1, inputting, status);
  GS_UPDATE(status);
}

namespace {
std::vector<std::string>& notes() {
  static std::vector<std::string> lines;
  return lines;
}
}  // namespace

void note(const std::string& line) {
  io::say(line);
  notes().push_back(line);
}

void note_images(long long images) {
  if (images > 1) {
    note("INFO: The file holds " + std::to_string(images) + " images; the first is input");
  }
}

void clear_notes() {
  notes().clear();
}

std::vector<std::string> input_notes() {
  return notes();
}

void finish_input(Result& r) {
  for (int i = 1; i <= r.data.xmaxdat; ++i) r.x_axis[i - 1] = static_cast<float>(i) - 0.5f;
  for (int j = 1; j <= r.data.ymaxdat; ++j) r.y_axis[j - 1] = static_cast<float>(j) - 0.5f;
  r.xlabel = "Columns";
  r.ylabel = "Rows";
  r.zlabel = "Intensity";
  if (!r.variances) return;
  const int nx = std::min(r.xnumdat, r.data.xmaxdat);
  const int ny = std::min(r.ynumdat, r.data.ymaxdat);
  for (int y = 1; y <= ny; ++y) {
    for (int x = 1; x <= nx; ++x) r.var_data(x, y) = std::max(r.data(x, y), 0.0f);
  }
}

void open_named(bool prompt, const std::string& item, const std::string& prompt_text,
                const std::string& mode, std::string& file_name, int& result, int& file_id,
                int& status) {
  constexpr const char* id = "Subroutine FIO_OPENFILE V0.3 ";
  if (!io::entry_ok(status, id)) return;
  result = 1;
  const std::array<std::string, 1> help{"Enter the name of the file to open"};
  const std::array<std::string, 1> error{"Unacceptable input"};
  for (;;) {
    if (prompt) {
      IO_INPC(true, item, prompt_text, 1, help, 1, error, file_name, status);
      if (status == io::status_escape) {
        ST_DEF_SYSTEM(status);
        return;
      }
      if (status != io::status_good) return;
    }
    int retstat = 0;
    std::string path;
    IO_TRANS_PATH(file_name, retstat, path, status);
    if (status != io::status_good) return;
    if (retstat != 0 || SLEN(path) == 0) {
      if (!prompt) return;
      io::say("Error in opening file, Please retype name");
      continue;
    }
    FIO_FILEOPEN(path, mode, result, file_id, status);
    if (status != io::status_good) return;
    if (result == stream_done) return;
    if (!prompt) return;
    io::say("Error in opening file, Please retype name");
  }
}

void close_input() {
  int result = 0;
  FIO_FILECLOSEC(input_file, result);
}

bool file_exists(const std::string& file_name) {
  int s = io::status_good, retstat = 0;
  std::string path;
  IO_TRANS_PATH(file_name, retstat, path, s);
  if (s != io::status_good || retstat != 0 || SLEN(path) == 0) return false;
  bool exists = false;
  IO_FILEEXIST(path, exists, s);
  return exists && s == io::status_good;
}

bool read_file_start(std::span<std::uint8_t> start) {
  int result = 0, got = 0;
  const int n = static_cast<int>(start.size());
  FIO_FILEPREADC(input_file, 0, n, n, reverse_none, result, got, std::as_writable_bytes(start));
  return got == n;
}

std::uint32_t little_endian(const std::uint8_t* p, int n) {
  std::uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

void not_available(const char* format_name, bool layout_unknown, Result& r, int& status) {
  r.retstat = input_failed;
  r.xnumdat = 0;
  r.ynumdat = 0;
  std::vector<std::string> lines{
      "WARNING: Input of the \"" + std::string(format_name) + "\" format is not available",
      "         in this version of the program: nothing has been input"};
  if (layout_unknown)
    lines.push_back("         The layout of this format is not known to this program");
  warn(lines, status);
}

}  // namespace fio
