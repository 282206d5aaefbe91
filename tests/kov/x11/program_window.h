// The window of a kov_master started by a test, found on the X server.
#pragma once

#include <X11/Xlib.h>

#include <string>

#include "wait.h"

namespace kovtest {

// The program's top-level window once it shows (0 after the wait's limit).
inline unsigned long program_window(Display* display) {
  unsigned long found = 0;
  wait_until([&] {
    Window root, parent;
    Window* children = nullptr;
    unsigned n = 0;
    XSync(display, False);
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &n) == 0) {
      return false;
    }
    for (unsigned i = 0; i < n && found == 0; ++i) {
      char* name = nullptr;
      XWindowAttributes a;
      if (XFetchName(display, children[i], &name) != 0 && name != nullptr) {
        if (std::string(name) == "Vellum Graphics Window" &&
            XGetWindowAttributes(display, children[i], &a) != 0 && a.map_state == IsViewable) {
          found = children[i];
        }
        XFree(name);
      }
    }
    if (children != nullptr) XFree(children);
    return found != 0;
  });
  return found;
}

}  // namespace kovtest
