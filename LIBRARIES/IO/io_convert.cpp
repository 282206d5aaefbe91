// Conversions between texts and integer, real and logical values, and the
// case changes of texts.
#include <bit>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "io.h"
#include "io_internal.h"

namespace {

using io::stripped;

char lower_char(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

using io::upper;

bool digit(char c) {
  return c >= '0' && c <= '9';
}

// A standard real constant: optional sign, digits with an optional decimal
// point (at least one digit), optional exponent letter E or D with optional
// sign and at least one digit. The exponent letter D is changed to E.
bool real_constant(std::string& text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t mantissa_digits = 0;
  while (i < n && digit(text[i])) ++i, ++mantissa_digits;
  if (i < n && text[i] == '.') {
    ++i;
    while (i < n && digit(text[i])) ++i, ++mantissa_digits;
  }
  if (mantissa_digits == 0) return false;
  if (i < n && (text[i] == 'E' || text[i] == 'D')) {
    text[i] = 'E';
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t exponent_digits = 0;
    while (i < n && digit(text[i])) ++i, ++exponent_digits;
    if (exponent_digits == 0) return false;
  }
  return i == n;
}

// The non-finite values as IO_RTOC writes them.
bool non_finite(const std::string& text, float& value) {
  std::string body = text;
  float sign = 1.0f;
  if (!body.empty() && (body[0] == '+' || body[0] == '-')) {
    if (body[0] == '-') sign = -1.0f;
    body.erase(0, 1);
  }
  if (body == "NAN") {
    value = std::nanf("");
    return true;
  }
  if (body == "INF" || body == "INFINITY") {
    value = sign * INFINITY;
    return true;
  }
  return false;
}

// Shortest number of significant digits that reads back as `value`.
int shortest_digits(float value) {
  char buffer[64];
  for (int digits = 1; digits < 9; ++digits) {
    std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, static_cast<double>(value));
    if (std::strtof(buffer, nullptr) == value) return digits;
  }
  return 9;
}

std::string format(const char* layout, int decimals, float value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, layout, decimals, static_cast<double>(value));
  return buffer;
}

}  // namespace

void IO_TOKTI(const std::string& text, bool& valid, int& value, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_TOKTI V0.2 ")) return;
  valid = false;
  const std::string body = stripped(text);
  std::size_t i = 0;
  if (i < body.size() && (body[i] == '+' || body[i] == '-')) ++i;
  if (i == body.size()) return;
  for (std::size_t k = i; k < body.size(); ++k) {
    if (!digit(body[k])) return;
  }
  errno = 0;
  const long long result = std::strtoll(body.c_str(), nullptr, 10);
  if (errno == ERANGE || result < INT32_MIN || result > INT32_MAX) return;
  value = static_cast<int>(result);
  valid = true;
}

void IO_TOKTR(const std::string& text, bool& valid, float& value, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_TOKTR V0.3 ")) return;
  valid = false;
  // Only the first 30 characters are examined.
  std::string body = upper(stripped(stripped(text).substr(0, 30)));
  if (body.empty()) return;

  bool percent = false;
  if (body.back() == '%') {
    percent = true;
    body.pop_back();
    body = stripped(body);
  }

  float result = 0.0f;
  if (body == "PI") {
    result = 3.1415926f;
  } else if (non_finite(body, result)) {
  } else {
    // "*10**" and "*10^" stand for the exponent letter.
    for (const char* form : {"*10**", "*10^"}) {
      const std::size_t at = body.find(form);
      if (at != std::string::npos) {
        body.replace(at, std::char_traits<char>::length(form), "E");
        break;
      }
    }
    if (!real_constant(body)) return;
    errno = 0;
    if (body.size() >= 15) {
      // Long texts carry more digits than single precision: read them in
      // double precision and round once.
      const double wide = std::strtod(body.c_str(), nullptr);
      if (errno == ERANGE && std::fabs(wide) > 1.0) return;
      if (std::fabs(wide) > static_cast<double>(FLT_MAX)) return;
      result = static_cast<float>(wide);
    } else {
      result = std::strtof(body.c_str(), nullptr);
      if (errno == ERANGE && std::fabs(result) > 1.0f) return;  // overflow; underflow is kept
    }
  }
  if (percent) result = static_cast<float>(static_cast<double>(result) / 100.0);
  value = result;
  valid = true;
}

