// The set-up's main sequence: every step in the window, then the parameter
// file (kov_mmain.cpp).
#pragma once

#include "io.h"
#include "kov_parameters.h"
#include "kov_steps.h"

// The whole set-up on the main image array: KOV_INPUT_PARAMETERS, then
// KOV_SAVE_PARAMETERS; "Reconstruction cancelled" when the user cancels.
void KOV_MMAIN(int& status);
// Every step of the set-up that fills the parameter record `p`; `names`
// holds the names offered and chosen, from step to step.
void KOV_INPUT_PARAMETERS(io::Image<float>& main_image, kov::Parameters& p, kov::FileNames& names,
                          int& status);
