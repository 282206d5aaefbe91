// Image arrays of the application sized by the images they receive.
#include "kov_images.h"

#include <algorithm>
#include <array>

#include "fio.h"
#include "kov_axis.h"

namespace {

// The array of the first projection: as large as its image when its size is
// told, else at least the array held and min_array_size.
kov::Fit fit_first(bool told, int file_width, int file_height, io::Image<float>& image) {
  int xmax = std::max(kov::min_array_size, image.xmaxdat());
  int ymax = std::max(kov::min_array_size, image.ymaxdat());
  if (told) {
    xmax = kov::array_side(file_width);
    ymax = kov::array_side(file_height);
    if (xmax == 0 || ymax == 0) return kov::Fit::too_large;
  }
  if (!image.empty() && xmax == image.xmaxdat() && ymax == image.ymaxdat()) return kov::Fit::ready;
  return image.allocate(xmax, ymax) ? kov::Fit::ready : kov::Fit::no_memory;
}

// A line of the console for a file that cannot be read into the arrays.
std::string fit_problem(kov::Fit fit, const std::string& file_name, int file_width, int file_height,
                        int width, int height) {
  switch (fit) {
    case kov::Fit::ready:
      return "";
    case kov::Fit::too_large:
      return "ERROR: " + file_name + " holds " + std::to_string(file_width) + " by " +
             std::to_string(file_height) + " pixels, more than " +
             std::to_string(kov::max_image_size) + " by " + std::to_string(kov::max_image_size);
    case kov::Fit::other_size: {
      const std::vector<std::string> why =
          kov::size_differs(file_width, file_height, width, height);
      return "ERROR: " + file_name + ": " + why[0] + " " + why[1];
    }
    case kov::Fit::no_memory:
      break;
  }
  return "ERROR: Failed to allocate memory for the image array";
}

}  // namespace

namespace kov {

bool allocate_beyond(io::Image<float>& image, int width, int height) {
  const int xmax = std::max(min_array_size, width + 1);
  const int ymax = std::max(min_array_size, height + 1);
  if (!image.empty() && image.xmaxdat() >= xmax && image.ymaxdat() >= ymax) return true;
  return image.allocate(xmax, ymax);
}

Fit fit_array(const std::string& file_name, const std::string& format, int width, int height,
              io::Image<float>& image, int& file_width, int& file_height, int& status) {
  int retstat = fio::size_not_known;
  FIO_INQ_IMAGESIZE(file_name, format, file_width, file_height, retstat, status);
  const bool told = status == io::status_good && retstat == fio::size_known;
  if (!told) file_width = file_height = 0;
  if (width == 0) return fit_first(told, file_width, file_height, image);
  if (told && (file_width != width || file_height != height)) return Fit::other_size;
  return allocate_beyond(image, width, height) ? Fit::ready : Fit::no_memory;
}

std::vector<std::string> size_differs(int file_width, int file_height, int width, int height) {
  return {"THE IMAGE SIZE DIFFERS FROM THE FIRST PROJECTION:",
          std::to_string(file_width) + " BY " + std::to_string(file_height) + " PIXELS, NOT " +
              std::to_string(width) + " BY " + std::to_string(height)};
}

bool read_named_image(const std::string& file_name, const std::string& format, int width,
                      int height, io::Image<float>& image, std::vector<float>& x_axis,
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
  int file_width = 0, file_height = 0;
  const Fit fit = fit_array(name, chosen, width, height, image, file_width, file_height, status);
  problem = fit_problem(fit, file_name, file_width, file_height, width, height);
  if (fit != Fit::ready) return false;
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
  if (defined && width > 0 && (image.xnumdat != width || image.ynumdat != height)) {
    problem = fit_problem(Fit::other_size, file_name, image.xnumdat, image.ynumdat, width, height);
    return false;
  }
  return defined;
}

}  // namespace kov
