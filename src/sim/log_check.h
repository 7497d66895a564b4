#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sim {

/// Splits one CSV line into its fields: commas separate, "..." quotes with "" for a quote; a
/// CR LF or LF at the end is dropped.
std::vector<std::string> splitCsvLine(std::string_view line);

/// Checks an `expect log` text ("<column>=<value> ...", blank-separated) against the CSV file
/// at path, whose first line names the columns: true when one later line has every value in its
/// column. False with the reason in detail otherwise. Reads the file; does not block otherwise.
bool logHasLine(const std::string& path, std::string_view pairs, std::string& detail);

/// True when text is one or more blank-separated "<column>=<value>" pairs with a column name.
bool validLogPairs(std::string_view text);

}  // namespace sim
