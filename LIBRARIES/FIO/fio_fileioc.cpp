// The two stream slots and their byte reads and writes, on the C library's
// buffered streams.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "fio_internal.h"

namespace {

struct Slot {
  FILE* stream = nullptr;
  bool open = false;
};

Slot slots[2];

// The slot of an identifier, or null for an unknown one.
Slot* slot_of(int file_id) {
  if (file_id == fio::input_file) return &slots[0];
  if (file_id == fio::output_file) return &slots[1];
  return nullptr;
}

// The open input slot of a read, or null with the result code: 1 for
// another identifier, 2 (after its warning) when the slot is closed.
Slot* input_slot(int file_id, int& result) {
  if (file_id != fio::input_file) {
    result = fio::stream_bad_argument;
    return nullptr;
  }
  if (!slots[0].open) {
    io::say("WARNING: Input file is not open");
    result = fio::stream_not_open;
    return nullptr;
  }
  return &slots[0];
}

// Reverses the whole groups of `group` bytes within the first n bytes.
void reverse_groups(std::byte* bytes, int n, int group) {
  for (int i = 0; i + group <= n; i += group) std::reverse(bytes + i, bytes + i + group);
}

int group_of(int reversal) {
  switch (reversal) {
    case fio::reverse_pairs:
      return 2;
    case fio::reverse_quads:
      return 4;
    case fio::reverse_octets:
      return 8;
    default:
      return 0;
  }
}

// Reads from the input slot; the common part of the two byte reads.
void read_bytes(int file_id, int buffer_size, int bytes_requested, int reversal, int& result,
                int& bytes_read, std::span<std::byte> buffer) {
  bytes_read = 0;
  if (buffer_size < 0 || bytes_requested < 0 || bytes_requested > buffer_size ||
      static_cast<std::size_t>(buffer_size) > buffer.size()) {
    result = fio::stream_bad_argument;
    return;
  }
  Slot* slot = input_slot(file_id, result);
  if (slot == nullptr) return;
  const std::size_t n =
      std::fread(buffer.data(), 1, static_cast<std::size_t>(bytes_requested), slot->stream);
  bytes_read = static_cast<int>(n);
  const int group = group_of(reversal);
  if (group > 0) reverse_groups(buffer.data(), bytes_read, group);
  result = bytes_read < bytes_requested ? fio::stream_short : fio::stream_done;
}

}  // namespace

void FIO_FILEOPENC(const std::string& path, int path_length, int mode, int& result, int& file_id) {
  static const char* const modes[] = {"rb", "wb", "r", "w"};
  if (mode < fio::mode_read || mode > fio::mode_write_text) {
    result = fio::stream_bad_argument;
    return;
  }
  const int id =
      mode == fio::mode_read || mode == fio::mode_read_text ? fio::input_file : fio::output_file;
  Slot* slot = slot_of(id);
  if (slot->open) {
    result = fio::stream_not_open;
    return;
  }
  const std::size_t length =
      std::min({path.size(), static_cast<std::size_t>(std::max(path_length, 0)),
                static_cast<std::size_t>(fio::max_path)});
  std::string name = path.substr(0, length);
  name = name.substr(0, name.find('\0'));
  FILE* f = name.empty() ? nullptr : std::fopen(name.c_str(), modes[mode - 1]);
  if (f == nullptr) {
    result = fio::stream_system;
    return;
  }
  // A directory opens for reading on this system, but reads nothing.
  struct stat info {};
  if (fstat(fileno(f), &info) != 0 || S_ISDIR(info.st_mode)) {
    std::fclose(f);
    result = fio::stream_system;
    return;
  }
  slot->stream = f;
  slot->open = true;
  file_id = id;
  result = fio::stream_done;
}

void FIO_FILECLOSEC(int file_id, int& result) {
  Slot* slot = slot_of(file_id);
  if (slot == nullptr) {
    result = fio::stream_bad_argument;
    return;
  }
  if (!slot->open) {
    result = fio::stream_not_open;
    return;
  }
  const bool failed = std::fclose(slot->stream) != 0;
  slot->stream = nullptr;
  slot->open = false;
  result = failed ? fio::stream_system : fio::stream_done;
}

