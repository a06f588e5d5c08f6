// The commands of the yzz tool. Each takes the arguments after its own name, prints its
// results on stdout and one line per error on stderr, and returns the exit status: 0 only
// when every entry succeeded, 1 when one failed, 2 for a wrong command line.
// Paths on the command line are UTF-8 (the host's file names); names inside archives are
// GBK and are printed in UTF-8.
#pragma once

// pack [--legacy] ARCHIVE FILE...: appends each FILE as an entry (legacy layout with
// --legacy), creating ARCHIVE when it does not exist.
int run_pack(int argc, char** argv);
// list ARCHIVE: one line per entry, "name<TAB>csize<TAB>digest" ("-" for the legacy layout).
int run_list(int argc, char** argv);
// verify [--exclude TEXT] ARCHIVE DIR: compares DIR with the archive as the setup does and
// prints the report and a count.
int run_verify(int argc, char** argv);
// unpack ARCHIVE DIR: unpacks every entry into DIR (created when missing), as the setup does.
int run_unpack(int argc, char** argv);

int print_usage();
