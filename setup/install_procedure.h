// The order in which an installation happens: the core that the silent mode runs alone
// and the window runs inside its install sequence.
#pragma once

#include <cstddef>

// Prepares install_dir (path files, the directory with the user's full access, "filer\",
// the network settings), takes an earlier IME module out of the way, deploys the files,
// registers the IME with Windows, writes the shell entries and, on 64-bit Windows, starts
// the 64-bit companion. state.payload and state.work_buffer must have been set up by the
// caller. An earlier module that can be neither deleted nor moved aside ends it after a
// message, with state.restart_required 1 and nothing deployed.
void install_procedure();

// The companion's command line for an installation directory (ending with a backslash):
// the program path in double quotes, since Program Files holds a blank, then
// "regyz32=" and the directory, which the companion takes to the end of its line.
// False when it does not fit into out.
bool compose_companion_command(const char* install_dir, char* out, size_t size);
