// Fixtures of the graphics tests.
#include "vg_fixture.h"

#include "gs.h"

namespace kovtest {

void open_graphics(const std::vector<std::string>& arguments, int& status) {
  std::vector<std::string> args{"kov_master"};
  args.insert(args.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  IO_SET_ARGS(static_cast<int>(args.size()), argv.data());
  ST_DEF_SYSTEM(status);
  GS_OPEN_GRAPHICS(status);
}

void close_graphics() {
  int s = io::status_good;
  GS_CLOSE_GRAPHICS(s);
  IO_SET_ARGS(0, nullptr);
}

Graphics::Graphics(const std::vector<std::string>& arguments, float text_width_factor) {
  window.set_text_width_factor(text_width_factor);
  open_graphics(arguments, status);
}

Graphics::~Graphics() {
  close_graphics();
}

int Graphics::index(int colour) const {
  int i = 0, s = io::status_good;
  GS_INQ_COLOURINDEX(colour, i, s);
  return i;
}

DeviceCall Graphics::text_call(const std::string& text) const {
  for (const auto& c : window.calls_of("text")) {
    if (c.text == text) return c;
  }
  ADD_FAILURE() << "no text \"" << text << "\"";
  return {};
}

}  // namespace kovtest
