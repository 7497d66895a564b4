#pragma once

#include <string>
#include <string_view>

namespace platform {

/// Appends text to the file at path with one write and flushes it, creating the file when
/// missing. When the file is new or empty, header goes in front of text in the same write, so
/// a reader never finds lines without their header. Blocks until the data is handed to the
/// system. False when the file cannot be opened or the write or flush fails.
bool appendToFile(const std::string& path, std::string_view header, std::string_view text);

/// As appendToFile, for a file whose columns may have grown: when the file already holds lines
/// and its last header line (the last line beginning with headerStart) is not header, header
/// goes in front of text again, so the file is continued under the new header and never
/// rewritten. Reads the file once before the write.
bool appendUnderHeader(const std::string& path, std::string_view header,
                       std::string_view headerStart, std::string_view text);

/// The last line of the file at path that begins with headerStart, without its line end; empty
/// when the file is missing, unreadable or holds no such line.
std::string lastHeaderLine(const std::string& path, std::string_view headerStart);

/// Writes text as the new file name in folder, making the folder (and the folders above it)
/// when missing. False when the folder cannot be made or the file cannot be written whole.
bool writeNewFile(const std::string& folder, const std::string& name, std::string_view text);

}  // namespace platform
