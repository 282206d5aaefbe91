// Opening a stream slot by file name, with or without asking for the name.
#include "fio_internal.h"

void FIO_FILEOPEN(const std::string& file_name, const std::string& mode, int& result, int& file_id,
                  int& status) {
  constexpr const char* id = "Subroutine FIO_FILEOPEN V0.3 ";
  if (!io::entry_ok(status, id)) return;
  const std::string name = io::trimmed(file_name);
  if (name.empty()) {
    io::fail(fio::status_bad_name, id, status);
    return;
  }
  // Compared over the length of each mode word, in this order.
  struct ModeWord {
    const char* word;
    int code;
  };
  static const ModeWord words[] = {{"READ", fio::mode_read},
                                   {"WRITE", fio::mode_write},
                                   {"READ_ASCII", fio::mode_read_text},
                                   {"WRITE_ASCII", fio::mode_write_text}};
  int code = 0;
  for (const auto& w : words) {
    const std::string word(w.word);
    if (mode.compare(0, word.size(), word) == 0 && mode.size() >= word.size()) code = w.code;
  }
  if (code == 0) {
    io::fail(fio::status_bad_mode, id, status);
    return;
  }
  const std::string path = name.substr(0, fio::max_path);
  FIO_FILEOPENC(path, static_cast<int>(path.size()), code, result, file_id);
}

void FIO_OPENFILE(bool prompt, const std::string& mode, std::string& file_name, int& result,
                  int& file_id, int& status) {
  fio::open_named(prompt, "FILE NAME", "Enter Name of file", mode, file_name, result, file_id,
                  status);
}
