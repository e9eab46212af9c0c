#pragma once

#include "InterfaceThreadBoxes.h"

// The system's message boxes as modal, top-most Qt dialogs: the error icon
// with OK, the question icon with Yes and No. Boxes asked for from a worker
// thread are shown on the interface thread.
class QtMessageBoxProvider : public InterfaceThreadBoxes {
 public:
  QtMessageBoxProvider();
};
