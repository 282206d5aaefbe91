// The macro side of a widget's answer: read from a replayed macro in place
// of the window, and kept for the macro being recorded. Not part of the
// public API.
#pragma once

#include <string>

#include "io.h"

namespace gs {

// One widget's answer. Only the outermost widget reads its answer from the
// macro or records it: the widgets it calls on its way (helps,
// confirmations, its own menus and typed lines) take theirs in the window
// and record nothing.
class MacroTurn {
 public:
  MacroTurn();
  // A macro is replayed and this widget's answer comes from it.
  bool replaying() const { return replaying_; }
  // After the macro's answer was read: the line "MENU CHOICE (GRAPHICAL"
  // (io::status_to_graphics) hands this one answer to the window, and true
  // is returned with the status good again; without a window the run stops.
  // False for any other status.
  bool back_to_window(int& status);
  // Keeps the answer, with the item as its comment, in the macro recorded.
  void record(const std::string& item, const std::string& answer, int& status);

 private:
  io::MacroAnswer answer_;
  bool replaying_ = false;
};

// Whether a macro is replayed or recorded.
bool macro_active();
// Whether a macro is replayed.
bool macro_replayed();

// A real as a macro answer: read back to the same value.
std::string macro_real(float value);

}  // namespace gs
