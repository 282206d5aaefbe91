// The image input dispatcher: the file choice, the format from the
// extension or the format menu, numbered sequences, the reader table and
// what a good input leaves in the defaults database.
#include <algorithm>
#include <array>

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

constexpr const char* id = "Subroutine FIO_GUI_INPUT V0.44 ";

// The format menu: label, format name set, help line. Its controls come
// first, in the order of MenuControl; the formats follow.
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

enum MenuControl : std::size_t { menu_cancel, menu_list, menu_help, menu_formats };

constexpr const char* menu_title = "UNKNOWN EXTENSION: SELECT FILE FORMAT:";

constexpr std::array<const char*, 8> menu_help_lines{
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

std::vector<std::string> item_labels() {
  std::vector<std::string> labels;
  for (const auto& item : menu_items) labels.emplace_back(item.label);
  return labels;
}

std::vector<std::string> item_helps() {
  std::vector<std::string> helps;
  for (const auto& item : menu_items) helps.emplace_back(item.help);
  return helps;
}

// --- The readers ------------------------------------------------------------

// What some readers return beside the image input result.
struct Extras {
  float& x_pixel_size;
  float& y_pixel_size;
  float& overload;
};

template <fio::Reader* read>
void plain(fio::Result& r, Extras&, int& status) {
  read(r.variances, r.file_name, r.retstat, r.xnumdat, r.ynumdat, r.x_axis, r.y_axis, r.data,
       r.var_data, r.title, r.xlabel, r.ylabel, r.zlabel, status);
}

template <fio::OverloadReader* read>
void with_overload(fio::Result& r, Extras& e, int& status) {
  read(r.variances, r.file_name, r.retstat, r.xnumdat, r.ynumdat, r.x_axis, r.y_axis, r.data,
       r.var_data, r.title, r.xlabel, r.ylabel, r.zlabel, e.overload, status);
}

template <fio::PixelSizeReader* read>
void with_pixel_sizes(fio::Result& r, Extras& e, int& status) {
  read(r.variances, r.file_name, r.retstat, r.xnumdat, r.ynumdat, r.x_axis, r.y_axis, r.data,
       r.var_data, r.title, r.xlabel, r.ylabel, r.zlabel, e.x_pixel_size, e.y_pixel_size, status);
}

// In the set-up an image is read whole, without questions. The
// densitometer's files number their rows from the last one stored and hold
// square roots.
void read_tiff(bool imagequant, fio::Result& r, int& status) {
  FIO_IN_IQ(false, false, imagequant, imagequant, r.variances, r.file_name, r.retstat, r.xnumdat,
            r.ynumdat, r.x_axis, r.y_axis, r.data, r.var_data, r.title, r.xlabel, r.ylabel,
            r.zlabel, status);
}
void tiff(fio::Result& r, Extras&, int& status) {
  read_tiff(false, r, status);
}
void imagequant(fio::Result& r, Extras&, int& status) {
  read_tiff(true, r, status);
}

void merin(fio::Result& r, Extras& e, int& status) {
  FIO_IN_MERIN(false, false, r.variances, r.file_name, r.retstat, r.xnumdat, r.ynumdat, r.x_axis,
               r.y_axis, r.data, r.var_data, r.title, r.xlabel, r.ylabel, r.zlabel, e.x_pixel_size,
               e.y_pixel_size, e.overload, status);
}

// The layout is asked in the window; without one it must come from the
// header file.
void binary(fio::Result& r, Extras& e, int& status) {
  FIO_IN_BINARY(fio::window_open(), r.variances, r.file_name, r.retstat, r.xnumdat, r.ynumdat,
                r.x_axis, r.y_axis, r.data, r.var_data, r.title, r.xlabel, r.ylabel, r.zlabel,
                e.x_pixel_size, e.y_pixel_size, e.overload, status);
}

// How a reader's overload value is recorded.
enum class Overload { fixed, from_reader, kept };

// The reader of each format name, and its overload value.
struct Reader {
  const char* format;
  void (*read)(fio::Result& r, Extras& e, int& status);
  Overload kind;
  float value;  // fixed values
};
constexpr std::array<Reader, 14> readers{{
    {fio::format_gas2d, plain<FIO_IN_GAS2D>, Overload::fixed, 1.7e38f},
    {fio::format_imagequant, imagequant, Overload::fixed, 99999.5f},
    {fio::format_binary, binary, Overload::from_reader, 0.0f},
    {fio::format_bsl, with_overload<FIO_IN_BSL>, Overload::from_reader, 0.0f},
    {fio::format_dexoram, plain<FIO_IN_DEXORAM>, Overload::fixed, 1.7e38f},
    {fio::format_vexal, with_overload<FIO_IN_VEXAL>, Overload::from_reader, 0.0f},
    {fio::format_bas2000, with_pixel_sizes<FIO_IN_BAS2000>, Overload::kept, 0.0f},
    {fio::format_hamamatsu, plain<FIO_IN_HAMAMATSU>, Overload::fixed, 65534.5f},
    {fio::format_merin, merin, Overload::from_reader, 0.0f},
    {fio::format_mar, with_pixel_sizes<FIO_IN_MAR>, Overload::fixed, 131071.5f},
    {fio::format_mar_pck, with_pixel_sizes<FIO_IN_MAR>, Overload::fixed, 131071.5f},
    {fio::format_photometrics, plain<FIO_IN_PHOTOMETRICS>, Overload::fixed, 16383.5f},
    {fio::format_princeton, plain<FIO_IN_PRINCETON>, Overload::fixed, 65534.5f},
    // The value written in the original table, kept as it is.
    {fio::format_tiff, tiff, Overload::fixed, 65334.5f},
}};

const Reader* reader_of(const std::string& format) {
  for (const auto& r : readers) {
    if (format == r.format) return &r;
  }
  return nullptr;
}

// --- The format menu --------------------------------------------------------

// The format menu on the console (no window): the labels as commands,
// "?" and "HELP" showing the item help lines.
bool console_format_menu(std::string& format_name, int& status) {
  std::vector<std::string> commands;
  for (std::size_t k = 0; k < menu_items.size(); ++k) {
    if (k != menu_list && k != menu_help) commands.emplace_back(menu_items[k].label);
  }
  const std::vector<std::string> helps = item_helps();
  io::say(menu_title);
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

// The item of the format menu that the user clicks (from 0): the menu is
// drawn when `draw` is set, and again after every exposure of the window;
// -1 for a click beside the items, or a failure (in status).
int clicked_item(bool& draw, int& status) {
  const std::vector<std::string> title{menu_title};
  const std::vector<std::string> labels = item_labels();
  const int n = static_cast<int>(labels.size());
  const int choice = gs::menu_choice(title, labels, draw, status);
  return choice >= 1 && choice <= n ? choice - 1 : -1;
}

// What a click in the format menu leads to.
enum class MenuStep { again, chosen, cancelled };

MenuStep on_item(std::size_t item, std::string& format_name, int& status) {
  switch (item) {
    case menu_cancel:
      return MenuStep::cancelled;
    case menu_list: {
      const std::vector<std::string> helps = item_helps();
      GS_MESSAGE(16, 16, helps, status);
      return MenuStep::again;
    }
    case menu_help: {
      const std::vector<std::string> help = lines_of(menu_help_lines);
      GS_MESSAGE(8, 8, help, status);
      return MenuStep::again;
    }
    default:
      format_name = menu_items[item].format;
      return MenuStep::chosen;
  }
}

// The format menu of an unknown extension: true with the format name set,
// false when the user cancelled (or left the window).
bool format_menu(std::string& format_name, int& status) {
  if (!fio::window_open()) return console_format_menu(format_name, status);
  // Four columns filled column by column; the caller's layout afterwards.
  const gs::MenuLayoutScope layout(gs::MenuGrid{.orientation = 1, .columns = 4}, status);
  GS_BACKGROUND(status);
  bool draw = true;
  while (status == io::status_good) {
    const int item = clicked_item(draw, status);
    if (item < 0) continue;
    switch (on_item(static_cast<std::size_t>(item), format_name, status)) {
      case MenuStep::again:
        draw = true;
        break;
      case MenuStep::chosen:
        return true;
      case MenuStep::cancelled:
        return false;
    }
  }
  // The user closed the window: the escape goes up to the caller, as from
  // every widget; any other failure is recorded here.
  if (status != io::status_good && status != io::status_escape) ST_SAVE(id);
  return false;
}

// --- The format of an extension ---------------------------------------------

// A rule that looks further than the extension: the format, and the file to
// read, of the trimmed name.
using Decide = fio::ExtensionChoice (*)(const std::string& name, std::string& file_name,
                                        std::string& format_name, int& status);

// ".zdf": the keyword-header format when the file starts as one, else raw
// binary.
fio::ExtensionChoice merin_or_binary(const std::string& name, std::string&,
                                     std::string& format_name, int& status) {
  int result = 0;
  FIO_IS_MERIN(name, result, status);
  format_name = result == 0 ? fio::format_merin : fio::format_binary;
  return fio::ExtensionChoice::chosen;
}

// ".info": the raw binary file that the header file describes, when it is
// there.
fio::ExtensionChoice data_of_header(const std::string& name, std::string& file_name,
                                    std::string& format_name, int&) {
  const std::string data = name.substr(0, name.size() - 5);
  if (!fio::file_exists(data)) return fio::ExtensionChoice::keep;
  file_name = data;
  format_name = fio::format_binary;
  return fio::ExtensionChoice::chosen;
}

// ".img": an image plate when a ".inf" or ".INF" header lies beside it (it
// is read from there), else the C4880 camera format.
fio::ExtensionChoice plate_or_camera(const std::string& name, std::string& file_name,
                                     std::string& format_name, int&) {
  const std::string stem = name.substr(0, name.size() - 3);
  format_name = fio::format_hamamatsu;
  for (const char* inf : {"inf", "INF"}) {
    if (fio::file_exists(stem + inf)) {
      file_name = stem + inf;
      format_name = fio::format_bas2000;
      break;
    }
  }
  return fio::ExtensionChoice::chosen;
}

// The extension table, in its order: the format of the extensions of a row,
// or the rule that decides it.
struct Rule {
  std::array<const char*, 5> extensions;
  const char* format;
  Decide decide;
};
constexpr Rule rules[] = {
    {{"gel"}, fio::format_imagequant, nullptr},
    {{"final", "corr", "cor2", "bin", "cor"}, fio::format_binary, nullptr},
    {{"bsl"}, fio::format_bsl, nullptr},
    {{"dxm"}, fio::format_dexoram, nullptr},
    {{"zdf"}, nullptr, merin_or_binary},
    {{"image"}, fio::format_mar, nullptr},
    {{"inf"}, fio::format_bas2000, nullptr},
    {{"info"}, nullptr, data_of_header},
    {{"img"}, nullptr, plate_or_camera},
    {{"vxl"}, fio::format_vexal, nullptr},
    {{"mar3450", "mar2300", "mar2000", "mar1200", "mar1600"}, fio::format_mar, nullptr},
    {{"pck"}, fio::format_mar_pck, nullptr},
    {{"pmi"}, fio::format_photometrics, nullptr},
    {{"spe"}, fio::format_princeton, nullptr},
    {{"mccd", "tif", "tiff"}, fio::format_tiff, nullptr},
};

const Rule* rule_of(const std::string& extension) {
  for (const Rule& rule : rules) {
    for (const char* e : rule.extensions) {
      if (e != nullptr && extension == e) return &rule;
    }
  }
  return nullptr;
}

// A name without extension whose "hm" header lies beside it, or the "hm"
// header of a data file beside it (which is read instead): the gas detector.
bool gas_detector(const std::string& name, std::string& file_name) {
  if (name.size() > 2 && name.compare(name.size() - 2, 2, "hm") == 0) {
    const std::string data = name.substr(0, name.size() - 2);
    if (!fio::file_exists(data)) return false;
    file_name = data;
    return true;
  }
  return fio::file_exists(name + "hm");
}

// --- Choosing and reading ---------------------------------------------------

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

// The file `steps` files along the sequence of the last good input; false
// (after a warning) when there is none.
bool step_sequence(int steps, std::string& file_name, int& status) {
  if (!state().sequence_defined) {
    fio::warn({"CAN'T INPUT ANOTHER FILE IN AN UNDEFINED SEQUENCE"}, status);
    return false;
  }
  int retstat = 0;
  std::string next;
  IO_NEWFILENAME(file_name, steps, retstat, next, status);
  if (status != io::status_good) return false;
  next = next.substr(0, io::filename_width);
  if (retstat != 0) {
    // No new name could be made: the name it was made from is shown.
    warn_file("FAILED TO FIND NEW \"SEQUENCE\" FILE:", SLEN(next) > 0 ? next : file_name, status);
    return false;
  }
  file_name = next;
  return true;
}

// The file to read in an input mode, and its format: chosen by the user,
// the named file, or a step along the sequence. False when there is none.
bool file_to_read(int max_prompt, int num_prompt, std::span<const std::string> prompt,
                  int input_mode, std::string& file_name, std::string& format, int& status) {
  if (input_mode == fio::input_choose) {
    int retstat = 0;
    choose_file(max_prompt, num_prompt, prompt, file_name, format, retstat, status);
    return status == io::status_good && retstat == fio::input_done;
  }
  return input_mode == fio::input_named || step_sequence(input_mode, file_name, status);
}

// Whether a reader's input is a good image; any other result is told (a
// question of the reader that the user left too), and so is an image
// without pixels.
bool good_input(int retstat, int xnum, int ynum, const std::string& file_name, int& status) {
  if (retstat != fio::input_done) {
    warn_file("WARNING: PROBLEM INPUTTING DATA FROM FILE:", file_name, status);
  }
  if (retstat != fio::input_done || xnum < 1 || ynum < 1) {
    warn_file("WARNING: DATA NOT DEFINED CORRECTLY", file_name, status);
    return false;
  }
  return true;
}

// What a good input leaves: the dispatcher's state, the image data region
// and the defaults database.
void record_input(float overload, std::span<const float> x_axis, std::span<const float> y_axis,
                  int xnum, int ynum, float x_pixel_size, float y_pixel_size, int& status) {
  InputState& s = state();
  s.overload = overload;
  s.sequence_defined = true;
  set_image_region(x_axis, y_axis, xnum, ynum, status);
  int db = 0;
  IO_SET_RKEYVALUE("#OVERLOAD_VALUE", s.overload, db, status);
  const std::string name = io::trimmed(s.format_name);
  IO_SET_KEYVALUE("#INPUT_FORMAT", static_cast<int>(name.size()), name, db, status);
  IO_SET_RKEYVALUE("X_PIXEL_SIZE", x_pixel_size, db, status);
  IO_SET_RKEYVALUE("Y_PIXEL_SIZE", y_pixel_size, db, status);
  if (status != io::status_good) ST_SAVE(id);
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
  if (!io::entry_ok(status, id)) return ExtensionChoice::unknown;
  const std::string name = io::trimmed(file_name);
  std::string extension;
  IO_EXTENSION(name, extension, status);
  IO_LOWER(extension);
  extension = io::trimmed(extension);
  if (status != io::status_good) return ExtensionChoice::unknown;
  if (extension.empty() && gas_detector(name, file_name)) {
    format_name = format_gas2d;
    return ExtensionChoice::chosen;
  }
  const Rule* rule = rule_of(extension);
  if (rule == nullptr) return ExtensionChoice::unknown;
  if (rule->decide != nullptr) return rule->decide(name, file_name, format_name, status);
  format_name = rule->format;
  return ExtensionChoice::chosen;
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
  if (status != io::status_good) return;
  if (!fio::check_array(data, id, status)) return;
  fio::clear_notes();
  std::string format = state().format_name;
  if (!file_to_read(max_prompt, num_prompt, prompt, input_mode, file_name, format, status)) return;
  state().format_name = format;

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
  float overload = state().overload;
  fio::Result r{variances, file_name, retstat, xnum,   ynum,   x_axis, y_axis,
                data,      var_data,  title,   xlabel, ylabel, zlabel};
  Extras extras{x_pixel_size, y_pixel_size, overload};
  reader->read(r, extras, status);
  if (status != io::status_good) return;
  xnumdat = xnum;
  ynumdat = ynum;
  if (!good_input(retstat, xnum, ynum, file_name, status)) return;
  if (reader->kind == Overload::fixed) overload = reader->value;
  data_defined = true;
  record_input(overload, x_axis, y_axis, xnum, ynum, x_pixel_size, y_pixel_size, status);
}
