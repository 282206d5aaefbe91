// The match of one line of the first projection with the mirrored line of
// the 180-degree projection: the shift (lag) that carries the first onto the
// second, to a fraction of a pixel, and how well the two agree there.
//
// The mirrored line is the first line shifted by N - 2c pixels when the axis
// is at c, but only where both projections see the same part of the object.
// What else the two lines carry is taken apart before they are compared:
//  - Both lines are turned into attenuations, -ln(value), when their values
//    are positive (as projections of counts or transmissions are): a beam
//    that is stronger at one side then adds a straight line, and the mirror
//    turns it into the opposite line; a beam that fades between the two
//    projections adds a constant.
//  - Whatever straight line each compared part carries is taken away, part
//    by part: for every lag, only the pixels that both lines hold are
//    compared, each with its own straight-line fit removed. Parts of the
//    object that only one projection sees (an object leaving the field, a
//    lag near the line's ends) neither add a feature nor pull the peak
//    towards lag 0, as padding the lines would.
//  - A smoothing (Gaussian, sigma 4 pixels) keeps photon noise from making
//    minima of its own; it leaves the match of a noiseless line where it
//    was, as both lines are smoothed alike. Once smoothed, a line holds
//    nothing that samples two pixels apart could not carry: lines of 512
//    pixels or more are matched in pairs of pixels.
//
// Two passes find the lag. The coarse one compares the lines in blocks of
// up to 8 samples (at most 256 blocks) over every lag that leaves at least
// a quarter of the line in common, by the correlation coefficient of the
// common parts (an axis within the middle three quarters of the line). The
// fine one takes the 180-degree line's common part, less its straight
// line, as a template, slides it over the first line sample by sample
// within 8 samples of the coarse lag, and takes the lag of the least sum of
// squared differences once both straight lines are removed; a parabola
// through it and its neighbours gives the fraction. A minimum at the edge
// of that window moves the window there and looks again (three times at
// most).
#pragma once

#include <cmath>
#include <limits>
#include <vector>

namespace kov {

// What the match of one pair of lines found.
struct LineMatch {
  // The lag in pixels: the mirrored 180-degree line is the first line
  // shifted by `lag` (N - 2c for an axis at c). NaN when no lag was found.
  double lag = std::numeric_limits<double>::quiet_NaN();
  // The correlation coefficient of the two lines' common parts at that lag,
  // straight lines removed: 1 for a perfect match, near 0 for noise.
  double rho = 0.0;
  bool found() const { return std::isfinite(lag); }
};

// Running sums over a line: of its values y, of x y (x their index) and of
// y squared.
struct LineSums {
  double y = 0.0, xy = 0.0, yy = 0.0;
};

// Half the width of the fine search, in pixels.
inline constexpr int fine_window = 8;

// The buffers and the work of matching lines of one length. Made once per
// computation; match() allocates nothing.
class LineMatcher {
 public:
  // Buffers for lines of n_line pixels (n_line from 2 to 8192); ready() is
  // false when the memory could not be had.
  explicit LineMatcher(int n_line);
  bool ready() const { return ready_; }

  // The match of `first` with `mirrored` (the 180-degree line read from its
  // last pixel to its first), n_line finite values each, neither changed.
  LineMatch match(const float* first, const float* mirrored);

 private:
  void prepare(const float* first, const float* mirrored);
  // The coarse pass: the blocks, their running sums and their correlation;
  // the coefficient of the common parts at lag l (in blocks); the best lag
  // in samples and its coefficient.
  bool coarse_correlation();
  double coarse_coefficient(int l) const;
  double coarse_lag(double& rho);
  // The fine pass from a lag in samples.
  LineMatch fine_lag(double lag);
  // One placement of the template for the lag d0: the misfit at the 2w + 1
  // shifts, the coefficient of each, and the template's length (0 when it
  // is too short).
  int fine_misfits(int d0, double* misfit, double* rho);

  int n_ = 0;         // line length, pixels
  int pair_ = 1;      // pixels per sample: 2 for long lines
  int m_ = 0;         // samples per line
  int block_ = 1;     // samples per block of the coarse pass
  int blocks_ = 0;    // blocks per line
  int coarse_n_ = 0;  // transform length of the coarse pass
  bool ready_ = false;
  std::vector<float> first_, mirrored_;   // attenuations, then pairs
  std::vector<float> a_, b_;              // the prepared lines (m_ samples)
  std::vector<float> kernel_;             // the smoothing
  std::vector<float> fa_, fb_;            // correlation buffers
  std::vector<LineSums> pa_, pb_;         // running sums of the coarse pass, blocks + 1
  double whole_a_ = 0.0, whole_b_ = 0.0;  // each line's energy, straight line removed
};

}  // namespace kov
