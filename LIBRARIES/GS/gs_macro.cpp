// The widgets' answers from a macro file, and their recording.
#include "gs_macro.h"

#include <cstdio>
#include <vector>

#include "gs_dialogs.h"

namespace gs {

MacroTurn::MacroTurn() : replaying_(answer_.outermost() && macro_replayed()) {}

bool MacroTurn::back_to_window(int& status) {
  if (status != io::status_to_graphics) return false;
  status = io::status_good;
  if (!window_shown()) {
    IO_MACRO_REFUSE({"The macro hands this answer to the graphics window; there is none"}, status);
    return false;
  }
  io::say("INFO: Control returned to graphics window");
  replaying_ = false;
  return true;
}

void MacroTurn::record(const std::string& item, const std::string& answer, int& status) {
  answer_.record(item, answer, status);
}

bool macro_active() {
  bool replay = false, record = false;
  int status = io::status_good;
  IO_INQ_MACRO(replay, record, status);
  return replay || record;
}

bool macro_replayed() {
  bool replay = false, record = false;
  int status = io::status_good;
  IO_INQ_MACRO(replay, record, status);
  return replay;
}

std::string macro_real(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
  return text;
}

void refuse(const std::vector<std::string>& lines, int& status) {
  if (macro_replayed()) {
    IO_MACRO_REFUSE(lines, status);
    return;
  }
  const int count = static_cast<int>(lines.size());
  GS_FWARNING(count, count, lines, status);
}

}  // namespace gs