void IO_TOKTL(const std::string& text, bool& valid, bool& value, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_TOKTL V0.2 ")) return;
  static const char* const false_words[] = {"NO",    "N",       "NON", "\"NO\"", "F",
                                            "FALSE", ".FALSE.", "0",   "NEIN"};
  static const char* const true_words[] = {"YES", "Y",      "\"YES\"", "T", "TRUE",
                                           "1",   ".TRUE.", "OUI",     "YA"};
  // Compared on the first 10 characters.
  const std::string word = upper(stripped(text)).substr(0, 10);
  valid = false;
  for (const char* w : false_words) {
    if (word == w) {
      valid = true;
      value = false;
      return;
    }
  }
  for (const char* w : true_words) {
    if (word == w) {
      valid = true;
      value = true;
      return;
    }
  }
}

void IO_HEXTOI(const std::string& text, bool& valid, int& value, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_HEXTOI V0.1 ")) return;
  valid = false;
  std::string body = upper(stripped(text));
  if (body.size() > 2 && body[0] == '0' && body[1] == 'X') body.erase(0, 2);
  if (body.empty()) return;
  const std::size_t zeros = body.find_first_not_of('0');
  body = zeros == std::string::npos ? std::string("0") : body.substr(zeros);
  if (body.size() > 8) return;
  std::uint32_t bits = 0;
  for (char c : body) {
    std::uint32_t nibble = 0;
    if (digit(c)) {
      nibble = static_cast<std::uint32_t>(c - '0');
    } else if (c >= 'A' && c <= 'F') {
      nibble = static_cast<std::uint32_t>(c - 'A' + 10);
    } else {
      return;
    }
    bits = (bits << 4) | nibble;
  }
  value = static_cast<int>(bits);
  valid = true;
}

void IO_HEXTOR(const std::string& text, bool& valid, float& value, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_HEXTOR V0.1 ")) return;
  int bits = 0;
  IO_HEXTOI(text, valid, bits, status);
  if (valid) value = std::bit_cast<float>(bits);
}

void IO_ITOC(int value, std::string& text) {
  text = std::to_string(value);
}

void IO_RTOC(float v, std::string& text) {
  if (std::isnan(v)) {
    text = "NaN";
  } else if (std::isinf(v)) {
    text = v > 0.0f ? "Infinity" : "-Infinity";
  } else if (v == 0.0f) {
    text = "0.0";
  } else if (v > 0.0f) {
    if (v < 0.0999999f) {
      text = format("%.*E", 6, v);
    } else if (v < 9.99999f) {
      text = format("%.*f", 6, v);
    } else if (v < 99.9999f) {
      text = format("%.*f", 5, v);
    } else if (v < 999.999f) {
      text = format("%.*f", 4, v);
    } else if (v < 9999.99f) {
      text = format("%.*f", 3, v);
    } else if (v < 99999.9f) {
      text = format("%.*f", 2, v);
    } else {
      text = format("%.*E", 6, v);
    }
  } else {
    if (v > -0.0999f) {
      text = format("%.*E", 6, v);
    } else if (v > -9.999f) {
      text = format("%.*f", 6, v);
    } else if (v > -99.99f) {
      text = format("%.*f", 5, v);
    } else if (v > -999.99f) {
      text = format("%.*f", 4, v);
    } else if (v > -9999.99f) {
      text = format("%.*f", 3, v);
    } else if (v > -99999.9f) {
      text = format("%.*f", 2, v);
    } else {
      text = format("%.*E", 6, v);
    }
  }
}

void IO_LTOC(bool value, std::string& text) {
  text = value ? ".TRUE." : ".FALSE.";
}

// Display text of a real: the fewest significant digits that read back as the
// same value; plain decimals from 0.0001 up to ten million, otherwise the
// exponent form ("1.5E+10").
void IO_VTOC(float value, std::string& text) {
  if (!std::isfinite(value) || value == 0.0f) {
    IO_RTOC(value, text);
    return;
  }
  const int digits = shortest_digits(value);
  const float magnitude = std::fabs(value);
  if (magnitude >= 1.0e-4f && magnitude < 1.0e7f) {
    const int exponent = static_cast<int>(std::floor(std::log10(static_cast<double>(magnitude))));
    int decimals = digits - 1 - exponent;
    if (decimals < 0) decimals = 0;
    text = format("%.*f", decimals, value);
    // The decimal logarithm may land one off near powers of ten: add decimals
    // until the text reads back, then drop trailing zeros.
    while (std::strtof(text.c_str(), nullptr) != value && decimals < 50) {
      text = format("%.*f", ++decimals, value);
    }
    if (text.find('.') != std::string::npos) {
      while (text.back() == '0') text.pop_back();
      if (text.back() == '.') text.pop_back();
    }
  } else {
    text = format("%.*E", digits - 1, value);
  }
}

void IO_UPPER(std::string& text) {
  text = io::upper(std::move(text));
}

void IO_LOWER(std::string& text) {
  for (char& c : text) c = lower_char(c);
}
