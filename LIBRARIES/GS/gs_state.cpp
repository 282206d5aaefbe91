// The toolkit's state blocks: page layout, widget styles, image display
// settings and graph regions, each with its defaulting, setting and inquiry
// routine. The defaults are the initialisers of the records; the GS_DEF_
// routines assign from them.
#include <array>

#include "gs.h"
#include "gs_internal.h"

namespace {

using io::entry_ok;

// The process-wide state of the toolkit's layout and styles.
struct State {
  int window_format = gs::format_portrait;
  int colours_min = 108, colours_max = 210;
  float sample_width = 0.08f;
  gs::Regions regions;
  gs::MessageStyles message_styles;
  gs::MenuStyle menu_style;
  gs::MenuGrid menu_grid;
  int scale_mode = 0;
  float scale_min = 0.0f, scale_max = 1.0f;
  int pixels_high = 600, pixels_low = 200;
  int mask_colour = gs::red;
  bool background_fill = true;
  int background_colour = gs::white;
  bool ps_colour = true;
  bool ps_open = false;
  bool doc_forms = false, doc_menus = false;
  bool window_shown = true;
  bool progress = false;
  float azimuth = 30.0f, elevation = 30.0f;
};

State& state() {
  static State s;
  return s;
}

// The defaults: what a fresh record holds.
const State& defaults() {
  static const State d;
  return d;
}

bool colour_ok(int colour) {
  return colour >= 1 && colour <= gs::num_colours;
}

bool ordered(const gs::Box& b, const char* id, int& status) {
  if (!(b.xmin < b.xmax)) {
    io::fail(gs::status_order_x, id, status);
    return false;
  }
  if (!(b.ymin < b.ymax)) {
    io::fail(gs::status_order_y, id, status);
    return false;
  }
  return true;
}

void get(const gs::Box& r, float& xmin, float& ymin, float& xmax, float& ymax) {
  xmin = r.xmin;
  ymin = r.ymin;
  xmax = r.xmax;
  ymax = r.ymax;
}

// The setter and inquiry of a region, in both forms: the four-real forms
// are wrappers of the box forms.
void set_region(gs::Box& target, const gs::Box& region, const char* id, int& status) {
  if (!io::entry_ok(status, id) || !ordered(region, id, status)) return;
  target = region;
}

void inq_region(const gs::Box& source, gs::Box& region, const char* id, int status) {
  if (!io::entry_ok(status, id)) return;
  region = source;
}

}  // namespace

namespace gs {

Regions& region_block() {
  return state().regions;
}

}  // namespace gs

// ---------------------------------------------------------------------------
// Window format
// ---------------------------------------------------------------------------
void GS_DEF_WINDOWFORMAT(int& status) {
  if (!io::entry_ok(status, "Subroutine GS_DEF_WINDOWFORMAT V0.1 ")) return;
  state().window_format = defaults().window_format;
}

void GS_SET_WINDOWFORMAT(int format, int& status) {
  constexpr const char* id = "Subroutine GS_SET_WINDOWFORMAT V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (format < gs::format_portrait || format > gs::format_square_too) {
    io::fail(gs::status_bad_value, id, status);
    return;
  }
  state().window_format = format;
}

void GS_INQ_WINDOWFORMAT(int& format, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_WINDOWFORMAT V0.1 ")) return;
  format = state().window_format;
}

// ---------------------------------------------------------------------------
// Colour-index bounds and the sample text width
// ---------------------------------------------------------------------------
void GS_DEF_COLOURBOUNDS(int& status) {
  if (!io::entry_ok(status, "Subroutine GS_DEF_COLOURBOUNDS V0.1 ")) return;
  state().colours_min = defaults().colours_min;
  state().colours_max = defaults().colours_max;
}

