// Start-up and shutdown of the set-up program.
#include <string>
#include <vector>

#include "gs.h"
#include "io.h"
#include "kov.h"
#include "kov_mmain.h"
#include "kov_options.h"
#include "kov_steps.h"

namespace {

void greeting(int& status) {
  IO_WRITE(" ", status);
  IO_WRITE("           ---------------------------", status);
  IO_WRITE(std::string("           WELCOME to KOV_MASTER ") + kov::version, status);
  IO_WRITE("           ---------------------------", status);
  IO_WRITE(" ", status);
  IO_WRITE(std::string("    ") + kov::descriptive_title, status);
  IO_WRITE(" ", status);
  IO_WRITE("Purpose: Development, testing, and timing of CT reconstruction techniques", status);
  IO_WRITE(" ", status);
  IO_WRITE("(Support for horizontal rotation added.) ", status);
  IO_WRITE(" ", status);
}

// The help text shown when no graphics window can be opened.
void no_graphics_help(int& status) {
  const std::string host = "tomo-server";
  const std::string terminal = "lab-display";
  IO_WRITE("WARNING: There was a problem opening the graphics output window. This may be a",
           status);
  IO_WRITE("\t problem of the X-terminal not accepting graphics output from the host", status);
  IO_WRITE("\t running KOV. If this is the case it can be cured by using the xhost", status);
  IO_WRITE("         program e.g. if KOV is running on system '" + host + "', then enter:", status);
  IO_WRITE("         xhost +" + host, status);
  IO_WRITE("         on the local machine which is being used as an X-terminal.", status);
  IO_WRITE(" ", status);
  IO_WRITE("         If the problem does not seem to be linked to 'xhost' then check that", status);
  IO_WRITE("         the \"DISPLAY\" variable is properly defined. You can enter:", status);
  IO_WRITE("         printenv DISPLAY", status);
  IO_WRITE("         (for users of the \"C\"-shell or \"T\"-shell) to check the current ", status);
  IO_WRITE("         output destination.", status);
  IO_WRITE(" ", status);
  IO_WRITE(
      "         e.g. If the X-terminal is called '" + terminal + "' then the \"DISPLAY\" variable",
      status);
  IO_WRITE("         should be set to '" + terminal + ":0'. To achieve this enter:", status);
  IO_WRITE("         setenv DISPLAY " + terminal + ":0", status);
  IO_WRITE(" ", status);
}

// Hands the program's name and the display options to the I/O services,
// where graphics read them when they open: never a macro's file name.
void keep_display_args(const char* program, const kov::RunOptions& options) {
  std::vector<std::string> texts{program};
  texts.insert(texts.end(), options.display_args.begin(), options.display_args.end());
  std::vector<char*> args;
  for (std::string& text : texts) args.push_back(text.data());
  IO_SET_ARGS(static_cast<int>(args.size()), args.data());
}

// The macro replayed, its variables and the recording, all before anything
// is loaded.
void prepare_macro(const kov::RunOptions& options, int& status) {
  if (!options.macro.empty()) IO_OPEN_MACRO(options.macro, status);
  for (const auto& [name, value] : options.defines) IO_DEFINE_MACRO(name, value, status);
  if (!options.record.empty()) IO_START_RECORD(options.record, status);
}

// Opens the window or, when a macro gives every answer, graphics without
// one. False when the run cannot go on (what it lacks said on the console).
bool open_graphics(const kov::RunOptions& options, int& status) {
  const bool macro = !options.macro.empty();
  if (options.nographics && !macro) {
    io::say("ERROR: -NOGRAPHICS needs -MACRO FILE (every answer comes from the macro)");
    return false;
  }
  if (!options.nographics) GS_OPEN_GRAPHICS(status);
  if (options.nographics || (macro && status != io::status_good)) {
    ST_DEF_SYSTEM(status);
    IO_WRITE("INFO: No graphics window: the answers come from the macro", status);
    GS_OPEN_NOWINDOW(status);
  }
  if (status == io::status_good) return true;
  ST_DEF_SYSTEM(status);
  no_graphics_help(status);
  IO_WRITE("KOV exiting owing to lack of graphics", status);
  return false;
}

// The set-up; under a macro again as long as it has answers left, so that
// a DO loop over series gives one set-up per series.
void set_up(int& status) {
  bool left = false;
  do {
    KOV_MMAIN(status);
    IO_MACRO_ANSWERS_LEFT(left, status);
  } while (status == io::status_good && left);
}

// Ends a run that did not reach its end: nothing is saved (no parameter
// file, the defaults file as it was) and no macro recorded. A cancel, and a
// stop by the set-up or by the macro, have said why; any other failure is
// reported. Returns the exit status.
int stop(bool graphics_open, int& status) {
  const int ended = status;
  if (ended != io::status_escape && ended != kov::status_stopped &&
      ended != io::status_macro_refused && ended != io::status_macro_ended) {
    ST_OUT(status);
  }
  ST_DEF_SYSTEM(status);
  if (graphics_open) GS_CLOSE_GRAPHICS(status);
  IO_END_RECORD(false, status);
  return ended == io::status_escape ? kov::exit_cancelled : kov::exit_error;
}

}  // namespace

void KOV_MTRAILER(const std::string& /*version*/, int& status) {
  if (!io::entry_ok(status, "Subroutine KOV_MTRAILER V0.1 ")) return;
  IO_WRITE(" ", status);
  IO_WRITE("KOV_MASTER Exited", status);
  IO_WRITE(" ", status);
}

namespace kov {

void show_banner(int& status) {
  KOV_MBANNER(version, status);
  if (status != io::status_good) {
    // Written with a good status of its own: the failure must be reported.
    io::say("WARNING: Problem in banner component, bad internal error status");
    ST_OUT(status);
  }
}

int run(int argc, char** argv) {
  int status = 0;
  ST_DEF_SYSTEM(status);
  RunOptions options;
  const std::string problem = read_run_options(argc, argv, options);
  if (!problem.empty()) {
    io::say(problem);
    return exit_error;
  }
  keep_display_args(argv[0], options);
  greeting(status);
  prepare_macro(options, status);
  if (status != io::status_good) return stop(false, status);

  int retstat = 0;
  IO_LOAD_DATABASE(defaults_file, retstat, status);
  if (retstat > 0) {
    IO_WRITE("WARNING: Problem inputting internal database", status);
    return exit_error;
  }
  if (!open_graphics(options, status)) return exit_error;

  show_banner(status);
  set_image_display(status);
  set_up(status);
  if (status != io::status_good) return stop(true, status);

  GS_CLOSE_GRAPHICS(status);
  retstat = 0;
  IO_SAVE_DATABASE(defaults_file, retstat, status);
  if (retstat != 0) IO_WRITE("WARNING: Problem saving default values", status);
  IO_END_RECORD(true, status);
  KOV_MTRAILER(version, status);
  ST_OUT(status);
  return status == io::status_good ? exit_normal : exit_error;
}

}  // namespace kov
