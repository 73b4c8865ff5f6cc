#pragma once
// The start-up sequence between the application object and its event loop.

#include "editor/untVuploraForm.h"

#include <memory>

// Shows the pack selection modally, then creates the editor window (which
// loads the chosen pack) and shows it. The caller runs the event loop.
std::unique_ptr<TfrmVuplora> StartUp();