void FIO_FILEREADC(int file_id, int buffer_size, int bytes_requested, int reversal, int& result,
                   int& bytes_read, std::span<std::byte> buffer) {
  read_bytes(file_id, buffer_size, bytes_requested, reversal, result, bytes_read, buffer);
  if (result == fio::stream_short) {
    char line[96];
    std::snprintf(line, sizeof line, "WARNING: %i bytes input instead of %i requested", bytes_read,
                  bytes_requested);
    io::say(line);
  }
}

void FIO_FILEPREADC(int file_id, std::int64_t offset, int buffer_size, int bytes_requested,
                    int reversal, int& result, int& bytes_read, std::span<std::byte> buffer) {
  bytes_read = 0;
  Slot* slot = input_slot(file_id, result);
  if (slot == nullptr) return;
  if (offset < 0 || fseeko(slot->stream, static_cast<off_t>(offset), SEEK_SET) != 0) {
    result = fio::stream_seek;
    return;
  }
  if (bytes_requested == 0) {
    result = fio::stream_done;
    return;
  }
  read_bytes(file_id, buffer_size, bytes_requested, reversal, result, bytes_read, buffer);
}

void FIO_ASCIIREADC(int file_id, int buffer_length, int& result, std::string& buffer) {
  if (buffer_length < 2) {
    result = fio::stream_bad_argument;
    return;
  }
  Slot* slot = input_slot(file_id, result);
  if (slot == nullptr) return;
  buffer.clear();
  int c = 0;
  while (static_cast<int>(buffer.size()) < buffer_length - 1 &&
         (c = std::fgetc(slot->stream)) != EOF) {
    buffer.push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  if (buffer.empty()) {
    result = fio::stream_end_of_file;
    return;
  }
  if (buffer == "\n" || buffer == "\r\n") buffer = " ";
  result = fio::stream_done;
}

namespace {

// Writes `count` elements of `size` bytes to the output slot after the
// argument checks (reversing the groups of `group` bytes of `bytes` in place
// first); a short write gives 3 with "<message> errno = %i".
void write_elements(int file_id, int capacity, int count, std::size_t available, std::size_t size,
                    const void* data, std::byte* bytes, int group, const char* message, int& result,
                    int& written) {
  written = 0;
  Slot* slot = slot_of(file_id);
  if (file_id != fio::output_file || slot == nullptr || count < 0 || capacity < count ||
      static_cast<std::size_t>(capacity) > available) {
    result = fio::stream_bad_argument;
    return;
  }
  if (!slot->open) {
    result = fio::stream_not_open;
    return;
  }
  if (group > 0) reverse_groups(bytes, count, group);
  written =
      static_cast<int>(std::fwrite(data, size, static_cast<std::size_t>(count), slot->stream));
  if (written < count) {
    char line[80];
    std::snprintf(line, sizeof line, "%s errno = %i", message, errno);
    io::say(line);
    result = fio::stream_system;
    return;
  }
  result = fio::stream_done;
}

}  // namespace

void FIO_FILEWRITEC(int file_id, int buffer_size, int bytes_to_write, int reversal,
                    std::span<std::byte> buffer, int& result, int& bytes_written) {
  // The reversal is applied to the caller's buffer, and stays.
  write_elements(file_id, buffer_size, bytes_to_write, buffer.size(), 1, buffer.data(),
                 buffer.data(), group_of(reversal), "fio_filewritec:", result, bytes_written);
}

void FIO_FILEWREALC(int file_id, int array_size, int count, std::span<const float> values,
                    int& result, int& number_written) {
  write_elements(file_id, array_size, count, values.size(), sizeof(float), values.data(), nullptr,
                 0, "ERROR: fio_filewrealc:", result, number_written);
}

namespace fio {

std::int64_t input_file_size() {
  const Slot& slot = slots[0];
  if (!slot.open) return -1;
  struct stat info {};
  if (fstat(fileno(slot.stream), &info) != 0) return -1;
  return static_cast<std::int64_t>(info.st_size);
}

}  // namespace fio
