// The set-up program: greeting, defaults, graphics, banner and shutdown.
#include "kov.h"

int main(int argc, char** argv) {
  return kov::run(argc, argv);
}