void GS_SET_COLOURBOUNDS(int minimum, int maximum, int& status) {
  constexpr const char* id = "Subroutine GS_SET_COLOURBOUNDS V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (minimum < 1 || maximum > vg::table_size) {
    io::fail(gs::status_bad_value, id, status);
    return;
  }
  if (minimum > maximum) {
    io::fail(gs::status_order_x, id, status);
    return;
  }
  state().colours_min = minimum;
  state().colours_max = maximum;
}

void GS_INQ_COLOURBOUNDS(int& minimum, int& maximum, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_COLOURBOUNDS V0.1 ")) return;
  minimum = state().colours_min;
  maximum = state().colours_max;
}

void GS_DEF_SAMPLEWIDTH(int& status) {
  if (!io::entry_ok(status, "Subroutine GS_DEF_SAMPLEWIDTH V0.1 ")) return;
  state().sample_width = defaults().sample_width;
}

void GS_SET_SAMPLEWIDTH(float width, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_SET_SAMPLEWIDTH V0.1 ")) return;
  state().sample_width = width;
}

void GS_INQ_SAMPLEWIDTH(float& width, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_SAMPLEWIDTH V0.1 ")) return;
  width = state().sample_width;
}

// ---------------------------------------------------------------------------
// GUI and message regions, message and menu styles, menu layout
// ---------------------------------------------------------------------------
void GS_DEF_GUIREGION(int& status) {
  if (!io::entry_ok(status, "Subroutine GS_DEF_GUIREGION V0.1 ")) return;
  state().regions.gui = defaults().regions.gui;
}

void GS_DEF_MESSAGE(int& status) {
  if (!io::entry_ok(status, "Subroutine GS_DEF_MESSAGE V0.1 ")) return;
  state().regions.message = defaults().regions.message;
}

// The regions, each in both forms: the four-real forms pass through the
// box forms.

void GS_SET_GUIREGION(const gs::Box& region, int& status) {
  set_region(state().regions.gui, region, "Subroutine GS_SET_GUIREGION V0.1 ", status);
}

void GS_INQ_GUIREGION(gs::Box& region, int& status) {
  inq_region(state().regions.gui, region, "Subroutine GS_INQ_GUIREGION V0.1 ", status);
}

void GS_SET_GUIREGION(float xmin, float ymin, float xmax, float ymax, int& status) {
  GS_SET_GUIREGION(gs::Box{xmin, ymin, xmax, ymax}, status);
}

void GS_INQ_GUIREGION(float& xmin, float& ymin, float& xmax, float& ymax, int& status) {
  gs::Box region;
  GS_INQ_GUIREGION(region, status);
  if (status == io::status_good) get(region, xmin, ymin, xmax, ymax);
}

void GS_SET_MESSAGE(const gs::Box& region, int& status) {
  set_region(state().regions.message, region, "Subroutine GS_SET_MESSAGE V0.1 ", status);
}

void GS_INQ_MESSAGE(gs::Box& region, int& status) {
  inq_region(state().regions.message, region, "Subroutine GS_INQ_MESSAGE V0.1 ", status);
}

void GS_SET_MESSAGE(float xmin, float ymin, float xmax, float ymax, int& status) {
  GS_SET_MESSAGE(gs::Box{xmin, ymin, xmax, ymax}, status);
}

void GS_INQ_MESSAGE(float& xmin, float& ymin, float& xmax, float& ymax, int& status) {
  gs::Box region;
  GS_INQ_MESSAGE(region, status);
  if (status == io::status_good) get(region, xmin, ymin, xmax, ymax);
}

void GS_SET_GPP(const gs::Box& region, int& status) {
  set_region(state().regions.graph.gpp, region, "Subroutine GS_SET_GPP V0.1 ", status);
}

void GS_INQ_GPP(gs::Box& region, int& status) {
  inq_region(state().regions.graph.gpp, region, "Subroutine GS_INQ_GPP V0.1 ", status);
}

