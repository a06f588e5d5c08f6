// The order in which an installation happens: the core that the silent mode runs alone
// and the window runs inside its install sequence.
#pragma once

// Recomputes state.install_dir, publishes it in the path files, creates the directory and
// its "filer\" subdirectory, and unpacks state.payload into it with state.work_buffer as
// scratch, showing a message for each file that could not be unpacked. Both payload and
// work_buffer must have been set up by the caller (null ones unpack nothing).
void install_procedure();
