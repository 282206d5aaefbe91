// The slice by filtered back-projection, the sweep around an axis position
// and the axis by reconstruction (a first version: the routines are in
// place, the computation follows).
#include "kov_slice.h"

void KOV_SLICE(const kov::Sinogram& sinogram, float axis, int first, int last,
               io::View2D<float> slice, int& status) {
  constexpr const char* id = "Subroutine KOV_SLICE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  static_cast<void>(sinogram);
  static_cast<void>(axis);
  static_cast<void>(first);
  static_cast<void>(last);
  static_cast<void>(slice);
  io::fail(kov::status_bad_sinogram, id, status);
}

namespace kov {

double slice_sharpness(io::View2D<const float> slice) {
  static_cast<void>(slice);
  return 0.0;
}

std::vector<float> sweep_positions(float centre, float step) {
  std::vector<float> positions;
  for (int k = 0; k < sweep_count; ++k)
    positions.push_back(centre + static_cast<float>(k - 4) * step);
  return positions;
}

void sweep_slices(const Sinogram& s, float centre, float step, int first, int last,
                  std::span<io::View2D<float>> slices, int& status) {
  for (std::size_t k = 0; k < slices.size() && k < sweep_count; ++k) {
    KOV_SLICE(s, centre + static_cast<float>(static_cast<int>(k) - 4) * step, first, last,
              slices[k], status);
  }
}

double axis_by_reconstruction(const Sinogram& s, float centre, float reach, int first, int last,
                              int& status) {
  static_cast<void>(s);
  static_cast<void>(reach);
  static_cast<void>(first);
  static_cast<void>(last);
  static_cast<void>(status);
  return centre;
}

bool write_slice_tiff(const std::string& file_name, io::View2D<const float> slice, int n) {
  static_cast<void>(file_name);
  static_cast<void>(slice);
  static_cast<void>(n);
  return false;
}

}  // namespace kov
