// Image arrays of the application sized by the images they receive.
#include "kov_images.h"

#include <algorithm>
#include <array>

#include "fio.h"
#include "kov_axis.h"

namespace kov {

bool read_named_image(const std::string& file_name, const std::string& format, bool size_arrays,
                      io::Image<float>& image, std::vector<float>& x_axis,
                      std::vector<float>& y_axis, std::string& problem) {
  problem.clear();
  int status = io::status_good;
  std::string name = file_name;
  std::string chosen = format;
  if (chosen.empty() &&
      fio::format_from_extension(name, chosen, status) != fio::ExtensionChoice::chosen) {
    problem = "ERROR: The format of " + file_name + " is not known from its extension";
    return false;
  }
  if (size_arrays) {
    int width = 0, height = 0, retstat = 0;
    FIO_INQ_IMAGESIZE(name, chosen, width, height, retstat, status);
    int xmax = min_array_size, ymax = min_array_size;
    if (status == io::status_good && retstat == fio::size_known) {
      xmax = array_side(width);
      ymax = array_side(height);
      if (xmax == 0 || ymax == 0) {
        problem = "ERROR: " + file_name + " holds " + std::to_string(width) + " by " +
                  std::to_string(height) + " pixels, more than " + std::to_string(max_image_size) +
                  " by " + std::to_string(max_image_size);
        return false;
      }
    } else if (!image.empty()) {
      xmax = std::max(xmax, image.xmaxdat());
      ymax = std::max(ymax, image.ymaxdat());
    }
    if (xmax != image.xmaxdat() || ymax != image.ymaxdat() || image.empty()) {
      if (!image.allocate(xmax, ymax)) {
        problem = "ERROR: Failed to allocate memory for the image array";
        return false;
      }
    }
  }
  if (image.empty()) {
    problem = "ERROR: No image array";
    return false;
  }
  x_axis.assign(static_cast<std::size_t>(image.xmaxdat()), 0.0f);
  y_axis.assign(static_cast<std::size_t>(image.ymaxdat()), 0.0f);
  FIO_SET_INPUT(false, chosen, 0.0f, status);
  bool defined = false;
  std::string title, xlabel, ylabel, zlabel;
  float xpixel = 0.0f, ypixel = 0.0f;
  const std::array<std::string, 1> prompt{""};
  image.xnumdat = image.ynumdat = 0;
  FIO_GUI_INPUT(1, 0, prompt, fio::input_named, false, defined, name, image.xnumdat, image.ynumdat,
                x_axis, y_axis, image.view(), io::View2D<float>(), title, xlabel, ylabel, zlabel,
                xpixel, ypixel, status);
  if (status != io::status_good) {
    ST_OUT(status);
    ST_DEF_SYSTEM(status);
    return false;
  }
  return defined;
}

}  // namespace kov
