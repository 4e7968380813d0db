#pragma once

#include "core/Services.h"

namespace velmor {

// Opens a file the way the desktop would. A script with no associated program is run by
// Wine's script host or command interpreter when Wine is installed.
class DesktopOpener : public DesktopShell {
public:
    Outcome Open(const std::string& path) override;
};

// Where nothing may be started (the batch runner): every file counts as having no program.
class NoDesktopShell : public DesktopShell {
public:
    Outcome Open(const std::string&) override { return Outcome::NoProgram; }
};

}  // namespace velmor
