// Opening and closing graphics, the command-line display options, the
// landscape page and the page background.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "gs.h"
#include "gs_internal.h"

namespace {

// First colour index of the image range; the indices below it hold the
// drawing colours.
constexpr int first_image_index = 41;
constexpr int max_arguments = 20;
// The range of the number of image colours given on the command line.
constexpr int fewest_colours = 16;
constexpr int most_colours = vg::table_size;

bool starts_with(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

void GS_OPEN_NOTERM(int& status) {
  constexpr const char* id = "Subroutine GS_OPEN_NOTERM V0.1 ";
  if (!io::entry_ok(status, id)) return;
  GS_DEF_COLOURBOUNDS(status);
  GS_DEF_GRAPHICS(status);
  GS_MSET_OPTIONS(status);
  VG_OPEN(0, status);
  if (status != io::status_good) ST_SAVE(id);
}

void GS_DEF_GRAPHICS(int& status) {
  constexpr const char* id = "Subroutine GS_DEF_GRAPHICS V0.1 ";
  if (!io::entry_ok(status, id)) return;
  GS_DEF_ATTRIBUTES(status);
  GS_DEF_WINDOWFORMAT(status);
  GS_DEF_GUIREGION(status);
  GS_DEF_MESSAGE(status);
  GS_DEF_MESSAGESTYLE(status);
  GS_DEF_MENUSTYLE(status);
  GS_DEF_MENULAYOUT(status);
  GS_DEF_PSFILE(status);
  GS_DEF_POSTSCRIPT(status);
  GS_DEF_IMAGESCALE(status);
  GS_DEF_PIXELLIMITS(status);
  GS_DEF_MASKCOLOUR(status);
  GS_DEF_BACKGROUND(status);
  GS_DEF_3DVIEW(status);
  GS_DEF_PROGRESS(status);
  GS_DEF_DOCUMENTATION(status);
  GS_DEF_WINDOWSHOWN(status);
  GS_DEF_CHAR_SCALING(status);
  GS_DEF_SAMPLEWIDTH(status);
  if (status != io::status_good) ST_SAVE(id);
}

void GS_MSET_OPTIONS(int& status) {
  constexpr const char* id = "Subroutine GS_MSET_OPTIONS V0.1 ";
  if (!io::entry_ok(status, id)) return;
  int num_args = 0;
  std::vector<std::string> args;
  IO_GETARGS(max_arguments, num_args, args, status);
  if (status != io::status_good) {
    ST_SAVE(id);
    return;
  }
  bool landscape = false;
  bool doc_forms = false, doc_menus = false;
  GS_INQ_DOCUMENTATION(doc_forms, doc_menus, status);
  for (int i = 1; i < num_args; ++i) {
    const std::string arg = io::upper(io::trimmed(args[static_cast<std::size_t>(i)]));
    if (arg == "+LAND" || arg == "-LAND" || arg == "LAND" || arg == "+LANDSCAPE" ||
        arg == "LANDSCAPE" || arg == "-LANDSCAPE") {
      landscape = true;
    } else if (arg == "+DFORM" || arg == "-DFORM") {
      doc_forms = true;
    } else if (arg == "+DMENU" || arg == "-DMENU") {
      doc_menus = true;
    } else if (starts_with(arg, "+COL") || starts_with(arg, "-COL")) {
      // "+COLOURS n" or "+COLn": the number follows in the same argument or,
      // when nothing follows there, in the next one, which is taken only
      // when it is a number (so that "-COLOURS -LAND" still selects the
      // landscape page).
      const bool long_form = starts_with(arg, "+COLOURS") || starts_with(arg, "-COLOURS");
      std::string rest = arg.substr(long_form ? 8 : 4);
      bool valid = false;
      int colours = 0;
      if (SLEN(rest) == 0 && i + 1 < num_args) {
        const std::string next = io::upper(io::trimmed(args[static_cast<std::size_t>(i + 1)]));
        IO_TOKTI(next, valid, colours, status);
        if (valid) {
          rest = next;
          ++i;
        }
      }
      IO_TOKTI(rest, valid, colours, status);
      if (!valid) {
        IO_WRITE("WARNING: Bad command line option", status);
        continue;
      }
      colours = std::clamp(colours, fewest_colours, most_colours);
      GS_SET_COLOURBOUNDS(colours, colours, status);
    }
  }
  GS_SET_DOCUMENTATION(doc_forms, doc_menus, status);
  if (landscape) GS_MSET_LANDSCAPE(status);
  if (status != io::status_good) ST_SAVE(id);
}

void GS_MSET_LANDSCAPE(int& status) {
  constexpr const char* id = "Subroutine GS_MSET_LANDSCAPE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  GS_SET_WINDOWFORMAT(gs::format_landscape, status);
  // The landscape page is 1.0 wide and 0.7071 high.
  const gs::Box graph{0.1f, 0.1f, 0.9f, 0.6071f};
  GS_SET_GPP(graph, status);
  GS_SET_DGPP(graph, status);
  GS_SET_MESSAGE(gs::Box{0.0f, 0.0f, 1.0f, vg::page_short}, status);
  GS_SET_GUIREGION(gs::Box{0.0f, 0.0f, 1.0f, 0.1f}, status);
  // The key keeps its place relative to the graph page position.
  GS_SET_KEYPOSITION(0.65f, 0.5f, status);
  if (status != io::status_good) ST_SAVE(id);
}

void GS_OPEN_GRAPHICS(int& status) {
  constexpr const char* id = "Subroutine GS_OPEN_GRAPHICS V0.1 ";
  if (!io::entry_ok(status, id)) return;
  GS_OPEN_NOTERM(status);
  int format = 0;
  GS_INQ_WINDOWFORMAT(format, status);
  const int type = vg::window_type(gs::is_landscape(format));

  // The bounds are numbers of image colours; the image indices start above
  // the drawing colours.
  int minimum = 0, maximum = 0;
  GS_INQ_COLOURBOUNDS(minimum, maximum, status);
  VG_SET_COLOURINDICES(first_image_index, std::min(255, first_image_index - 1 + maximum), status);
  VG_OPEN_WK(gs::window_workstation, 0, type, status);
  VG_ACTIVATE_WK(gs::window_workstation, status);
  if (status != io::status_good) {
    ST_SAVE(id);
    return;
  }
  GS_DEF_LUTCHOICE(status);
  GS_DEF_COLOURS(status);

  // Width of the sample text at a height of ten device units.
  float height = 0.0f;
  VG_INQ_TEXTHEIGHT(height, status);
  VG_TEXTHEIGHT(10.0f / vg::page_to_device, status);
  float width = 0.0f;
  VG_INQ_TEXTWIDTH("iiii..MMWW", width, status);
  VG_TEXTHEIGHT(height, status);
  GS_SET_SAMPLEWIDTH(width, status);
  if (status != io::status_good) ST_SAVE(id);
}

void GS_CLOSE_GRAPHICS(int& status) {
  constexpr const char* id = "Subroutine GS_CLOSE_GRAPHICS V0.1 ";
  if (!io::entry_ok(status, id)) return;
  VG_CLOSE_WK(gs::window_workstation, status);
  GS_CLOSE_PS(status);
  VG_CLOSE(status);
  if (status != io::status_good) ST_SAVE(id);
}

void GS_BACKGROUND(int& status) {
  constexpr const char* id = "Subroutine GS_BACKGROUND V0.1 ";
  if (!io::entry_ok(status, id)) return;
  bool fill = false;
  int colour = 0;
  GS_INQ_BACKGROUND(fill, colour, status);
  if (!fill) return;
  const gs::DrawingScope keep;  // the fill style comes back
  float xmin = 0.0f, ymin = 0.0f, xmax = 0.0f, ymax = 0.0f;
  VG_INQ_DATAWINDOW(xmin, ymin, xmax, ymax, status);
  VG_CLEAR(status);
  // The page is cleared to white (the window to colour index 0): a white
  // fill on it would change nothing.
  std::array<vg::Rgb, vg::table_size> table;
  VG_INQ_COLOURS(0, vg::table_size - 1, table, status);
  const auto white = [&](int index) {
    const vg::Rgb& c = table[static_cast<std::size_t>(std::clamp(index, 0, vg::table_size - 1))];
    return c.r == 1.0f && c.g == 1.0f && c.b == 1.0f;
  };
  if (!white(0) || !white(gs::device_index(colour))) {
    GS_FILLSTYLE(1, colour, status);
    GS_RECTANGLE(xmin, ymin, xmax, ymax, false, true, status);
  }
  if (status != io::status_good) ST_SAVE(id);
}

void GS_OPEN_NOWINDOW(int& status) {
  constexpr const char* id = "Subroutine GS_OPEN_NOWINDOW V0.1 ";
  if (!io::entry_ok(status, id)) return;
  // Only this opening draws into nothing: a later GS_OPEN_GRAPHICS opens a
  // window again.
  VG_SET_NULLWINDOW(true, status);
  GS_OPEN_GRAPHICS(status);
  int reset = io::status_good;
  VG_SET_NULLWINDOW(false, reset);
  GS_SET_WINDOWSHOWN(false, status);
  if (status != io::status_good) ST_SAVE(id);
}

namespace gs {
bool window_shown() {
  int status = io::status_good;
  bool shown = true;
  GS_INQ_WINDOWSHOWN(shown, status);
  return shown;
}
}  // namespace gs
