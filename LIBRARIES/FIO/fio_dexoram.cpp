// X/Y graph data in ASCII columns: one point a line, its X value then its Y
// value, separated by blanks, tabs or a comma. Blank lines and lines whose
// first character other than a blank is "#" or "!" are comments. The points
// become a one-row image whose X axis holds the X values, so that the
// display draws them as a graph. Also the text-line services of the other
// readers of text headers.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>

#include "fio_internal.h"

namespace {

constexpr const char* format = "DEXORAM";

bool comment(const std::string& line) {
  const std::size_t first = line.find_first_not_of(" \t");
  return first == std::string::npos || line[first] == '#' || line[first] == '!';
}

// The points of the file open in the input slot: the first `keep` of them
// into x and y, all of them counted; "" or the first line of the warning
// that refuses the file.
std::string read_points(std::size_t keep, std::vector<float>& x, std::vector<float>& y,
                        int& count) {
  count = 0;
  std::string line;
  std::vector<double> values;
  for (long long number = 1;; ++number) {
    const fio::TextLine got = fio::text_line(line);
    if (got == fio::TextLine::end) break;
    const auto where = [&] {
      return "WARNING: Line " + std::to_string(number) + " of the " + format + " file ";
    };
    if (got == fio::TextLine::too_long) {
      return where() + "is longer than " + std::to_string(fio::text_line_limit) + " characters:";
    }
    if (comment(line)) continue;
    if (!fio::numbers_of(line, values) || values.size() != 2) {
      return where() + "is not two numbers (X and Y): \"" + line.substr(0, 40) + "\"";
    }
    if (std::fabs(values[0]) > FLT_MAX || std::fabs(values[1]) > FLT_MAX) {
      return where() + "holds a number beyond the range of reals:";
    }
    if (static_cast<std::size_t>(count) < keep) {
      x.push_back(static_cast<float>(values[0]));
      y.push_back(static_cast<float>(values[1]));
    }
    if (count == 2147483647)
      return "WARNING: Too many points in the " + std::string(format) + " file:";
    ++count;
  }
  if (count == 0) return "WARNING: No X/Y points in the " + std::string(format) + " file:";
  return "";
}

}  // namespace

namespace fio {

TextLine text_line(std::string& line) {
  int result = 0;
  FIO_ASCIIREADC(input_file, text_line_limit + 2, result, line);
  if (result != stream_done) return TextLine::end;
  const bool whole = line.back() == '\n';
  line = io::trimmed(line);
  if (!whole && static_cast<int>(line.size()) > text_line_limit) return TextLine::too_long;
  return TextLine::read;
}

bool numbers_of(const std::string& line, std::vector<double>& numbers) {
  numbers.clear();
  std::size_t at = 0;
  for (;;) {
    at = line.find_first_not_of(" \t,", at);
    if (at == std::string::npos) return true;
    const std::size_t end = std::min(line.find_first_of(" \t,", at), line.size());
    const std::string word = line.substr(at, end - at);
    char* stop = nullptr;
    const double v = std::strtod(word.c_str(), &stop);
    if (stop != word.c_str() + word.size() || !std::isfinite(v)) return false;
    numbers.push_back(v);
    at = end;
  }
}

void refuse(const std::string& problem, const std::string& file_name, int& status) {
  warn({problem, "         " + io::trimmed(file_name)}, status);
}

bool begin_with_header(Result& r, const char* identification,
                       const std::function<std::string()>& header, int& status) {
  if (!begin_input(r, identification, status) || !open_data(false, "", "", r, status)) return false;
  const std::string problem = header();
  if (problem.empty()) return true;
  close_input();
  refuse(problem, r.file_name, status);
  return false;
}

bool open_beside(const std::string& file_name, int& status) {
  int result = 0, file_id = 0;
  std::string name = file_name;
  open_named(false, "", "", "READ", name, result, file_id, status);
  if (status != io::status_good) return false;
  if (result == stream_done) return true;
  refuse("WARNING: Error in opening the data file beside the header:", file_name, status);
  return false;
}

bool dexoram_size(const std::string&, int& width, int& height, int&) {
  std::vector<float> x, y;
  int count = 0;
  if (!read_points(0, x, y, count).empty()) return false;
  width = count;
  height = 1;
  return true;
}

}  // namespace fio

void FIO_IN_DEXORAM(FIO_RESULT_ARGS, int& status) {
  constexpr const char* id = "Subroutine FIO_IN_DEXORAM V0.2 ";
  if (!io::entry_ok(status, id)) return;
  fio::Result r{FIO_RESULT_PASS};
  std::vector<float> x, y;
  int count = 0;
  const auto points = [&] {
    return read_points(static_cast<std::size_t>(std::max(data.xmaxdat, 0)), x, y, count);
  };
  if (!fio::begin_with_header(r, id, points, status)) return;
  fio::close_input();
  xnumdat = static_cast<int>(x.size());
  ynumdat = 1;
  for (int i = 1; i <= xnumdat; ++i) data(i, 1) = y[static_cast<std::size_t>(i - 1)];
  retstat = fio::input_done;
  fio::finish_input(r);
  std::copy(x.begin(), x.end(), x_axis.begin());
  xlabel = "X";
  zlabel = "Y";
  if (count > xnumdat) {
    io::say("INFO: The file holds " + std::to_string(count) + " points; the first " +
            std::to_string(xnumdat) + " are input");
  }
}
