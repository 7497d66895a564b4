#pragma once

#include <iosfwd>
#include <string>

/// Prints every zone of the carrier data file at path as the program reads it: its values and,
/// for a rejected zone, each key that is missing, not a number or out of range with the range
/// the program accepts. Returns the exit code: 0 when every zone is valid, 1 when one is
/// rejected or none is read, 2 when the file cannot be read.
int CheckDatFile(const std::string& path, std::ostream& out);