void GS_SET_GPP(float xmin, float ymin, float xmax, float ymax, int& status) {
  GS_SET_GPP(gs::Box{xmin, ymin, xmax, ymax}, status);
}

void GS_INQ_GPP(float& xmin, float& ymin, float& xmax, float& ymax, int& status) {
  gs::Box region;
  GS_INQ_GPP(region, status);
  if (status == io::status_good) get(region, xmin, ymin, xmax, ymax);
}

void GS_SET_DGPP(const gs::Box& region, int& status) {
  set_region(state().regions.graph.dgpp, region, "Subroutine GS_SET_DGPP V0.1 ", status);
}

void GS_INQ_DGPP(gs::Box& region, int& status) {
  inq_region(state().regions.graph.dgpp, region, "Subroutine GS_INQ_DGPP V0.1 ", status);
}

void GS_SET_DGPP(float xmin, float ymin, float xmax, float ymax, int& status) {
  GS_SET_DGPP(gs::Box{xmin, ymin, xmax, ymax}, status);
}

void GS_INQ_DGPP(float& xmin, float& ymin, float& xmax, float& ymax, int& status) {
  gs::Box region;
  GS_INQ_DGPP(region, status);
  if (status == io::status_good) get(region, xmin, ymin, xmax, ymax);
}

void GS_SET_DDDR(const gs::Box& region, int& status) {
  set_region(state().regions.graph.dddr, region, "Subroutine GS_SET_DDDR V0.1 ", status);
}

void GS_INQ_DDDR(gs::Box& region, int& status) {
  inq_region(state().regions.graph.dddr, region, "Subroutine GS_INQ_DDDR V0.1 ", status);
}

void GS_SET_DDDR(float xmin, float ymin, float xmax, float ymax, int& status) {
  GS_SET_DDDR(gs::Box{xmin, ymin, xmax, ymax}, status);
}

void GS_INQ_DDDR(float& xmin, float& ymin, float& xmax, float& ymax, int& status) {
  gs::Box region;
  GS_INQ_DDDR(region, status);
  if (status == io::status_good) get(region, xmin, ymin, xmax, ymax);
}

void GS_SET_IDR(const gs::Box& region, int& status) {
  set_region(state().regions.graph.idr, region, "Subroutine GS_SET_IDR V0.1 ", status);
}

void GS_INQ_IDR(gs::Box& region, int& status) {
  inq_region(state().regions.graph.idr, region, "Subroutine GS_INQ_IDR V0.1 ", status);
}

void GS_SET_IDR(float xmin, float ymin, float xmax, float ymax, int& status) {
  GS_SET_IDR(gs::Box{xmin, ymin, xmax, ymax}, status);
}

void GS_INQ_IDR(float& xmin, float& ymin, float& xmax, float& ymax, int& status) {
  gs::Box region;
  GS_INQ_IDR(region, status);
  if (status == io::status_good) get(region, xmin, ymin, xmax, ymax);
}

void GS_DEF_MESSAGESTYLE(int& status) {
  if (!io::entry_ok(status, "Subroutine GS_DEF_MESSAGESTYLE V0.1 ")) return;
  state().message_styles = defaults().message_styles;
}

void GS_SET_MESSAGESTYLE(int message_font, int message_fill, int message_text,
                         int message_auto_size, float message_spacing, int warning_font,
                         int warning_fill, int warning_text, int warning_auto_size,
                         float warning_spacing, int& status) {
  constexpr const char* id = "Subroutine GS_SET_MESSAGESTYLE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  for (int colour : {message_fill, message_text, warning_fill, warning_text}) {
    if (!colour_ok(colour)) return io::fail(gs::status_bad_value, id, status);
  }
  state().message_styles = {
      {message_font, message_fill, message_text, message_auto_size, message_spacing},
      {warning_font, warning_fill, warning_text, warning_auto_size, warning_spacing}};
}

