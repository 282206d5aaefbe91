// The toolkit's state blocks: page layout, widget styles, image display
// settings and graph regions, each with its defaulting, setting and inquiry
// routine.
#include <array>

#include "gs.h"
#include "gs_internal.h"

namespace {

using Region = std::array<float, 4>;

struct MessageGroup {
  int font = 0, fill = 0, text = 0, auto_size = 0;
  float spacing = 1.0f;
};

// The process-wide state of the toolkit's layout and styles.
struct State {
  int window_format = gs::format_portrait;
  int colours_min = 108, colours_max = 210;
  float sample_width = 0.08f;
  Region gui{0.0f, 0.0f, vg::page_short, 0.15f};
  Region message{0.0f, 0.0f, vg::page_short, 1.0f};
  MessageGroup messages{2, 5, 2, 1, 1.0f};
  MessageGroup warnings{-1, 5, 2, 1, 1.0f};
  std::array<int, 8> menu_style{1, 5, 1, 6, 2, 1, 5, 1};
  std::array<int, 4> menu_layout{0, 1, 40, 20};
  int scale_mode = 0;
  float scale_min = 0.0f, scale_max = 1.0f;
  int pixels_high = 600, pixels_low = 200;
  int mask_colour = gs::red;
  bool background_fill = true;
  int background_colour = gs::white;
  bool ps_colour = true;
  bool ps_open = false;
  bool doc_forms = false, doc_menus = false;
  bool progress = false;
  float azimuth = 30.0f, elevation = 30.0f;
  Region gpp{0.1f, 0.1f, 0.6071f, 0.9f};
  Region dgpp{0.1f, 0.1f, 0.6071f, 0.9f};
  Region dddr{0.0f, 0.0f, 1.0f, 1.0f};
  Region idr{0.0f, 0.0f, 1.0f, 1.0f};
  bool keep_aspect = false;
  float key_x = 0.45f, key_y = 0.75f;
};

State& state() {
  static State s;
  return s;
}

bool ordered(float xmin, float ymin, float xmax, float ymax, const char* id, int& status) {
  if (!(xmin < xmax)) {
    gs::fail(13, id, status);
    return false;
  }
  if (!(ymin < ymax)) {
    gs::fail(14, id, status);
    return false;
  }
  return true;
}

void get(const Region& r, float& xmin, float& ymin, float& xmax, float& ymax) {
  xmin = r[0];
  ymin = r[1];
  xmax = r[2];
  ymax = r[3];
}

}  // namespace

// ---------------------------------------------------------------------------
// Window format
// ---------------------------------------------------------------------------
void GS_DEF_WINDOWFORMAT(int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_DEF_WINDOWFORMAT V0.1 ")) return;
  state().window_format = gs::format_portrait;
}

void GS_SET_WINDOWFORMAT(int format, int& status) {
  constexpr const char* id = "Subroutine GS_SET_WINDOWFORMAT V0.1 ";
  if (!gs::entry_ok(status, id)) return;
  if (format < 0 || format > 5) {
    gs::fail(17, id, status);
    return;
  }
  state().window_format = format;
}

void GS_INQ_WINDOWFORMAT(int& format, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_INQ_WINDOWFORMAT V0.1 ")) return;
  format = state().window_format;
}

// ---------------------------------------------------------------------------
// Colour-index bounds and the sample text width
// ---------------------------------------------------------------------------
void GS_DEF_COLOURBOUNDS(int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_DEF_COLOURBOUNDS V0.1 ")) return;
  state().colours_min = 108;
  state().colours_max = 210;
}

void GS_SET_COLOURBOUNDS(int minimum, int maximum, int& status) {
  constexpr const char* id = "Subroutine GS_SET_COLOURBOUNDS V0.1 ";
  if (!gs::entry_ok(status, id)) return;
  if (minimum < 1 || maximum > 256) {
    gs::fail(17, id, status);
    return;
  }
  if (minimum > maximum) {
    gs::fail(13, id, status);
    return;
  }
  state().colours_min = minimum;
  state().colours_max = maximum;
}

void GS_INQ_COLOURBOUNDS(int& minimum, int& maximum, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_INQ_COLOURBOUNDS V0.1 ")) return;
  minimum = state().colours_min;
  maximum = state().colours_max;
}

void GS_DEF_SAMPLEWIDTH(int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_DEF_SAMPLEWIDTH V0.1 ")) return;
  state().sample_width = 0.08f;
}

void GS_SET_SAMPLEWIDTH(float width, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_SET_SAMPLEWIDTH V0.1 ")) return;
  state().sample_width = width;
}

