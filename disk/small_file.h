#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace vat {

// The whole of a small file the program wrote itself, read without trusting what now has its
// name: nullopt when there is none; DiskError when it is a symbolic link (never followed),
// anything but a regular file (a FIFO is never waited on) or larger than maxBytes.
std::optional<std::string> ReadSmallFile(const std::filesystem::path& path, std::size_t maxBytes);

}  // namespace vat