void GS_INQ_MESSAGESTYLE(int& message_font, int& message_fill, int& message_text,
                         int& message_auto_size, float& message_spacing, int& warning_font,
                         int& warning_fill, int& warning_text, int& warning_auto_size,
                         float& warning_spacing, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_MESSAGESTYLE V0.1 ")) return;
  const gs::MessageStyle& m = state().message_styles.messages;
  const gs::MessageStyle& w = state().message_styles.warnings;
  message_font = m.font;
  message_fill = m.fill;
  message_text = m.text;
  message_auto_size = m.auto_size;
  message_spacing = m.spacing;
  warning_font = w.font;
  warning_fill = w.fill;
  warning_text = w.text;
  warning_auto_size = w.auto_size;
  warning_spacing = w.spacing;
}

void GS_INQ_MESSAGESTYLE(gs::MessageStyles& style, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_MESSAGESTYLE V0.1 ")) return;
  style = state().message_styles;
}

void GS_DEF_MENUSTYLE(int& status) {
  if (!io::entry_ok(status, "Subroutine GS_DEF_MENUSTYLE V0.1 ")) return;
  state().menu_style = defaults().menu_style;
}

void GS_SET_MENUSTYLE(int box_outline, int box_fill, int button_outline, int button_fill,
                      int title_colour, int title_font, int label_colour, int label_font,
                      int& status) {
  constexpr const char* id = "Subroutine GS_SET_MENUSTYLE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  for (int colour :
       {box_outline, box_fill, button_outline, button_fill, title_colour, label_colour}) {
    if (!colour_ok(colour)) return io::fail(gs::status_bad_value, id, status);
  }
  state().menu_style = {box_outline,  box_fill,   button_outline, button_fill,
                        title_colour, title_font, label_colour,   label_font};
}

void GS_INQ_MENUSTYLE(int& box_outline, int& box_fill, int& button_outline, int& button_fill,
                      int& title_colour, int& title_font, int& label_colour, int& label_font,
                      int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_MENUSTYLE V0.1 ")) return;
  const gs::MenuStyle& s = state().menu_style;
  box_outline = s.box_outline;
  box_fill = s.box_fill;
  button_outline = s.button_outline;
  button_fill = s.button_fill;
  title_colour = s.title_colour;
  title_font = s.title_font;
  label_colour = s.label_colour;
  label_font = s.label_font;
}

void GS_INQ_MENUSTYLE(gs::MenuStyle& style, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_MENUSTYLE V0.1 ")) return;
  style = state().menu_style;
}

void GS_DEF_MENULAYOUT(int& status) {
  if (!io::entry_ok(status, "Subroutine GS_DEF_MENULAYOUT V0.1 ")) return;
  state().menu_grid = defaults().menu_grid;
}

void GS_SET_MENULAYOUT(const gs::MenuGrid& grid, int& status) {
  constexpr const char* id = "Subroutine GS_SET_MENULAYOUT V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (grid.columns < 1) return io::fail(gs::status_bad_value, id, status);
  if (grid.title_characters < 1 || grid.label_characters < 1) {
    return io::fail(gs::status_bad_value_2, id, status);
  }
  state().menu_grid = grid;
}

void GS_INQ_MENULAYOUT(gs::MenuGrid& grid, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_MENULAYOUT V0.1 ")) return;
  grid = state().menu_grid;
}

void GS_SET_MENULAYOUT(int orientation, int columns, int title_characters, int label_characters,
                       int& status) {
  GS_SET_MENULAYOUT(gs::MenuGrid{orientation, columns, title_characters, label_characters}, status);
}

void GS_INQ_MENULAYOUT(int& orientation, int& columns, int& title_characters, int& label_characters,
                       int& status) {
  gs::MenuGrid grid;
  GS_INQ_MENULAYOUT(grid, status);
  if (status != io::status_good) return;
  orientation = grid.orientation;
  columns = grid.columns;
  title_characters = grid.title_characters;
  label_characters = grid.label_characters;
}

