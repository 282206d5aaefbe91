// Named items of record-structured files: records of 512 bytes, an item
// starting at a record "\NAME:T nnnnnn value...".
#include <array>
#include <cstdlib>

#include "fio_internal.h"

namespace {

using Record = std::array<char, fio::record_length>;

// Reads record `number` (from 1); false at the end of the file (a record
// that is only partly there counts, its missing bytes blank).
bool read_record(int file_id, int number, Record& record) {
  record.fill(' ');
  int result = 0, bytes = 0;
  FIO_FILEPREADC(file_id, static_cast<std::int64_t>(number - 1) * fio::record_length,
                 fio::record_length, fio::record_length, fio::reverse_none, result, bytes,
                 std::as_writable_bytes(std::span<char>(record)));
  return bytes > 0;
}

// The item header of a record: its name (between the backslash and the
// first colon), type character and the number of further records; false
// when the record does not start an item.
bool item_header(const Record& record, std::string& name, char& type, int& further) {
  if (record[0] != '\\') return false;
  std::size_t colon = 1;
  while (colon < record.size() && record[colon] != ':') ++colon;
  if (colon + 9 >= record.size()) return false;
  name.assign(record.data() + 1, colon - 1);
  type = record[colon + 1];
  const std::string count(record.data() + colon + 2, 6);
  char* end = nullptr;
  const long n = std::strtol(count.c_str(), &end, 10);
  further = n < 0 ? 0 : static_cast<int>(std::min<long>(n, 1 << 24));
  return true;
}

// The value text of an item from the byte where it begins to the end of
// its last record.
bool item_text(int file_id, const std::string& item, bool& found, char& type, std::string& text,
               int& status) {
  int record = 0, position = 0;
  FIO_FREAD_SEARCHITEM(file_id, item, 1, found, type, record, position, status);
  if (status != io::status_good || !found) return false;
  Record r{};
  std::string name;
  char t = ' ';
  int further = 0;
  read_record(file_id, record, r);
  item_header(r, name, t, further);
  text.assign(r.data() + position - 1, r.size() - static_cast<std::size_t>(position - 1));
  for (int k = 1; k <= further && read_record(file_id, record + k, r); ++k) {
    text.append(r.data(), r.size());
  }
  text = text.substr(0, text.find('\0'));
  return true;
}

}  // namespace

void FIO_FREAD_SEARCHITEM(int file_id, const std::string& item, int first_record, bool& found,
                          char& type, int& record, int& position, int& status) {
  constexpr const char* id = "Subroutine FIO_FREAD_SEARCHITEM V0.2 ";
  if (!io::entry_ok(status, id)) return;
  found = false;
  const std::string wanted = io::trimmed(item);
  Record r{};
  for (int k = std::max(first_record, 1); read_record(file_id, k, r);) {
    std::string name;
    char t = ' ';
    int further = 0;
    if (!item_header(r, name, t, further)) {
      ++k;
      continue;
    }
    if (name == wanted) {
      found = true;
      type = t;
      record = k;
      position = static_cast<int>(name.size()) + 11;
      return;
    }
    k += further + 1;
  }
  io::say("INFO: File item not found: " + wanted);
}

void FIO_FREAD_STRING(int file_id, const std::string& item, bool& found, std::string& value,
                      int& status) {
  constexpr const char* id = "Subroutine FIO_FREAD_STRING V0.1 ";
  if (!io::entry_ok(status, id)) return;
  char type = ' ';
  std::string text;
  if (item_text(file_id, item, found, type, text, status)) value = io::trimmed(text);
}

void FIO_FREAD_REAL(int file_id, const std::string& item, bool& found, float& value, int& status) {
  constexpr const char* id = "Subroutine FIO_FREAD_REAL V0.1 ";
  if (!io::entry_ok(status, id)) return;
  char type = ' ';
  std::string text;
  if (!item_text(file_id, item, found, type, text, status)) return;
  bool valid = false;
  float v = 0.0f;
  IO_TOKTR(io::stripped(text), valid, v, status);
  if (valid) {
    value = v;
  } else {
    found = false;
    io::say("WARNING: Bad real value of file item: " + io::trimmed(item));
  }
}

void FIO_FREAD_RARRAY(int file_id, const std::string& item, int max_values, bool& found,
                      int& num_values, std::span<float> values, int& status) {
  constexpr const char* id = "Subroutine FIO_FREAD_RARRAY V0.1 ";
  if (!io::entry_ok(status, id)) return;
  char type = ' ';
  std::string text;
  num_values = 0;
  if (!item_text(file_id, item, found, type, text, status)) return;
  const int limit = std::min(max_values, static_cast<int>(values.size()));
  int position = 1;
  while (num_values < limit) {
    bool more = false;
    std::string token;
    IO_TOKEN(text, position, more, token, status);
    if (!more || status != io::status_good) break;
    bool valid = false;
    float v = 0.0f;
    IO_TOKTR(token, valid, v, status);
    if (!valid) {
      io::say("WARNING: Bad real value of file item: " + io::trimmed(item));
      break;
    }
    values[static_cast<std::size_t>(num_values++)] = v;
  }
}
