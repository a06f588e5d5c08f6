// Small archives for the install procedure's tests, made with the project's own writer.
#pragma once

#include <string>
#include <vector>

// Packs the files (full paths) into archive_path and returns the archive's bytes, empty
// on failure.
std::string make_test_archive(const std::string& archive_path,
                              const std::vector<std::string>& files);

// Changes one digit of the stored digest of entry `index`, so that entry fails its check.
bool spoil_entry_digest(std::string& archive, unsigned index);
