#pragma once
// Installed system-wide, the program folder is read-only to its users. A marker file installed
// beside the executable says so (the build tree has none), and the program then writes into a
// folder of the user's own that mirrors the writable parts of the program folder: simulations/,
// seeded with the shipped simulation files, and datfiles1/ for the scratch picture.

#include "record/file_layer.h"
#include "session/session.h"

#include <filesystem>
#include <string_view>

namespace vm::session {

inline constexpr std::string_view kInstalledMarker = "installed-layout";

// $XDG_DATA_HOME/velta-morvane, else $HOME/.local/share/velta-morvane, else the same below the
// home folder the user database gives; empty when none of them names an absolute folder.
std::filesystem::path userDataFolder();

// Makes userDir's simulations/ and datfiles1/ and copies into simulations/ each shipped .spi file
// of exeDir's simulations/ that the user does not have, each copy whole or not at all; the user's
// own files are never replaced. The first folder or copy that cannot be written ends it with the
// file layer's message; a shipped file that cannot be read is left out.
record::FileResult seedUserFolder(const std::filesystem::path& exeDir,
                                  const std::filesystem::path& userDir);

// The program folder start-up uses: exeDir alone where the program was built, or exeDir with the
// user's seeded folder when the marker is beside the executable. Installed, the program never
// writes into exeDir: without a user's folder, or when it cannot be made, writableProblem says
// why.
ProgramFolder resolveProgramFolder(const std::filesystem::path& exeDir);

} // namespace vm::session
