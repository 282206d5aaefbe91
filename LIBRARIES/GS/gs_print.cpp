// Diversion of drawing into a PostScript file on unit 17 (workstation 2).
#include <algorithm>
#include <array>
#include <cerrno>
#include <string>

#include "gs.h"
#include "gs_internal.h"

namespace {

// The prompt line shown in the GUI region while a file is written.
void show_writing_prompt(int& status) {
  float xmin = 0.0f, ymin = 0.0f, xmax = 0.0f, ymax = 0.0f;
  GS_INQ_GUIREGION(xmin, ymin, xmax, ymax, status);
  float wx0, wy0, wx1, wy1, vx0, vy0, vx1, vy1;
  VG_INQ_DATAWINDOW(wx0, wy0, wx1, wy1, status);
  VG_INQ_VIEWPORT(vx0, vy0, vx1, vy1, status);
  int line_type, line_colour, fill_type, fill_colour;
  float line_width;
  GS_INQ_LINESTYLE(line_type, line_width, line_colour, status);
  GS_INQ_FILLSTYLE(fill_type, fill_colour, status);
  int font, colour, horizontal, vertical;
  float height, factor, angle;
  GS_INQ_TEXTSTYLE(font, colour, height, factor, angle, horizontal, vertical, status);
  float page_x = 0.0f, page_y = 0.0f;
  VG_INQ_MAXPC(page_x, page_y, status);
  VG_DATAWINDOW(0.0f, 0.0f, page_x, page_y, status);
  VG_VIEWPORT(0.0f, 0.0f, page_x, page_y, status);

  const std::string text = "WRITING GRAPHICS FILE: PLEASE WAIT";
  const float h = std::min(0.5f * (ymax - ymin), 1.4f * (xmax - xmin) / (SLEN(text) + 2));
  GS_FILLSTYLE(1, gs::white, status);
  GS_LINESTYLE(1, 1.0f, gs::blue, status);
  GS_RECTANGLE(xmin, ymin, xmax, ymax, true, true, status);
  GS_TEXTSTYLE(1, gs::black, h, 1.0f, 0.0f, 2, 3, status);
  VG_TEXT(0.5f * (xmin + xmax), 0.5f * (ymin + ymax), text, status);

  GS_TEXTSTYLE(font, colour, height, factor, angle, horizontal, vertical, status);
  GS_FILLSTYLE(fill_type, fill_colour, status);
  GS_LINESTYLE(line_type, line_width, line_colour, status);
  VG_DATAWINDOW(wx0, wy0, wx1, wy1, status);
  VG_VIEWPORT(vx0, vy0, vx1, vy1, status);
}

}  // namespace

void GS_OPEN_PS(const std::string& file_name, int& status) {
  constexpr const char* id = "Subroutine GS_OPEN_PS V0.1 ";
  if (!gs::entry_ok(status, id)) return;
  if (SLEN(file_name) == 0) {
    gs::fail(33, id, status);
    return;
  }
  bool open = false;
  GS_INQ_PSFILE(open, status);
  if (open) return;

  std::string name = file_name.substr(0, static_cast<std::size_t>(SLEN(file_name)));
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
    status = 11000;
    ST_SAVE(id);
    return;
  }
  int format = 0;
  bool colour = true;
  GS_INQ_WINDOWFORMAT(format, status);
  GS_INQ_POSTSCRIPT(colour, status);
  const bool landscape = format == gs::format_landscape || format == gs::format_landscape_too;
  const int type = vg::postscript_type(landscape, colour);
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
  if (!gs::entry_ok(status, id)) return;
  bool open = false;
  GS_INQ_PSFILE(open, status);
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
  VG_DEACTIVATE_WK(gs::window_workstation, status);
  VG_ACTIVATE_WK(gs::postscript_workstation, status);
  if (status != io::status_good) ST_SAVE(id);
}

void GS_OFF_PRINT(int& status) {
  constexpr const char* id = "Subroutine GS_OFF_PRINT V0.1 ";
  if (!gs::entry_ok(status, id)) return;
  bool open = false;
  GS_INQ_PSFILE(open, status);
  if (!open) return;
  VG_UPDATE(gs::postscript_workstation, 0, status);
  VG_DEACTIVATE_WK(gs::postscript_workstation, status);
  VG_ACTIVATE_WK(gs::window_workstation, status);
  if (status != io::status_good) ST_SAVE(id);
}

void GS_CLOSE_PS(int& status) {
  constexpr const char* id = "Subroutine GS_CLOSE_PS V0.1 ";
  if (!gs::entry_ok(status, id)) return;
  bool open = false;
  GS_INQ_PSFILE(open, status);
  if (!open) return;
  // Closing the workstation writes the file's closing lines.
  VG_CLOSE_WK(gs::postscript_workstation, status);
  IO_CLOSE_ASCIIFILE(gs::postscript_unit, status);
  if (status != io::status_good) {
    ST_SAVE(id);
    return;
  }
  GS_SET_PSFILE(false, status);
}
