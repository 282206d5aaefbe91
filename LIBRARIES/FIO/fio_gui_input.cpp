// The image input dispatcher: the file choice, the format from the
// extension or the format menu, numbered sequences, the reader table and
// what a good input leaves in the defaults database.
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "fio_internal.h"
#include "gs.h"

namespace {

// The dispatcher's state for the life of the program.
struct InputState {
  bool sequence_defined = false;
  std::string format_name;  // 80 characters
  float overload = 0.0f;
};

InputState& state() {
  static InputState s;
  return s;
}

constexpr int format_width = 80;

// The format menu: label, format name set, help line.
struct MenuItem {
  const char* label;
  const char* format;
  const char* help;
};
constexpr std::array<MenuItem, 16> menu_items{{
    {"CANCEL", nullptr, "CANCEL: Exit without inputting data from a file"},
    {"?", nullptr, "?: List of available formats and commands"},
    {"HELP", nullptr, "HELP: Help text on menu and available choices"},
    {"BINARY", fio::format_binary, "BINARY: Flexible interactive input of unformatted data"},
    {"BSL/OTOKO", fio::format_bsl, "BSL/OTOKO: Daresbury BSL / Hamburg OTOKO:KOHALA format"},
    {"DEXORAM", fio::format_dexoram, "DEXORAM: Simple ASCII X/Y column format data"},
    {"VEXAL", fio::format_vexal, "VEXAL: Self describing readable VEXAL standard format"},
    {"FUJI (BAS)", fio::format_bas2000, "FUJI (BAS): FUJI BAS-2000, BAS-1500 image plate scanners"},
    {"HAMAMATSU", fio::format_hamamatsu, "HAMAMATSU: (PHOTONICS) C4880 CCD detector format"},
    {"IMAGEQUANT", fio::format_imagequant,
     "IMAGEQUANT: IMAGEQUANT TIFF based format (Molecular Dynamics)"},
    {"MERIN", fio::format_merin, "MERIN: Simplified sub-set of \"ZDF\""},
    {"MAR", fio::format_mar, "MAR: MarResearch \"image\" format for on-line IP systems"},
    {"MAR-PCK", fio::format_mar_pck, "MAR-PCK: Compressed old MarResearch \"image\" format"},
    {"PHOTOMETRICS", fio::format_photometrics,
     "PHOTOMETRICS: CCD Format (DALV X-ray Image intensifier system)"},
    {"PRINCETON", fio::format_princeton,
     "PRINCETON: CCD Format (DALV X-ray Image intensifier system)"},
    {"TIFF", fio::format_tiff, "TIFF: Limited TIFF input (compressed data not supported)"},
}};

constexpr std::array<const char*, 8> menu_help{
    "The file format of the file that you have specified",
    "is not known from it's file extension type. You can",
    "choose one of the available input formats. If the",
    "format you need is not available press the \"CANCEL\"",
    "button.",
    "",
    "(In the \"INPUT\" command of the \"KEYBOARD\" interface",
    "there may be more input file formats available.)",
};

// The help text of the file selection.
constexpr std::array<const char*, 36> selection_help{
    "Data for the program main data array is required, normally",
    "input a file stored on disk. The file selection tool will",
    "help you to search directories and find the required file.",
    "",
    "The following file formats are presently supported:",
    "",
    "  .   : (no extension) DALV Gas detector format",
    "  .bin: BINARY user specified format",
    "  .bsl: BSL (Daresbury) / OTOKO (Hamburg) format",
    "  .dxm: DEXORAM ASCII 1-D X/Y graph format",
    "  .cor: BINARY user specified format",
    "  .cor2: BINARY user specified format",
    "  .corr: BINARY user specified format",
    "  .zdf: \"MERIN\" or BINARY format",
    "  .vxl: VEXAL format",
    "  .final: BINARY user specified format",
    "  .gel: Molecular Dynamics IMAGEQUANT (tiff) format",
    "  .inf: FUJI BAS-2000 (BAS-1500) format",
    "  .info: BINARY user specified format",
    "  .image: MarResearch IP scanner format",
    "  .img: FUJI BAS-2000 (BAS-1500) format OR",
    "        HAMAMATSU CCD format",
    "  .mar1200: MarResearch IP scanner format",
    "  .mar1600: MarResearch IP scanner format",
    "  .mar2000: MarResearch IP scanner format",
    "  .mar2300: MarResearch IP scanner format",
    "  .mar3450: MarResearch IP scanner format",
    "  .mccd: TIFF format from MAT CCD camera",
    "  .pck: Old compressed MarResearch format",
    "  .pmi: PHOTOMETRICS CCD format",
    "  .spe: PRINCETON INSTRUMENTS CCD format",
    "  .tif: Adobe TIFF format",
    "  .tiff: Adobe TIFF format",
    "",
    "Files with unknown extensions will invoke",
    "a menu containing the available choices.",
};

template <std::size_t N>
std::vector<std::string> lines_of(const std::array<const char*, N>& texts) {
  return std::vector<std::string>(texts.begin(), texts.end());
}

// How a reader's overload value is recorded.
enum class Overload { fixed, from_reader, kept };

// The reader of each format name, and its overload value.
struct Reader {
  const char* format;
  Overload kind;
  float value;  // fixed values
};
constexpr std::array<Reader, 14> readers{{
    {fio::format_gas2d, Overload::fixed, 1.7e38f},
    {fio::format_imagequant, Overload::fixed, 99999.5f},
    {fio::format_binary, Overload::from_reader, 0.0f},
    {fio::format_bsl, Overload::from_reader, 0.0f},
    {fio::format_dexoram, Overload::fixed, 1.7e38f},
    {fio::format_vexal, Overload::from_reader, 0.0f},
    {fio::format_bas2000, Overload::kept, 0.0f},
    {fio::format_hamamatsu, Overload::fixed, 65534.5f},
    {fio::format_merin, Overload::from_reader, 0.0f},
    {fio::format_mar, Overload::fixed, 131071.5f},
    {fio::format_mar_pck, Overload::fixed, 131071.5f},
    {fio::format_photometrics, Overload::fixed, 16383.5f},
    {fio::format_princeton, Overload::fixed, 65534.5f},
    // The value written in the original table, kept as it is.
    {fio::format_tiff, Overload::fixed, 65334.5f},
}};

const Reader* reader_of(const std::string& format) {
  for (const auto& r : readers) {
    if (format == r.format) return &r;
  }
  return nullptr;
}

// Calls the reader of a format; the overload value it returns (readers
// that return one).
void call_reader(const std::string& format, fio::Result& r, float& x_pixel, float& y_pixel,
                 float& overload, int& status) {
  const bool window = fio::window_open();
  auto& [variances, name, retstat, xnum, ynum, xaxis, yaxis, data, var, title, xlabel, ylabel,
         zlabel] = r;
  if (format == fio::format_tiff || format == fio::format_imagequant) {
    // In the set-up the image is read whole, without questions.
    const bool iq = format == fio::format_imagequant;
    FIO_IN_IQ(false, false, iq, iq, variances, name, retstat, xnum, ynum, xaxis, yaxis, data, var,
              title, xlabel, ylabel, zlabel, status);
  } else if (format == fio::format_merin) {
    FIO_IN_MERIN(false, false, variances, name, retstat, xnum, ynum, xaxis, yaxis, data, var, title,
                 xlabel, ylabel, zlabel, x_pixel, y_pixel, overload, status);
  } else if (format == fio::format_binary) {
    // The layout is asked in the window; without one it must come from the
    // header file.
    FIO_IN_BINARY(window, variances, name, retstat, xnum, ynum, xaxis, yaxis, data, var, title,
                  xlabel, ylabel, zlabel, x_pixel, y_pixel, overload, status);
  } else if (format == fio::format_princeton) {
    FIO_IN_PRINCETON(variances, name, retstat, xnum, ynum, xaxis, yaxis, data, var, title, xlabel,
                     ylabel, zlabel, status);
  } else if (format == fio::format_hamamatsu) {
    FIO_IN_HAMAMATSU(variances, name, retstat, xnum, ynum, xaxis, yaxis, data, var, title, xlabel,
                     ylabel, zlabel, status);
  } else if (format == fio::format_gas2d) {
    FIO_IN_GAS2D(variances, name, retstat, xnum, ynum, xaxis, yaxis, data, var, title, xlabel,
                 ylabel, zlabel, status);
  } else if (format == fio::format_bsl) {
    FIO_IN_BSL(variances, name, retstat, xnum, ynum, xaxis, yaxis, data, var, title, xlabel, ylabel,
               zlabel, overload, status);
  } else if (format == fio::format_dexoram) {
    FIO_IN_DEXORAM(variances, name, retstat, xnum, ynum, xaxis, yaxis, data, var, title, xlabel,
                   ylabel, zlabel, status);
  } else if (format == fio::format_vexal) {
    FIO_IN_VEXAL(variances, name, retstat, xnum, ynum, xaxis, yaxis, data, var, title, xlabel,
                 ylabel, zlabel, overload, status);
  } else if (format == fio::format_bas2000) {
    FIO_IN_BAS2000(variances, name, retstat, xnum, ynum, xaxis, yaxis, data, var, title, xlabel,
                   ylabel, zlabel, x_pixel, y_pixel, status);
  } else if (format == fio::format_mar || format == fio::format_mar_pck) {
    FIO_IN_MAR(variances, name, retstat, xnum, ynum, xaxis, yaxis, data, var, title, xlabel, ylabel,
               zlabel, x_pixel, y_pixel, status);
  } else if (format == fio::format_photometrics) {
    FIO_IN_PHOTOMETRICS(variances, name, retstat, xnum, ynum, xaxis, yaxis, data, var, title,
                        xlabel, ylabel, zlabel, status);
  }
}

// The format menu on the console (no window): the labels as commands,
// "?" and "HELP" showing the item help lines.
bool console_format_menu(const std::string& title, const std::vector<std::string>& labels,
                         const std::vector<std::string>& helps, std::string& format_name,
                         int& status) {
  std::vector<std::string> commands;
  for (const auto& label : labels) {
    if (label != "?" && label != "HELP") commands.push_back(label);
  }
  io::say(title);
  std::string command;
  IO_MENU(static_cast<int>(commands.size()), commands, static_cast<int>(helps.size()), helps,
          "ENTER FILE FORMAT", command, status);
  if (status == io::status_escape) {
    ST_DEF_SYSTEM(status);
    return false;
  }
  if (status != io::status_good) return false;
  for (const auto& item : menu_items) {
    if (item.format != nullptr && command == item.label) {
      format_name = item.format;
      return true;
    }
  }
  return false;
}

// The format menu of an unknown extension: true with the format name set,
// false when the user cancelled (or left the window).
bool format_menu(std::string& format_name, int& status) {
  constexpr const char* id = "Subroutine FIO_GUI_INPUT V0.44 ";
  std::vector<std::string> labels;
  std::vector<std::string> helps;
  for (const auto& item : menu_items) {
    labels.emplace_back(item.label);
    helps.emplace_back(item.help);
  }
  const std::vector<std::string> title{"UNKNOWN EXTENSION: SELECT FILE FORMAT:"};
  const std::vector<std::string> help = lines_of(menu_help);
  if (!fio::window_open()) return console_format_menu(title[0], labels, helps, format_name, status);

  // The menu layout is the caller's again afterwards.
  int orientation = 0, columns = 1, title_chars = 40, label_chars = 20;
  GS_INQ_MENULAYOUT(orientation, columns, title_chars, label_chars, status);
  struct Restore {
    int o, c, t, l;
    ~Restore() {
      int s = io::status_good;
      GS_SET_MENULAYOUT(o, c, t, l, s);
    }
  } restore{orientation, columns, title_chars, label_chars};

  GS_BACKGROUND(status);
  bool redraw = true;
  while (status == io::status_good) {
    if (redraw) {
      GS_SET_MENULAYOUT(1, 4, 40, 20, status);
      GS_FMENU(1, 1, title, 16, 16, labels, status);
      redraw = false;
    }
    int kind = 0, choice = 0;
    std::string label;
    float x = 0.0f, y = 0.0f;
    GS_INP_MENUCHOICE(kind, choice, label, x, y, status);
    if (status != io::status_good) break;
    if (kind == gs::input_redraw) {
      redraw = true;
      continue;
    }
    if (kind != gs::input_choice || choice < 1 || choice > 16) continue;
    const MenuItem& item = menu_items[static_cast<std::size_t>(choice - 1)];
    const std::string chosen = item.label;
    if (chosen == "CANCEL") return false;
    if (chosen == "?") {
      GS_MESSAGE(16, 16, helps, status);
      redraw = true;
    } else if (chosen == "HELP") {
      GS_MESSAGE(8, 8, help, status);
      redraw = true;
    } else {
      format_name = item.format;
      return true;
    }
  }
  // The user closed the window: the escape goes up to the caller, as from
  // every widget; any other failure is recorded here.
  if (status != io::status_good && status != io::status_escape) ST_SAVE(id);
  return false;
}

// Two-line warning: a text and the file name.
void warn_file(const std::string& text, const std::string& file_name, int& status) {
  fio::warn({text, io::trimmed(file_name)}, status);
}

// The image data region of the whole image: pixel edges from the axes.
void set_image_region(std::span<const float> xaxis, std::span<const float> yaxis, int xnum,
                      int ynum, int& status) {
  auto edges = [](std::span<const float> axis, int n, float& low, float& high) {
    const float first = axis[0], last = axis[static_cast<std::size_t>(n - 1)];
    const float step_low = n > 1 ? axis[1] - first : 1.0f;
    const float step_high = n > 1 ? last - axis[static_cast<std::size_t>(n - 2)] : 1.0f;
    low = first - 0.5f * step_low;
    high = last + 0.5f * step_high;
  };
  float x0 = 0, x1 = 0, y0 = 0, y1 = 0;
  edges(xaxis, xnum, x0, x1);
  edges(yaxis, ynum, y0, y1);
  GS_SET_IDR(x0, y0, x1, y1, status);
}

// The file choice of input mode 0: the file selection tool, then the
// format from the extension or the format menu.
void choose_file(int max_prompt, int num_prompt, std::span<const std::string> prompt,
                 std::string& file_name, std::string& format, int& retstat, int& status) {
  retstat = fio::input_cancelled;
  std::vector<std::string> help = lines_of(selection_help);
  std::string extension = "<ALL PERMITTED>";
  int selected = 0;
  fio::select_file(max_prompt, num_prompt, prompt, 36, 36, help, 1, 0, extension, file_name,
                   selected, status);
  if (status != io::status_good || selected != fio::input_done) return;
  const fio::ExtensionChoice choice = fio::format_from_extension(file_name, format, status);
  if (status != io::status_good) return;
  if (choice == fio::ExtensionChoice::unknown && !format_menu(format, status)) return;
  retstat = fio::input_done;
}

}  // namespace

