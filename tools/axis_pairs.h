// Pairs of projections with a known rotation axis, made in memory: the
// first projection and the 180-degree one of a slice of round objects, as a
// detector sees them with or without the corrections. The table of
// conditions the rotation-axis computation is judged on, the estimator of
// the set-up's original description as the baseline beside it, and the run
// of one case. Used by the tests and by kov_axis_table.
#pragma once

#include <string>
#include <vector>

namespace axis_pairs {

// One condition. Lines lie along X for a vertical axis (image rows), along
// Y for a horizontal one (image columns).
struct Condition {
  std::string name;
  int n = 1024;             // line length, pixels
  int lines = 32;           // lines in the pair
  int first_line = 1;       // the lines the axis is computed over
  int last_line = 0;        // (0: the last)
  bool horizontal = false;  // a horizontal axis
  double axis = 518.37;     // the true position (0.0 the left or lower edge)
  double gradient = 0.0;    // the beam falls by this share across the line
  double width = 0.6;       // the object's diameter as a share of the line
  double centre = 0.05;     // the object's centre from the axis, share of the line
  double absorption = 0.5;  // the largest absorption along a line of the object
  double counts = 0.0;      // photons per pixel of the open beam; 0: no noise
  double dark = 0.0;        // dark current, as a share of the open beam
  bool corrected = false;   // background and flat-field taken out
  int thin_lines = 0;       // the first lines: a thin uniform container alone
  bool container = false;   // the object in a container that fills the line
  unsigned seed = 1;
  // The goal: the position offered within this many pixels of the truth.
  double goal = 1.0;
};

// The pair: two images of width by height pixels, row by row.
struct Pair {
  int width = 0, height = 0;
  std::vector<float> first, last;
};

Pair make_pair(const Condition& condition);

// The whole table of conditions, goals included.
std::vector<Condition> table();

// What the two estimators give on one case.
struct Outcome {
  double truth = 0.0;
  double offered = 0.0;   // the set-up's position (the weighted one)
  double mean = 0.0;      // the set-up's plain mean of the lines
  double baseline = 0.0;  // the original description's estimator
  int lines_used = 0, lines_set_aside = 0;
  std::vector<std::string> warnings;
  bool ok = false;  // the computation ran
  double error() const { return offered - truth; }
  double baseline_error() const { return baseline - truth; }
  // The goal of the case met: within condition.goal of the truth, and never more
  // than 0.05 pixel worse than the baseline where that is within 0.3.
  bool meets(const Condition& condition) const;
};

Outcome run(const Condition& condition);

// The baseline over lines first_line .. last_line: each line less its mean,
// zero padding to the smallest power of two above 2N - 1, the circular
// correlation, the first largest element, the three-point parabola with the
// lag unwrapped, N/2 - lag/2; the mean over the lines.
double baseline_position(const Pair& pair, const Condition& condition);

}  // namespace axis_pairs