// ---------------------------------------------------------------------------
// Image display settings
// ---------------------------------------------------------------------------
void GS_DEF_IMAGESCALE(int& status) {
  if (!io::entry_ok(status, "Subroutine GS_DEF_IMAGESCALE V0.1 ")) return;
  state().scale_mode = defaults().scale_mode;
  state().scale_min = defaults().scale_min;
  state().scale_max = defaults().scale_max;
}

void GS_SET_IMAGESCALE(int mode, float minimum, float maximum, int& status) {
  constexpr const char* id = "Subroutine GS_SET_IMAGESCALE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (mode < 0 || mode > 4) return io::fail(gs::status_bad_value, id, status);
  state().scale_mode = mode;
  state().scale_min = minimum;
  state().scale_max = maximum;
}

void GS_INQ_IMAGESCALE(int& mode, float& minimum, float& maximum, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_IMAGESCALE V0.1 ")) return;
  mode = state().scale_mode;
  minimum = state().scale_min;
  maximum = state().scale_max;
}

void GS_DEF_PIXELLIMITS(int& status) {
  if (!io::entry_ok(status, "Subroutine GS_DEF_PIXELLIMITS V0.1 ")) return;
  state().pixels_high = defaults().pixels_high;
  state().pixels_low = defaults().pixels_low;
}

void GS_SET_PIXELLIMITS(int high, int low, int& status) {
  constexpr const char* id = "Subroutine GS_SET_PIXELLIMITS V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (high < 1 || low < 1) return io::fail(gs::status_bad_value, id, status);
  state().pixels_high = high;
  state().pixels_low = low;
}

void GS_INQ_PIXELLIMITS(int& high, int& low, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_PIXELLIMITS V0.1 ")) return;
  high = state().pixels_high;
  low = state().pixels_low;
}

void GS_DEF_MASKCOLOUR(int& status) {
  if (!io::entry_ok(status, "Subroutine GS_DEF_MASKCOLOUR V0.1 ")) return;
  state().mask_colour = defaults().mask_colour;
}

void GS_SET_MASKCOLOUR(int colour, int& status) {
  constexpr const char* id = "Subroutine GS_SET_MASKCOLOUR V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!colour_ok(colour)) return io::fail(gs::status_bad_value, id, status);
  state().mask_colour = colour;
}

void GS_INQ_MASKCOLOUR(int& colour, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_MASKCOLOUR V0.1 ")) return;
  colour = state().mask_colour;
}

void GS_DEF_BACKGROUND(int& status) {
  if (!io::entry_ok(status, "Subroutine GS_DEF_BACKGROUND V0.1 ")) return;
  state().background_fill = defaults().background_fill;
  state().background_colour = defaults().background_colour;
}

void GS_SET_BACKGROUND(bool fill, int colour, int& status) {
  constexpr const char* id = "Subroutine GS_SET_BACKGROUND V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!colour_ok(colour)) return io::fail(gs::status_bad_value, id, status);
  state().background_fill = fill;
  state().background_colour = colour;
}

void GS_INQ_BACKGROUND(bool& fill, int& colour, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_BACKGROUND V0.1 ")) return;
  fill = state().background_fill;
  colour = state().background_colour;
}

// ---------------------------------------------------------------------------
// PostScript flags, documentation flags, progress indicator, 3-D view
// ---------------------------------------------------------------------------
void GS_DEF_POSTSCRIPT(int& status) {
  if (!io::entry_ok(status, "Subroutine GS_DEF_POSTSCRIPT V0.1 ")) return;
  state().ps_colour = defaults().ps_colour;
}

void GS_SET_POSTSCRIPT(bool colour, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_SET_POSTSCRIPT V0.1 ")) return;
  state().ps_colour = colour;
}

void GS_INQ_POSTSCRIPT(bool& colour, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_POSTSCRIPT V0.1 ")) return;
  colour = state().ps_colour;
}

