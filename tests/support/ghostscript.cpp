#include "ghostscript.h"

#include <cstdlib>

#include "console_capture.h"

namespace kovtest {

bool have_ghostscript() {
  return std::system("gs --version > /dev/null 2>&1") == 0;
}

std::string render_postscript(const std::string& ps, const std::string& device,
                              const std::string& out, bool& ok, int dpi) {
  const std::string log = out + ".log";
  const std::string command = "gs -dSAFER -dBATCH -dNOPAUSE -sPAPERSIZE=a4 -sDEVICE=" + device +
                              " -r" + std::to_string(dpi) + " -sOutputFile=" + out + " " + ps +
                              " > " + log + " 2>&1";
  const int result = std::system(command.c_str());
  const std::string text = read_file(log);
  ok = result == 0 && text.find("Error") == std::string::npos;
  return text;
}

}  // namespace kovtest
