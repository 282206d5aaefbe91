// Diversion of drawing into a PostScript file on unit 17 (workstation 2).
#include <algorithm>
#include <array>
#include <cerrno>
#include <string>

#include "gs.h"
#include "gs_internal.h"
#include "gs_macro.h"

namespace {

// The prompt line shown in the GUI region while a file is written.
void show_writing_prompt(int& status) {
  const gs::WidgetScope scope;
  gs::Box gui;
  GS_INQ_GUIREGION(gui, status);
  const std::string text = "WRITING GRAPHICS FILE: PLEASE WAIT";
  const float h = std::min(0.5f * (gui.ymax - gui.ymin),
                           1.4f * (gui.xmax - gui.xmin) / static_cast<float>(SLEN(text) + 2));
  GS_FILLSTYLE(1, gs::white, status);
  GS_LINESTYLE(1, 1.0f, gs::blue, status);
  GS_RECTANGLE(gui.xmin, gui.ymin, gui.xmax, gui.ymax, true, true, status);
  GS_TEXTSTYLE(1, gs::black, h, 1.0f, 0.0f, gs::align_centre, gs::valign_half, status);
  VG_TEXT(0.5f * (gui.xmin + gui.xmax), 0.5f * (gui.ymin + gui.ymax), text, status);
}

// Drawing goes to workstation `to` instead of `from`.
void switch_output(int from, int to, const char* id, int& status) {
  VG_DEACTIVATE_WK(from, status);
  VG_ACTIVATE_WK(to, status);
  if (status != io::status_good) ST_SAVE(id);
}

// The entry check of a routine that has something to do only while the
// PostScript file is open: false when it failed or the file is closed.
bool entered_with_file_open(const char* id, int& status) {
  if (!io::entry_ok(status, id)) return false;
  bool open = false;
  GS_INQ_PSFILE(open, status);
  return open;
}

}  // namespace

void GS_OPEN_PS(const std::string& file_name, int& status) {
  constexpr const char* id = "Subroutine GS_OPEN_PS V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (SLEN(file_name) == 0) {
    io::fail(gs::status_blank_name, id, status);
    return;
  }
  bool open = false;
  GS_INQ_PSFILE(open, status);
  if (open) return;

  std::string name = io::trimmed(file_name);
  int retstat = 0;
  errno = 0;
  IO_OPEN_ASCIIFILE(false, "WRITE", gs::postscript_unit, name, retstat, status);
  if (status != io::status_good) {
    ST_SAVE(id);
    return;
  }
  if (retstat != 0) {
    const int system_status = errno;
    IO_WRITE("ERROR: Failed to open ASCII text file. May be you do not", status);
    IO_WRITE("       have write permission. ", status);
    IO_WRITE("       I/O status = " + std::to_string(system_status), status);
    return io::fail(gs::status_file_not_opened, id, status);
  }
  int format = 0;
  bool colour = true;
  GS_INQ_WINDOWFORMAT(format, status);
  GS_INQ_POSTSCRIPT(colour, status);
  // Colour or grey, on the portrait or the landscape page of the window.
  const int type = vg::postscript_type(gs::is_landscape(format), colour);
  VG_OPEN_WK(gs::postscript_workstation, gs::postscript_unit, type, status);
  if (status != io::status_good) {
    ST_SAVE(id);
    int close_status = io::status_good;
    IO_CLOSE_ASCIIFILE(gs::postscript_unit, close_status);
    return;
  }
  GS_SET_PSFILE(true, status);
}

void GS_ON_PRINT(bool gui, int& status) {
  constexpr const char* id = "Subroutine GS_ON_PRINT V0.1 ";
  if (!io::entry_ok(status, id)) return;
  bool open = false;
  GS_INQ_PSFILE(open, status);
  // The offer is no answer of the set-up: a replay passes it over, and the
  // name given is not recorded.
  const gs::MacroTurn turn;
  if (!open && gs::macro_replayed()) return;
  if (!open) {
    const std::array<std::string, 1> help = {"Enter <RETURN> for no file storage"};
    std::string name;
    const std::string prompt = "Enter name of PostScript output file or <RETURN>";
    if (gui) {
      GS_INPS(prompt, 1, help, "", name, status);
    } else {
      IO_INPC(false, "File to store graphics", prompt, 1, help, 0, {}, name, status);
    }
    if (status != io::status_good) {
      ST_SAVE(id);
      return;
    }
    if (SLEN(name) > 0) GS_OPEN_PS(name, status);
    GS_INQ_PSFILE(open, status);
  }
  if (!open || status != io::status_good) {
    if (status != io::status_good) ST_SAVE(id);
    return;
  }
  if (gui) {
    show_writing_prompt(status);
    VG_UPDATE(gs::window_workstation, 0, status);
  }
  IO_WRITE("INFO: Writing graphics file: Please wait", status);
  switch_output(gs::window_workstation, gs::postscript_workstation, id, status);
}

void GS_OFF_PRINT(int& status) {
  constexpr const char* id = "Subroutine GS_OFF_PRINT V0.1 ";
  if (!entered_with_file_open(id, status)) return;
  VG_UPDATE(gs::postscript_workstation, 0, status);
  switch_output(gs::postscript_workstation, gs::window_workstation, id, status);
}

void GS_CLOSE_PS(int& status) {
  constexpr const char* id = "Subroutine GS_CLOSE_PS V0.1 ";
  if (!entered_with_file_open(id, status)) return;
  // Closing the workstation writes the file's closing lines.
  VG_CLOSE_WK(gs::postscript_workstation, status);
  IO_CLOSE_ASCIIFILE(gs::postscript_unit, status);
  if (status != io::status_good) {
    ST_SAVE(id);
    return;
  }
  GS_SET_PSFILE(false, status);
}

void gs::print_page(const std::function<void(int&)>& draw, int& status) {
  GS_ON_PRINT(true, status);
  bool open = false;
  GS_INQ_PSFILE(open, status);
  if (!open || status != io::status_good) return;
  draw(status);
  GS_OFF_PRINT(status);
  GS_CLOSE_PS(status);
}
