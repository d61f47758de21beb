// What the containers with a grab border share: writing a form must store the border
// width the user chose, never the one the grab widened it to.
#pragma once

#include "framework/controls/ExtCtrls.h"

namespace tessapack {

// Runs write with the panel's border set back to zero while grabbed is true, without
// repainting, and restores the widened border afterwards, also when write throws.
template <class Write>
void WriteWithoutGrabBorder(framework::TCustomPanel& panel, bool grabbed, Write write) {
  using framework::WM_SETREDRAW;
  const int saved = panel.BorderWidth();
  auto restore = [&] {
    if (grabbed) panel.SetBorderWidth(saved);
    panel.Perform(WM_SETREDRAW, 1);
  };
  try {
    if (grabbed) {
      panel.Perform(WM_SETREDRAW, 0);
      panel.SetBorderWidth(0);
    }
    write();
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

}  // namespace tessapack
