#include "fe/quit.h"

#include <windows.h>

#include <vector>

// Registration order; quit takes routines off the end.
static std::vector<feQuitRoutine>& atQuitList() {
  static std::vector<feQuitRoutine> list;
  return list;
}

void feAtQuit(feQuitRoutine routine) { atQuitList().push_back(routine); }

void feQuitRun() {
  auto& list = atQuitList();
  while (!list.empty()) {
    feQuitRoutine r = list.back();
    list.pop_back();
    if (r) r();
  }
  PostQuitMessage(0);
}
