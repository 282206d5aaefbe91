// The widgets' answers from a macro file, and their recording.
#include <vector>

#include "gs_dialogs.h"

namespace gs {

void refuse(const std::vector<std::string>& lines, int& status) {
  bool replay = false;
  bool record = false;
  IO_INQ_MACRO(replay, record, status);
  if (replay) {
    IO_MACRO_REFUSE(lines, status);
    return;
  }
  const int count = static_cast<int>(lines.size());
  GS_FWARNING(count, count, lines, status);
}

}  // namespace gs