namespace fio {

void choose_input_file(int max_prompt, int num_prompt, std::span<const std::string> prompt,
                       std::string& file_name, int& retstat, int& status) {
  retstat = input_cancelled;
  if (status != io::status_good) return;
  std::string format = state().format_name;
  choose_file(max_prompt, num_prompt, prompt, file_name, format, retstat, status);
  if (status != io::status_good || retstat != input_done) return;
  state().format_name = format;
  show_inputting(status);
}

std::vector<std::string> format_names() {
  std::vector<std::string> names;
  for (const auto& r : readers) names.emplace_back(r.format);
  return names;
}

std::string format_of_name(const std::string& name) {
  const std::string wanted = io::upper(io::stripped(name));
  for (const auto& r : readers) {
    if (wanted == r.format) return r.format;
  }
  for (const auto& item : menu_items) {
    if (item.format != nullptr && wanted == item.label) return item.format;
  }
  return "";
}

ExtensionChoice format_from_extension(std::string& file_name, std::string& format_name,
                                      int& status) {
  constexpr const char* id = "Subroutine FIO_GUI_INPUT V0.44 ";
  if (!io::entry_ok(status, id)) return ExtensionChoice::unknown;
  std::string name = io::trimmed(file_name);
  std::string extension;
  IO_EXTENSION(name, extension, status);
  IO_LOWER(extension);
  extension = io::trimmed(extension);
  if (status != io::status_good) return ExtensionChoice::unknown;

  auto choose = [&](const char* format) {
    format_name = format;
    return ExtensionChoice::chosen;
  };
  // A name without extension with its "hm" header beside it.
  if (extension.empty()) {
    const bool ends_hm = name.size() > 2 && name.compare(name.size() - 2, 2, "hm") == 0;
    if (ends_hm) {
      const std::string data = name.substr(0, name.size() - 2);
      if (file_exists(data)) {
        file_name = data;
        return choose(format_gas2d);
      }
    } else if (file_exists(name + "hm")) {
      return choose(format_gas2d);
    }
  }
  struct Rule {
    std::initializer_list<const char*> extensions;
    const char* format;
  };
  const Rule rules[] = {
      {{"gel"}, format_imagequant},
      {{"final", "corr", "cor2", "bin", "cor"}, format_binary},
      {{"bsl"}, format_bsl},
      {{"dxm"}, format_dexoram},
      {{"zdf"}, nullptr},
      {{"image"}, format_mar},
      {{"inf"}, format_bas2000},
      {{"info"}, nullptr},
      {{"img"}, nullptr},
      {{"vxl"}, format_vexal},
      {{"mar3450", "mar2300", "mar2000", "mar1200", "mar1600"}, format_mar},
      {{"pck"}, format_mar_pck},
      {{"pmi"}, format_photometrics},
      {{"spe"}, format_princeton},
      {{"mccd", "tif", "tiff"}, format_tiff},
  };
  for (const auto& rule : rules) {
    const bool match = std::any_of(rule.extensions.begin(), rule.extensions.end(),
                                   [&](const char* e) { return extension == e; });
    if (!match) continue;
    if (rule.format != nullptr) return choose(rule.format);
    if (extension == "zdf") {
      int result = 0;
      FIO_IS_MERIN(name, result, status);
      return choose(result == 0 ? format_merin : format_binary);
    }
    if (extension == "info") {
      const std::string data = name.substr(0, name.size() - 5);
      if (!file_exists(data)) return ExtensionChoice::keep;
      file_name = data;
      return choose(format_binary);
    }
    // "img": a ".inf" or ".INF" header beside it makes it an image plate.
    const std::string stem = name.substr(0, name.size() - 3);
    for (const char* inf : {"inf", "INF"}) {
      if (file_exists(stem + inf)) {
        file_name = stem + inf;
        return choose(format_bas2000);
      }
    }
    return choose(format_hamamatsu);
  }
  return ExtensionChoice::unknown;
}

}  // namespace fio

