// The status vocabulary shared by every module: the good, escape and
// return-to-graphics values, the module offsets, and the error codes whose
// classification lines the status report prints.
//
// A failure status is a module offset plus an error code, for example
// io::module_offset + st::int_range_1 (10017, an integer argument of the I/O
// services out of range). Each module names the statuses it sets in its own
// header (io::status_bad_unit, vg::status_bad_workstation, ...), built from
// these two parts; no routine writes a bare number.
#pragma once

namespace io {

inline constexpr int status_good = -2147483647;         // hexadecimal 80000001
inline constexpr int status_escape = 2147483647;        // hexadecimal 7FFFFFFF
inline constexpr int status_to_graphics = -2147483646;  // hexadecimal 80000002

}  // namespace io

// Module offsets (module number times 10000).
namespace io {
inline constexpr int module_offset = 10000;
}
namespace ma {
inline constexpr int module_offset = 20000;
}
namespace vg {
inline constexpr int module_offset = 130000;
}
namespace gs {
inline constexpr int module_offset = 140000;
}
namespace fio {
inline constexpr int module_offset = 180000;
}

// Error codes (status modulo st::module_scale). Codes 1 to 40 come in groups of four,
// for the first, second, third and fourth-or-greater array dimension.
namespace st {

// A failure status is module number times module_scale plus the error code.
inline constexpr int module_scale = 10000;

// Array dimension illegally defined.
inline constexpr int array_dimension_1 = 1, array_dimension_2 = 2, array_dimension_3 = 3,
                     array_dimension_4 = 4;
// Data region illegally defined.
inline constexpr int region_1 = 5, region_2 = 6, region_3 = 7, region_4 = 8;
// Internal array limit exceeded.
inline constexpr int internal_limit_1 = 9, internal_limit_2 = 10, internal_limit_3 = 11,
                     internal_limit_4 = 12;
// Illegal relationship between two variables.
inline constexpr int relation_1 = 13, relation_2 = 14, relation_3 = 15, relation_4 = 16;
// Integer value out of acceptable range.
inline constexpr int int_range_1 = 17, int_range_2 = 18, int_range_3 = 19, int_range_4 = 20;
// Real value out of acceptable range.
inline constexpr int real_range_1 = 21, real_range_2 = 22, real_range_3 = 23, real_range_4 = 24;
// Number of elements is not a power of two.
inline constexpr int power_of_two_1 = 25, power_of_two_2 = 26, power_of_two_3 = 27,
                     power_of_two_4 = 28;
// A value which must be even is not.
inline constexpr int even_1 = 29, even_2 = 30, even_3 = 31, even_4 = 32;
// Badly defined character variable.
inline constexpr int bad_text_1 = 33, bad_text_2 = 34, bad_text_3 = 35, bad_text_4 = 36;
// External array limit exceeded.
inline constexpr int external_limit_1 = 37, external_limit_2 = 38, external_limit_3 = 39,
                     external_limit_4 = 40;

inline constexpr int open_failed = 1000;         // failed to open file
inline constexpr int end_of_file = 1001;         // end of file found
inline constexpr int no_memory = 1002;           // memory allocation failed
inline constexpr int divide_by_zero = 1003;      // divide by zero encountered
inline constexpr int log_of_nonpositive = 1004;  // logarithm of zero or a negative number
inline constexpr int bad_file_data = 1005;       // bad data in file input
inline constexpr int singular = 1006;            // singular or ill-conditioned matrix
inline constexpr int bad_state = 1007;           // bad internal state (internal data-base)
inline constexpr int read_statement = 1008;      // error during READ statement
inline constexpr int unknown_system = 1009;      // unknown operating system characteristics
inline constexpr int write_failed = 1010;        // write to output file failed
inline constexpr int read_failed = 1011;         // read from file failed (but not EOF)
inline constexpr int not_in_order = 1012;        // array element values not in required order
inline constexpr int macro_syntax = 1013;        // syntax error from an input macro
inline constexpr int bad_algorithm_data = 1014;  // bad data has caused problem with algorithm
inline constexpr int string_too_short = 1015;    // string of insufficient length
inline constexpr int window_failed = 2001;       // failed to open X-11 window
inline constexpr int bad_workstation = 2002;     // illegal graphics workstation number
inline constexpr int other = 9999;               // other, undefined error

}  // namespace st
