// malib: the numerical routines. The mean of an array region, the circular
// cross-correlation of two real sequences by a real fast Fourier transform
// of power-of-two length, and the helpers of image display (re-binning that
// keeps the minimum and/or maximum of each bin, a robust display range).
//
// Conventions of every routine here:
//  - `status` (int&) is the last argument. A routine entered with a status
//    that is not the good value records its identification text with ST_SAVE
//    and returns at once, changing nothing. A bad argument sets one of the
//    statuses named below (module offset 20000 plus the error code), records
//    the identification text and changes nothing else.
//  - Arrays travel with their declared dimensions (io::View2D, 1-based, first
//    index fastest); a region is its first and last element in each
//    direction, inclusive. Callers own every array.
//  - Nothing here allocates memory per call. The transform tables and work
//    areas are static: each size's table is made once, on first use.
#pragma once

#include "io.h"

namespace ma {

// Statuses the routines set.
inline constexpr int status_bad_xmaxdat = module_offset + st::array_dimension_1;    // 20001
inline constexpr int status_bad_ymaxdat = module_offset + st::array_dimension_2;    // 20002
inline constexpr int status_bad_xregion = module_offset + st::region_1;             // 20005
inline constexpr int status_bad_yregion = module_offset + st::region_2;             // 20006
inline constexpr int status_too_long = module_offset + st::internal_limit_1;        // 20009
inline constexpr int status_bad_xbin = module_offset + st::int_range_1;             // 20017
inline constexpr int status_bad_ybin = module_offset + st::int_range_2;             // 20018
inline constexpr int status_not_power_of_two = module_offset + st::power_of_two_1;  // 20025
inline constexpr int status_xout_too_small = module_offset + st::external_limit_1;  // 20037
inline constexpr int status_yout_too_small = module_offset + st::external_limit_2;  // 20038

// The longest transform (MA_EXPNT, MA_FFA8, MA_FFS8) and the longest
// correlation (MA_1DCROSSCORR: twice its length may not exceed the table).
inline constexpr int max_transform = 32768;
inline constexpr int max_correlation = max_transform / 2;

// Whether the processor has AVX2 and fused multiply-add (asked once): code
// built for them (here and in the application) is entered only then.
bool processor_has_avx2();

}  // namespace ma

// ---------------------------------------------------------------------------
// Mean of a region
// ---------------------------------------------------------------------------
// The mean of elements (xstrelm .. xendelm, ystrelm .. yendelm) of `data`,
// summed row by row in extended precision. Statuses: 20001 xmaxdat below 1,
// 20002 ymaxdat below 1, 20005 x range empty, starting below 1 or ending
// beyond xmaxdat, 20006 the same for y.
void MA_AVERAGE(io::View2D<const float> data, int xstrelm, int ystrelm, int xendelm, int yendelm,
                float& average, int& status);

// ---------------------------------------------------------------------------
// Real fast Fourier transform
// ---------------------------------------------------------------------------
// A sequence x(1 .. n) of reals, n a power of two from 1 to 32768, has the
// transform
//     X(k) = sum over j = 0 .. n-1 of x(j+1) exp(-2 pi i j k / n),
// stored in place in the packed layout: element 1 holds X(0), element 2
// X(n/2) (both real), then elements 2k+1 and 2k+2 the real and imaginary
// parts of X(k) for k = 1 .. n/2 - 1. (For n = 1 the one element is X(0).)
//
// MA_FFA8 computes that forward transform in place; MA_FFS8 is its inverse
// without the division by n: x(j+1) = sum over k = 0 .. n-1 of X(k)
// exp(+2 pi i j k / n), so MA_FFS8 of MA_FFA8 gives n times the sequence.
// MA_EXPNT makes the table of length n ready; the transforms make it
// themselves when it is not, so calling it first only moves that work.
// Statuses: 20009 n above 32768, 20025 n not a power of two (n below 1
// included).
void MA_EXPNT(int n, int& status);
void MA_FFA8(int n, float data[], int& status);
void MA_FFS8(int n, float data[], int& status);

