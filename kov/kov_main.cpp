// Start-up and shutdown of the set-up program.
#include <string>

#include "gs.h"
#include "io.h"
#include "kov.h"
#include "kov_mmain.h"
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
  IO_SET_ARGS(argc, argv);
  greeting(status);

  int retstat = 0;
  IO_LOAD_DATABASE(defaults_file, retstat, status);
  if (retstat > 0) {
    IO_WRITE("WARNING: Problem inputting internal database", status);
    return exit_error;
  }

  GS_OPEN_GRAPHICS(status);
  if (status != io::status_good) {
    ST_DEF_SYSTEM(status);
    no_graphics_help(status);
    IO_WRITE("KOV exiting owing to lack of graphics", status);
    return exit_error;
  }

  show_banner(status);
  set_image_display(status);

  KOV_MMAIN(status);
  if (status == io::status_escape || status == kov::status_stopped) {
    // Nothing is saved: no parameter file, the defaults file as it was.
    const int ended = status;
    ST_DEF_SYSTEM(status);
    GS_CLOSE_GRAPHICS(status);
    return ended == io::status_escape ? exit_cancelled : exit_error;
  }

  GS_CLOSE_GRAPHICS(status);
  retstat = 0;
  IO_SAVE_DATABASE(defaults_file, retstat, status);
  if (retstat != 0) IO_WRITE("WARNING: Problem saving default values", status);
  KOV_MTRAILER(version, status);
  ST_OUT(status);
  return status == io::status_good ? exit_normal : exit_error;
}

}  // namespace kov