void FIO_DEF_INPUT(int& status) {
  if (!io::entry_ok(status, "Subroutine FIO_DEF_INPUT V0.1 ")) return;
  state() = InputState{};
}

void FIO_SET_INPUT(bool sequence_defined, const std::string& format_name, float overload,
                   int& status) {
  if (!io::entry_ok(status, "Subroutine FIO_SET_INPUT V0.1 ")) return;
  state().sequence_defined = sequence_defined;
  state().format_name = io::trimmed(format_name).substr(0, format_width);
  state().overload = overload;
}

void FIO_INQ_INPUT(bool& sequence_defined, std::string& format_name, float& overload, int& status) {
  if (!io::entry_ok(status, "Subroutine FIO_INQ_INPUT V0.1 ")) return;
  sequence_defined = state().sequence_defined;
  format_name = state().format_name;
  overload = state().overload;
}

void FIO_GUI_INPUT(int max_prompt, int num_prompt, std::span<const std::string> prompt,
                   int input_mode, bool variances, bool& data_defined, std::string& file_name,
                   int& xnumdat, int& ynumdat, std::span<float> x_axis, std::span<float> y_axis,
                   io::View2D<float> data, io::View2D<float> var_data, std::string& title,
                   std::string& xlabel, std::string& ylabel, std::string& zlabel,
                   float& x_pixel_size, float& y_pixel_size, int& status) {
  constexpr const char* id = "Subroutine FIO_GUI_INPUT V0.44 ";
  if (status != io::status_good) return;
  if (!fio::check_array(data, id, status)) return;
  InputState& s = state();
  std::string format = s.format_name;

  if (input_mode == fio::input_choose) {
    int retstat = 0;
    choose_file(max_prompt, num_prompt, prompt, file_name, format, retstat, status);
    if (status != io::status_good || retstat != fio::input_done) return;
  } else if (input_mode != fio::input_named) {
    if (!s.sequence_defined) {
      fio::warn({"CAN'T INPUT ANOTHER FILE IN AN UNDEFINED SEQUENCE"}, status);
      return;
    }
    int retstat = 0;
    std::string next;
    IO_NEWFILENAME(file_name, input_mode, retstat, next, status);
    if (status != io::status_good) return;
    next = next.substr(0, io::filename_width);
    if (retstat != 0) {
      // No new name could be made: the name it was made from is shown.
      warn_file("FAILED TO FIND NEW \"SEQUENCE\" FILE:", SLEN(next) > 0 ? next : file_name, status);
      return;
    }
    file_name = next;
  }
  s.format_name = format;

  if (input_mode == fio::input_choose) fio::show_inputting(status);
  IO_NODIRPATH(file_name, title, status);
  title = io::trimmed(title).substr(0, io::title_width);
  if (status != io::status_good) return;

  const Reader* reader = reader_of(io::trimmed(format));
  if (reader == nullptr) {
    io::say("WARNING: Unknown file format");
    return;
  }
  int retstat = 0;
  int xnum = 0, ynum = 0;
  float overload = s.overload;
  fio::Result r{variances, file_name, retstat, xnum,   ynum,   x_axis, y_axis,
                data,      var_data,  title,   xlabel, ylabel, zlabel};
  call_reader(reader->format, r, x_pixel_size, y_pixel_size, overload, status);
  if (status != io::status_good) return;
  xnumdat = xnum;
  ynumdat = ynum;
  // A reader the user left has said enough; any other failure is told,
  // and so is an image without pixels.
  if (retstat == fio::input_cancelled) return;
  if (retstat != fio::input_done) {
    warn_file("WARNING: PROBLEM INPUTTING DATA FROM FILE:", file_name, status);
  }
  if (retstat != fio::input_done || xnum < 1 || ynum < 1) {
    warn_file("WARNING: DATA NOT DEFINED CORRECTLY", file_name, status);
    return;
  }
  if (reader->kind == Overload::fixed) overload = reader->value;
  s.overload = overload;
  s.sequence_defined = true;
  data_defined = true;
  set_image_region(x_axis, y_axis, xnum, ynum, status);
  int db = 0;
  IO_SET_RKEYVALUE("#OVERLOAD_VALUE", s.overload, db, status);
  const std::string name = io::trimmed(s.format_name);
  IO_SET_KEYVALUE("#INPUT_FORMAT", static_cast<int>(name.size()), name, db, status);
  IO_SET_RKEYVALUE("X_PIXEL_SIZE", x_pixel_size, db, status);
  IO_SET_RKEYVALUE("Y_PIXEL_SIZE", y_pixel_size, db, status);
  if (status != io::status_good) ST_SAVE(id);
}
