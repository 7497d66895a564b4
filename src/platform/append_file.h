#pragma once

#include <string>
#include <string_view>

namespace platform {

/// Appends text to the file at path with one write and flushes it, creating the file when
/// missing. When the file is new or empty, header goes in front of text in the same write, so
/// a reader never finds lines without their header. Blocks until the data is handed to the
/// system. False when the file cannot be opened or the write or flush fails.
bool appendToFile(const std::string& path, std::string_view header, std::string_view text);

}  // namespace platform
