// Raised and pressed buttons, with or without a label.
#include <cmath>

#include "gs_widgets.h"

void GS_BUTTON(float xmin, float ymin, float xmax, float ymax, float bevel, int& status) {
  constexpr const char* id = "Subroutine GS_BUTTON V0.1 ";
  if (!gs::entry_ok(status, id)) return;
  int fill_type = 1, face = gs::yellow;
  GS_INQ_FILLSTYLE(fill_type, face, status);
  const float b = std::fabs(bevel);
  const bool raised = bevel > 0.0f;
  // The face, then the lit strips (left and top) and the shaded strips
  // (right and bottom); a pressed button swaps the light.
  GS_RECTANGLE(xmin, ymin, xmax, ymax, false, true, status);
  if (b > 0.0f) {
    const float lit_x[6] = {xmin, xmin, xmax, xmax - b, xmin + b, xmin + b};
    const float lit_y[6] = {ymin, ymax, ymax, ymax - b, ymax - b, ymin + b};
    const float shade_x[7] = {xmin, xmax, xmax, xmax - b, xmax - b, xmin + b, xmin};
    const float shade_y[7] = {ymin, ymin, ymax, ymax - b, ymin + b, ymin + b, ymin};
    GS_FILLSTYLE(1, raised ? gs::white : gs::grey, status);
    VG_FILLAREA(6, lit_x, lit_y, status);
    GS_FILLSTYLE(1, raised ? gs::grey : gs::white, status);
    VG_FILLAREA(6, shade_x, shade_y, status);
    GS_FILLSTYLE(fill_type, face, status);
    // The edges: outer box, face and the corner mitres.
    const float face_x[5] = {xmin + b, xmax - b, xmax - b, xmin + b, xmin + b};
    const float face_y[5] = {ymin + b, ymin + b, ymax - b, ymax - b, ymin + b};
    VG_POLYLINE(5, face_x, face_y, status);
    GS_LINE(xmin, ymin, xmin + b, ymin + b, status);
    GS_LINE(xmax, ymax, xmax - b, ymax - b, status);
  }
  GS_RECTANGLE(xmin, ymin, xmax, ymax, true, false, status);
  if (status != io::status_good) ST_SAVE(id);
}

void GS_STRINGBUTTON(float xmin, float ymin, float xmax, float ymax, float bevel,
                     const std::string& label, int& status) {
  constexpr const char* id = "Subroutine GS_STRINGBUTTON V0.1 ";
  if (!gs::entry_ok(status, id)) return;
  GS_BUTTON(xmin, ymin, xmax, ymax, bevel, status);
  int font = 1, colour = gs::blue, horizontal = 1, vertical = 1;
  float height = 0.02f, size_factor = 1.0f, angle = 0.0f;
  GS_INQ_TEXTSTYLE(font, colour, height, size_factor, angle, horizontal, vertical, status);
  GS_TEXTSTYLE(font, colour, height, size_factor, angle, gs::align_centre, gs::valign_middle,
               status);
  VG_TEXT((xmin + xmax) / 2.0f, (ymin + ymax) / 2.0f, gs::trimmed(label), status);
  GS_TEXTSTYLE(font, colour, height, size_factor, angle, horizontal, vertical, status);
  if (status != io::status_good) ST_SAVE(id);
}
