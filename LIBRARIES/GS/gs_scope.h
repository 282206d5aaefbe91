// gslib, state scopes: a widget changes the process-wide state only inside
// a scope that puts it back.
//
// Each scope copies a state block when it is made and, when it ends, puts
// back what has changed since: on every way out (a return in the middle, a
// bad status, the user escape), whatever the status then, with a status of
// its own. Only changed values are put back, and the devices are sent only
// those changes. Scopes nest (an inner one gives back what it found, the
// outer one what the caller had) and compose: a widget takes a WidgetScope,
// which is a DrawingScope, a RegionScope and a TransformScope together.
//
//   void GS_SOMETHING(..., int& status) {
//     if (!io::entry_ok(status, id)) return;
//     const gs::WidgetScope scope;  // page units, no clipping, styles kept
//     const gs::MenuLayoutScope layout(gs::MenuGrid{.columns = 3}, status);
//     ... draw, wait for the user, return anywhere ...
//   }
#pragma once

#include <vector>

#include "gs_draw.h"
#include "gs_setup.h"
#include "vg.h"

namespace gs {

struct ScrollBarRecord;  // the drawn scroll bars (internal)

// What every scope is: made and ended in one block, never copied.
class Scope {
 public:
  Scope(const Scope&) = delete;
  Scope& operator=(const Scope&) = delete;

 protected:
  Scope() = default;
  ~Scope() = default;
};

// The drawing state: the device core's attributes, data window, viewport,
// clip window and clipping (VG_SAVE_STATE and VG_RESTORE_STATE), and the
// toolkit's drawing styles (gs::Styles: text, line and fill styles and the
// block-letter scaling).
class DrawingScope : Scope {
 public:
  DrawingScope();
  ~DrawingScope();

 private:
  vg::DrawingState core_;
  Styles styles_;
  bool saved_ = false;  // false when the core could not be read (not open)
};

// The regions of the page (gs::Regions: GUI and message regions, the graph
// regions).
class RegionScope : Scope {
 public:
  RegionScope();
  ~RegionScope();

 private:
  Regions regions_;
};

// The data window and viewport set to the unit square for the scope (world
// units are then page units), on the core's VG_UNITYTRANSFORM stack: the
// pair in force comes back at the end.
class TransformScope : Scope {
 public:
  TransformScope();
  ~TransformScope();

 private:
  bool pushed_ = false;
};

// The window's drawing held back while the scope lasts (VG_SET_UPDATE) and
// shown at its end without waiting for the server: a picture of many parts
// appears at once, copied to the window once. Nothing is done without a
// window.
class HeldDrawingScope : Scope {
 public:
  HeldDrawingScope();
  ~HeldDrawingScope();

 private:
  bool window_ = false;
};

// The menu layout (gs::MenuGrid), kept as it is, or set for the scope.
class MenuLayoutScope : Scope {
 public:
  MenuLayoutScope();
  // Sets `grid` for the scope (a grid refused by GS_SET_MENULAYOUT sets the
  // status; the layout then stays as it was).
  MenuLayoutScope(const MenuGrid& grid, int& status);
  ~MenuLayoutScope();

 private:
  MenuGrid grid_;
};

// The scroll bars drawn last (GS_SCROLLBAR), whose buttons clicks are
// matched against: a widget that draws bars of its own over an enclosing
// one's (a message box over the file lists) gives the enclosing bars back.
class ScrollBarScope : Scope {
 public:
  ScrollBarScope();
  ~ScrollBarScope();

 private:
  std::vector<ScrollBarRecord> bars_;
};

// The graph page position (GS_SET_GPP), kept as it is, or lifted for the
// scope clear of the GUI region with room under the frame for the numbers
// and label of the X axis: the prompts of a step below an image or graph
// then never hide its lower part.
class GraphPageScope : Scope {
 public:
  GraphPageScope();
  explicit GraphPageScope(int& status);
  ~GraphPageScope();

 private:
  Box gpp_;
};

// What a widget changes: the drawing state and the regions, with the unit
// transform and clipping off while it draws.
class WidgetScope : Scope {
 public:
  WidgetScope();

 private:
  DrawingScope drawing_;
  RegionScope regions_;
  TransformScope unit_;
};

}  // namespace gs
