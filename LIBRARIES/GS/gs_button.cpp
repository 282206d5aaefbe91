// Raised and pressed buttons, with or without a label.
#include <cmath>

#include "gs_widgets.h"

void GS_BUTTON(float xmin, float ymin, float xmax, float ymax, float bevel, int& status) {
  constexpr const char* id = "Subroutine GS_BUTTON V0.1 ";
  if (!io::entry_ok(status, id)) return;
  gs::FillStyle face;
  GS_INQ_FILLSTYLE(face, status);
  const float b = std::fabs(bevel);
  const bool raised = bevel > 0.0f;
  // The face, then the lit strips (left and top) and the shaded strips
  // (right and bottom); a pressed button swaps the light.
  GS_RECTANGLE(xmin, ymin, xmax, ymax, false, true, status);
  if (b > 0.0f) {
    const vg::Point lit[6] = {{xmin, ymin},         {xmin, ymax},         {xmax, ymax},
                              {xmax - b, ymax - b}, {xmin + b, ymax - b}, {xmin + b, ymin + b}};
    const vg::Point shade[6] = {{xmin, ymin},         {xmax, ymin},         {xmax, ymax},
                                {xmax - b, ymax - b}, {xmax - b, ymin + b}, {xmin + b, ymin + b}};
    GS_FILLSTYLE(1, raised ? gs::white : gs::grey, status);
    VG_FILLAREA(lit, status);
    GS_FILLSTYLE(1, raised ? gs::grey : gs::white, status);
    VG_FILLAREA(shade, status);
    GS_FILLSTYLE(face.type, face.colour, status);
    // The edges: outer box, face and the corner mitres.
    const vg::Point edge[5] = {{xmin + b, ymin + b},
                               {xmax - b, ymin + b},
                               {xmax - b, ymax - b},
                               {xmin + b, ymax - b},
                               {xmin + b, ymin + b}};
    VG_POLYLINE(edge, status);
    GS_LINE(xmin, ymin, xmin + b, ymin + b, status);
    GS_LINE(xmax, ymax, xmax - b, ymax - b, status);
  }
  GS_RECTANGLE(xmin, ymin, xmax, ymax, true, false, status);
  if (status != io::status_good) ST_SAVE(id);
}

void GS_STRINGBUTTON(float xmin, float ymin, float xmax, float ymax, float bevel,
                     const std::string& label, int& status) {
  constexpr const char* id = "Subroutine GS_STRINGBUTTON V0.1 ";
  if (!io::entry_ok(status, id)) return;
  GS_BUTTON(xmin, ymin, xmax, ymax, bevel, status);
  // The label is centred; the caller's alignment comes back.
  const gs::DrawingScope keep;
  gs::TextStyle centred;
  GS_INQ_TEXTSTYLE(centred, status);
  centred.horizontal = gs::align_centre;
  centred.vertical = gs::valign_middle;
  GS_TEXTSTYLE(centred, status);
  VG_TEXT((xmin + xmax) / 2.0f, (ymin + ymax) / 2.0f, io::trimmed(label), status);
  if (status != io::status_good) ST_SAVE(id);
}