void GS_INQ_SAMPLEWIDTH(float& width, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_INQ_SAMPLEWIDTH V0.1 ")) return;
  width = state().sample_width;
}

// ---------------------------------------------------------------------------
// GUI and message regions, message and menu styles, menu layout
// ---------------------------------------------------------------------------
void GS_DEF_GUIREGION(int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_DEF_GUIREGION V0.1 ")) return;
  state().gui = {0.0f, 0.0f, vg::page_short, 0.15f};
}

void GS_SET_GUIREGION(float xmin, float ymin, float xmax, float ymax, int& status) {
  constexpr const char* id = "Subroutine GS_SET_GUIREGION V0.1 ";
  if (!gs::entry_ok(status, id) || !ordered(xmin, ymin, xmax, ymax, id, status)) return;
  state().gui = {xmin, ymin, xmax, ymax};
}

void GS_INQ_GUIREGION(float& xmin, float& ymin, float& xmax, float& ymax, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_INQ_GUIREGION V0.1 ")) return;
  get(state().gui, xmin, ymin, xmax, ymax);
}

void GS_DEF_MESSAGE(int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_DEF_MESSAGE V0.1 ")) return;
  state().message = {0.0f, 0.0f, vg::page_short, 1.0f};
}

void GS_SET_MESSAGE(float xmin, float ymin, float xmax, float ymax, int& status) {
  constexpr const char* id = "Subroutine GS_SET_MESSAGE V0.1 ";
  if (!gs::entry_ok(status, id) || !ordered(xmin, ymin, xmax, ymax, id, status)) return;
  state().message = {xmin, ymin, xmax, ymax};
}

void GS_INQ_MESSAGE(float& xmin, float& ymin, float& xmax, float& ymax, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_INQ_MESSAGE V0.1 ")) return;
  get(state().message, xmin, ymin, xmax, ymax);
}

void GS_DEF_MESSAGESTYLE(int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_DEF_MESSAGESTYLE V0.1 ")) return;
  state().messages = {2, 5, 2, 1, 1.0f};
  state().warnings = {-1, 5, 2, 1, 1.0f};
}

void GS_SET_MESSAGESTYLE(int message_font, int message_fill, int message_text,
                         int message_auto_size, float message_spacing, int warning_font,
                         int warning_fill, int warning_text, int warning_auto_size,
                         float warning_spacing, int& status) {
  constexpr const char* id = "Subroutine GS_SET_MESSAGESTYLE V0.1 ";
  if (!gs::entry_ok(status, id)) return;
  for (int colour : {message_fill, message_text, warning_fill, warning_text}) {
    if (colour < 1 || colour > gs::num_colours) {
      gs::fail(17, id, status);
      return;
    }
  }
  state().messages = {message_font, message_fill, message_text, message_auto_size,
                      message_spacing};
  state().warnings = {warning_font, warning_fill, warning_text, warning_auto_size,
                      warning_spacing};
}

