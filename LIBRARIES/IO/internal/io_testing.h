// The test switch of iolib (for tests, not the program): where console
// lines go.
#pragma once

#include <string>

namespace io {

// While a sink is installed, console lines go to it instead of standard
// output (`newline` false for IO_WRITENA). Null restores standard output.
using ConsoleSink = void (*)(const std::string& text, bool newline, void* context);
void set_console_sink(ConsoleSink sink, void* context);

}  // namespace io