void GS_DEF_PSFILE(int& status) {
  if (!io::entry_ok(status, "Subroutine GS_DEF_PSFILE V0.1 ")) return;
  state().ps_open = defaults().ps_open;
}

void GS_SET_PSFILE(bool open, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_SET_PSFILE V0.1 ")) return;
  state().ps_open = open;
}

void GS_INQ_PSFILE(bool& open, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_PSFILE V0.1 ")) return;
  open = state().ps_open;
}

void GS_DEF_DOCUMENTATION(int& status) {
  if (!io::entry_ok(status, "Subroutine GS_DEF_DOCUMENTATION V0.1 ")) return;
  state().doc_forms = defaults().doc_forms;
  state().doc_menus = defaults().doc_menus;
}

void GS_SET_DOCUMENTATION(bool forms, bool menus, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_SET_DOCUMENTATION V0.1 ")) return;
  state().doc_forms = forms;
  state().doc_menus = menus;
}

void GS_INQ_DOCUMENTATION(bool& forms, bool& menus, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_DOCUMENTATION V0.1 ")) return;
  forms = state().doc_forms;
  menus = state().doc_menus;
}

void GS_DEF_WINDOWSHOWN(int& status) {
  if (!io::entry_ok(status, "Subroutine GS_DEF_WINDOWSHOWN V0.1 ")) return;
  state().window_shown = defaults().window_shown;
}

void GS_SET_WINDOWSHOWN(bool shown, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_SET_WINDOWSHOWN V0.1 ")) return;
  state().window_shown = shown;
}

void GS_INQ_WINDOWSHOWN(bool& shown, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_WINDOWSHOWN V0.1 ")) return;
  shown = state().window_shown;
}

void GS_DEF_PROGRESS(int& status) {
  if (!io::entry_ok(status, "Subroutine GS_DEF_PROGRESS V0.1 ")) return;
  state().progress = defaults().progress;
}

void GS_SET_PROGRESS(bool on, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_SET_PROGRESS V0.1 ")) return;
  state().progress = on;
}

void GS_INQ_PROGRESS(bool& on, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_PROGRESS V0.1 ")) return;
  on = state().progress;
}

void GS_DEF_3DVIEW(int& status) {
  if (!io::entry_ok(status, "Subroutine GS_DEF_3DVIEW V0.1 ")) return;
  state().azimuth = defaults().azimuth;
  state().elevation = defaults().elevation;
}

void GS_SET_3DVIEW(float azimuth, float elevation, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_SET_3DVIEW V0.1 ")) return;
  state().azimuth = azimuth;
  state().elevation = elevation;
}

void GS_INQ_3DVIEW(float& azimuth, float& elevation, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_3DVIEW V0.1 ")) return;
  azimuth = state().azimuth;
  elevation = state().elevation;
}

// ---------------------------------------------------------------------------
// Graph regions
// ---------------------------------------------------------------------------
void GS_DEF_ATTRIBUTES(int& status) {
  if (!io::entry_ok(status, "Subroutine GS_DEF_ATTRIBUTES V0.1 ")) return;
  state().regions.graph = defaults().regions.graph;
  GS_DEF_LOGAXES(status);
}

void GS_SET_IASPECT(bool keep, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_SET_IASPECT V0.1 ")) return;
  state().regions.graph.keep_aspect = keep;
}

void GS_INQ_IASPECT(bool& keep, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_IASPECT V0.1 ")) return;
  keep = state().regions.graph.keep_aspect;
}

void GS_SET_KEYPOSITION(float x, float y, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_SET_KEYPOSITION V0.1 ")) return;
  state().regions.graph.key_x = x;
  state().regions.graph.key_y = y;
}

void GS_INQ_KEYPOSITION(float& x, float& y, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_KEYPOSITION V0.1 ")) return;
  x = state().regions.graph.key_x;
  y = state().regions.graph.key_y;
}
