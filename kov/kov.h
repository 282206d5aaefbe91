// The set-up application.
#pragma once

#include <string>

#include "kov_axis.h"
#include "kov_images.h"
#include "kov_parameters.h"
#include "kov_sequence.h"

namespace kov {

inline constexpr const char* version = "V0.21";
inline constexpr const char* descriptive_title = "(X-ray tomography reconstruction set-up)";
inline constexpr const char* defaults_file = "~/.kov.def";

// Exit statuses of the program.
inline constexpr int exit_normal = 0;
inline constexpr int exit_error = 1;
inline constexpr int exit_cancelled = 2;

// The whole program; returns its exit status.
int run(int argc, char** argv);

// Draws the title banner; a bad status left by it is reported on the console
// (a warning and the status report) and kept, so that the program runs on to
// its end without doing anything more.
void show_banner(int& status);

}  // namespace kov

void KOV_MTRAILER(const std::string& version, int& status);
// The title banner in the graphics window.
void KOV_MBANNER(const std::string& version, int& status);
void KOV_DRAW_MBANNER(const std::string& version, int& status);