// ---------------------------------------------------------------------------
// Circular cross-correlation
// ---------------------------------------------------------------------------
// The first n elements of `b` are replaced by the circular cross-correlation
//     c(l+1) = sum over j = 0 .. n-1 of a(j+1) b(((j + l) mod n) + 1),
// computed as the inverse transform of conj(A) B divided by n; `a` is
// overwritten by its transform A. n must be a power of two, at most 16384.
//
// Direction of the lag: element l+1 holds lag l. If b is a shifted by +k
// samples, b(j) = a(j - k) cyclically, the peak lies at element 1 + k; a
// shift by -k puts it at element n + 1 - k. So a peak at element i means a
// lag of i - 1 for i <= n/2 and i - 1 - n above (the upper half of the
// buffer holds the negative lags). A sequence correlated with itself peaks
// at element 1 (also when `a` and `b` are the same array).
//
// Checks in this order: 20001 a dimension below 1, 20005 n above either
// dimension, 20009 2n above 32768, 20025 n not a power of two (n below 1
// included).
void MA_1DCROSSCORR(int adim, float a[], int bdim, int n, float b[], int& status);

// ---------------------------------------------------------------------------
// Re-binning for display
// ---------------------------------------------------------------------------
// The region (xstrelm .. xendelm, ystrelm .. yendelm) of `data` is cut into
// bins of xbin by ybin elements, starting at its first element; the bins of
// the last column and row hold what is left. Bin (i, j) goes to element
// (i, j) of the output, whose defined part comes back as xnumout by
// ynumout = ceil(width / xbin) by ceil(height / ybin). With the bin factors
// equal to the region size there is one bin: the minimum and maximum of the
// whole region.
//
// Values that are not finite (NaN, infinities) are left out, so that a dead
// or saturated pixel marked so cannot decide a range; a bin with no finite
// value gets 0.0.
//
// Statuses, checked in this order: 20001 and 20002 a declared dimension of
// `data` below 1; 20005 and 20006 the region; 20017 xbin below 1; 20018
// ybin below 1; 20037 and 20038 an output array smaller than the result in
// x or y (checked on every output array, also for a dimension below 1).
void MA_REBINMINMAX(io::View2D<const float> data, int xstrelm, int ystrelm, int xendelm,
                    int yendelm, int xbin, int ybin, io::View2D<float> minimum,
                    io::View2D<float> maximum, int& xnumout, int& ynumout, int& status);
// The same with the maximum alone, and with the minimum alone.
void MA_REBINMAX(io::View2D<const float> data, int xstrelm, int ystrelm, int xendelm, int yendelm,
                 int xbin, int ybin, io::View2D<float> maximum, int& xnumout, int& ynumout,
                 int& status);
void MA_REBINMIN(io::View2D<const float> data, int xstrelm, int ystrelm, int xendelm, int yendelm,
                 int xbin, int ybin, io::View2D<float> minimum, int& xnumout, int& ynumout,
                 int& status);

// ---------------------------------------------------------------------------
// Robust display range
// ---------------------------------------------------------------------------
namespace ma {
// The share of the finite values of the region that MA_DIFZSCALE leaves
// below its minimum, and above its maximum.
inline constexpr double zscale_tail = 0.005;
}  // namespace ma

// The display range of the region from the distribution of its finite
// values: with the m finite values sorted, v(0) <= ... <= v(m-1), the
// minimum is v(r) and the maximum v(m-1-r), r = floor(0.005 m) (the 0.5 %
// and 99.5 % points), so that up to that many hot or dead pixels at either
// end cannot widen the range. Both are values of the region, found exactly
// by counting (a histogram of the values' bit patterns, refined where the
// two points fall), not by sorting. A constant region gives its value as
// both; a region without finite values gives 0.0 and 0.0. The caller
// decides what to do with an empty range.
// Its counts are static (1 MiB, kept between calls); calls from several
// threads take turns.
// Statuses: 20001, 20002, 20005 and 20006 as for MA_AVERAGE; 20009 a region
// of 2^32 elements or more (the counts are 32-bit).
void MA_DIFZSCALE(io::View2D<const float> data, int xstrelm, int ystrelm, int xendelm, int yendelm,
                  float& minimum, float& maximum, int& status);