void GS_INQ_MESSAGESTYLE(int& message_font, int& message_fill, int& message_text,
                         int& message_auto_size, float& message_spacing, int& warning_font,
                         int& warning_fill, int& warning_text, int& warning_auto_size,
                         float& warning_spacing, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_INQ_MESSAGESTYLE V0.1 ")) return;
  const MessageGroup& m = state().messages;
  const MessageGroup& w = state().warnings;
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

void GS_DEF_MENUSTYLE(int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_DEF_MENUSTYLE V0.1 ")) return;
  state().menu_style = {1, 5, 1, 6, 2, 1, 5, 1};
}

void GS_SET_MENUSTYLE(int box_outline, int box_fill, int button_outline, int button_fill,
                      int title_colour, int title_font, int label_colour, int label_font,
                      int& status) {
  constexpr const char* id = "Subroutine GS_SET_MENUSTYLE V0.1 ";
  if (!gs::entry_ok(status, id)) return;
  for (int colour : {box_outline, box_fill, button_outline, button_fill, title_colour,
                     label_colour}) {
    if (colour < 1 || colour > gs::num_colours) {
      gs::fail(17, id, status);
      return;
    }
  }
  state().menu_style = {box_outline, box_fill,   button_outline, button_fill,
                        title_colour, title_font, label_colour,   label_font};
}

void GS_INQ_MENUSTYLE(int& box_outline, int& box_fill, int& button_outline, int& button_fill,
                      int& title_colour, int& title_font, int& label_colour, int& label_font,
                      int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_INQ_MENUSTYLE V0.1 ")) return;
  const auto& s = state().menu_style;
  box_outline = s[0];
  box_fill = s[1];
  button_outline = s[2];
  button_fill = s[3];
  title_colour = s[4];
  title_font = s[5];
  label_colour = s[6];
  label_font = s[7];
}

void GS_DEF_MENULAYOUT(int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_DEF_MENULAYOUT V0.1 ")) return;
  state().menu_layout = {0, 1, 40, 20};
}

void GS_SET_MENULAYOUT(int orientation, int columns, int title_characters,
                       int label_characters, int& status) {
  constexpr const char* id = "Subroutine GS_SET_MENULAYOUT V0.1 ";
  if (!gs::entry_ok(status, id)) return;
  if (columns < 1) {
    gs::fail(17, id, status);
    return;
  }
  if (title_characters < 1 || label_characters < 1) {
    gs::fail(18, id, status);
    return;
  }
  state().menu_layout = {orientation, columns, title_characters, label_characters};
}

void GS_INQ_MENULAYOUT(int& orientation, int& columns, int& title_characters,
                       int& label_characters, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_INQ_MENULAYOUT V0.1 ")) return;
  const auto& l = state().menu_layout;
  orientation = l[0];
  columns = l[1];
  title_characters = l[2];
  label_characters = l[3];
}

// ---------------------------------------------------------------------------
// Image display settings
// ---------------------------------------------------------------------------
void GS_DEF_IMAGESCALE(int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_DEF_IMAGESCALE V0.1 ")) return;
  state().scale_mode = 0;
  state().scale_min = 0.0f;
  state().scale_max = 1.0f;
}

void GS_SET_IMAGESCALE(int mode, float minimum, float maximum, int& status) {
  constexpr const char* id = "Subroutine GS_SET_IMAGESCALE V0.1 ";
  if (!gs::entry_ok(status, id)) return;
  if (mode < 0 || mode > 4) {
    gs::fail(17, id, status);
    return;
  }
  state().scale_mode = mode;
  state().scale_min = minimum;
  state().scale_max = maximum;
}

void GS_INQ_IMAGESCALE(int& mode, float& minimum, float& maximum, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_INQ_IMAGESCALE V0.1 ")) return;
  mode = state().scale_mode;
  minimum = state().scale_min;
  maximum = state().scale_max;
}

void GS_DEF_PIXELLIMITS(int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_DEF_PIXELLIMITS V0.1 ")) return;
  state().pixels_high = 600;
  state().pixels_low = 200;
}

void GS_SET_PIXELLIMITS(int high, int low, int& status) {
  constexpr const char* id = "Subroutine GS_SET_PIXELLIMITS V0.1 ";
  if (!gs::entry_ok(status, id)) return;
  if (high < 1 || low < 1) {
    gs::fail(17, id, status);
    return;
  }
  state().pixels_high = high;
  state().pixels_low = low;
}

void GS_INQ_PIXELLIMITS(int& high, int& low, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_INQ_PIXELLIMITS V0.1 ")) return;
  high = state().pixels_high;
  low = state().pixels_low;
}

void GS_DEF_MASKCOLOUR(int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_DEF_MASKCOLOUR V0.1 ")) return;
  state().mask_colour = gs::red;
}

void GS_SET_MASKCOLOUR(int colour, int& status) {
  constexpr const char* id = "Subroutine GS_SET_MASKCOLOUR V0.1 ";
  if (!gs::entry_ok(status, id)) return;
  if (colour < 1 || colour > gs::num_colours) {
    gs::fail(17, id, status);
    return;
  }
  state().mask_colour = colour;
}

void GS_INQ_MASKCOLOUR(int& colour, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_INQ_MASKCOLOUR V0.1 ")) return;
  colour = state().mask_colour;
}

void GS_DEF_BACKGROUND(int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_DEF_BACKGROUND V0.1 ")) return;
  state().background_fill = true;
  state().background_colour = gs::white;
}

void GS_SET_BACKGROUND(bool fill, int colour, int& status) {
  constexpr const char* id = "Subroutine GS_SET_BACKGROUND V0.1 ";
  if (!gs::entry_ok(status, id)) return;
  if (colour < 1 || colour > gs::num_colours) {
    gs::fail(17, id, status);
    return;
  }
  state().background_fill = fill;
  state().background_colour = colour;
}

void GS_INQ_BACKGROUND(bool& fill, int& colour, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_INQ_BACKGROUND V0.1 ")) return;
  fill = state().background_fill;
  colour = state().background_colour;
}

// ---------------------------------------------------------------------------
// PostScript flags, documentation flags, progress indicator, 3-D view
// ---------------------------------------------------------------------------
void GS_DEF_POSTSCRIPT(int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_DEF_POSTSCRIPT V0.1 ")) return;
  state().ps_colour = true;
}

void GS_SET_POSTSCRIPT(bool colour, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_SET_POSTSCRIPT V0.1 ")) return;
  state().ps_colour = colour;
}

void GS_INQ_POSTSCRIPT(bool& colour, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_INQ_POSTSCRIPT V0.1 ")) return;
  colour = state().ps_colour;
}

void GS_DEF_PSFILE(int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_DEF_PSFILE V0.1 ")) return;
  state().ps_open = false;
}

void GS_SET_PSFILE(bool open, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_SET_PSFILE V0.1 ")) return;
  state().ps_open = open;
}

void GS_INQ_PSFILE(bool& open, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_INQ_PSFILE V0.1 ")) return;
  open = state().ps_open;
}

void GS_DEF_DOCUMENTATION(int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_DEF_DOCUMENTATION V0.1 ")) return;
  state().doc_forms = false;
  state().doc_menus = false;
}

void GS_SET_DOCUMENTATION(bool forms, bool menus, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_SET_DOCUMENTATION V0.1 ")) return;
  state().doc_forms = forms;
  state().doc_menus = menus;
}

void GS_INQ_DOCUMENTATION(bool& forms, bool& menus, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_INQ_DOCUMENTATION V0.1 ")) return;
  forms = state().doc_forms;
  menus = state().doc_menus;
}

void GS_DEF_PROGRESS(int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_DEF_PROGRESS V0.1 ")) return;
  state().progress = false;
}

void GS_SET_PROGRESS(bool on, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_SET_PROGRESS V0.1 ")) return;
  state().progress = on;
}

void GS_INQ_PROGRESS(bool& on, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_INQ_PROGRESS V0.1 ")) return;
  on = state().progress;
}

void GS_DEF_3DVIEW(int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_DEF_3DVIEW V0.1 ")) return;
  state().azimuth = 30.0f;
  state().elevation = 30.0f;
}

void GS_SET_3DVIEW(float azimuth, float elevation, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_SET_3DVIEW V0.1 ")) return;
  state().azimuth = azimuth;
  state().elevation = elevation;
}

void GS_INQ_3DVIEW(float& azimuth, float& elevation, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_INQ_3DVIEW V0.1 ")) return;
  azimuth = state().azimuth;
  elevation = state().elevation;
}

// ---------------------------------------------------------------------------
// Graph regions
// ---------------------------------------------------------------------------
void GS_DEF_ATTRIBUTES(int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_DEF_ATTRIBUTES V0.1 ")) return;
  State& s = state();
  s.gpp = {0.1f, 0.1f, 0.6071f, 0.9f};
  s.dgpp = s.gpp;
  s.dddr = {0.0f, 0.0f, 1.0f, 1.0f};
  s.idr = {0.0f, 0.0f, 1.0f, 1.0f};
  s.keep_aspect = false;
  s.key_x = 0.45f;
  s.key_y = 0.75f;
}

#define GS_REGION_PAIR(NAME, FIELD)                                                          \
  void GS_SET_##NAME(float xmin, float ymin, float xmax, float ymax, int& status) {          \
    constexpr const char* id = "Subroutine GS_SET_" #NAME " V0.1 ";                          \
    if (!gs::entry_ok(status, id) || !ordered(xmin, ymin, xmax, ymax, id, status)) return;   \
    state().FIELD = {xmin, ymin, xmax, ymax};                                                \
  }                                                                                          \
  void GS_INQ_##NAME(float& xmin, float& ymin, float& xmax, float& ymax, int& status) {      \
    if (!gs::entry_ok(status, "Subroutine GS_INQ_" #NAME " V0.1 ")) return;                  \
    get(state().FIELD, xmin, ymin, xmax, ymax);                                              \
  }

GS_REGION_PAIR(GPP, gpp)
GS_REGION_PAIR(DGPP, dgpp)
GS_REGION_PAIR(DDDR, dddr)
GS_REGION_PAIR(IDR, idr)
#undef GS_REGION_PAIR

void GS_SET_IASPECT(bool keep, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_SET_IASPECT V0.1 ")) return;
  state().keep_aspect = keep;
}

void GS_INQ_IASPECT(bool& keep, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_INQ_IASPECT V0.1 ")) return;
  keep = state().keep_aspect;
}

void GS_SET_KEYPOSITION(float x, float y, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_SET_KEYPOSITION V0.1 ")) return;
  state().key_x = x;
  state().key_y = y;
}

void GS_INQ_KEYPOSITION(float& x, float& y, int& status) {
  if (!gs::entry_ok(status, "Subroutine GS_INQ_KEYPOSITION V0.1 ")) return;
  x = state().key_x;
  y = state().key_y;
}
