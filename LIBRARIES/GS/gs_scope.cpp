// The state scopes of the widgets: copies of the state blocks, put back on
// the way out with only what changed sent on.
#include "gs_scope.h"

#include <algorithm>

#include "gs_internal.h"
#include "gs_widgets.h"

namespace gs {

DrawingScope::DrawingScope() : styles_(style_block()) {
  int s = io::status_good;
  VG_SAVE_STATE(core_, s);
  saved_ = s == io::status_good;
}

DrawingScope::~DrawingScope() {
  // The styles block holds named colours of the device attributes that the
  // core puts back: both come back together.
  style_block() = styles_;
  if (!saved_) return;
  int s = io::status_good;
  VG_RESTORE_STATE(core_, s);
}

RegionScope::RegionScope() : regions_(region_block()) {}

RegionScope::~RegionScope() {
  region_block() = regions_;
}

TransformScope::TransformScope() {
  int s = io::status_good;
  VG_UNITYTRANSFORM(true, s);
  pushed_ = s == io::status_good;
}

TransformScope::~TransformScope() {
  if (!pushed_) return;
  int s = io::status_good;
  VG_UNITYTRANSFORM(false, s);
}

HeldDrawingScope::HeldDrawingScope() {
  int s = io::status_good;
  VG_INQ_WKOPEN(window_workstation, window_, s);
  window_ = window_ && s == io::status_good;
  if (window_) VG_SET_UPDATE(window_workstation, s);
}

HeldDrawingScope::~HeldDrawingScope() {
  if (!window_) return;
  int s = io::status_good;
  VG_UPDATE(window_workstation, vg::update_no_wait, s);
}

MenuLayoutScope::MenuLayoutScope() {
  int s = io::status_good;
  GS_INQ_MENULAYOUT(grid_, s);
}

MenuLayoutScope::MenuLayoutScope(const MenuGrid& grid, int& status) : MenuLayoutScope() {
  GS_SET_MENULAYOUT(grid, status);
}

MenuLayoutScope::~MenuLayoutScope() {
  int s = io::status_good;
  GS_SET_MENULAYOUT(grid_, s);
}

ScrollBarScope::ScrollBarScope() : bars_(scroll_bars()) {}

ScrollBarScope::~ScrollBarScope() {
  scroll_bars() = bars_;
}

GraphPageScope::GraphPageScope() {
  int s = io::status_good;
  GS_INQ_GPP(gpp_, s);
}

GraphPageScope::GraphPageScope(int& status) : GraphPageScope() {
  // The X numbers and label need 0.08 page units under the frame.
  constexpr float below_frame = 0.08f;
  Box gui, page = gpp_;
  GS_INQ_GUIREGION(gui, status);
  page.ymin = std::max(page.ymin, gui.ymax + below_frame);
  GS_SET_GPP(page, status);
}

GraphPageScope::~GraphPageScope() {
  int s = io::status_good;
  GS_SET_GPP(gpp_, s);
}

WidgetScope::WidgetScope() {
  int s = io::status_good;
  bool clip = false;
  VG_INQ_CLIP(clip, s);
  if (clip) VG_CLIP(false, s);
}

}  // namespace gs
