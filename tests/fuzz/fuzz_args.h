#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

/// A command line from fuzz input: an empty program name, then the arguments the input
/// separates with NUL bytes.
inline std::vector<std::string> argsFromFuzzInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args(2);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0)
      args.emplace_back();
    else
      args.back() += static_cast<char>(data[i]);
  }
  return args;
}
