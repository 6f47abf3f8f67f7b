#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "disk/regular_file.h"

namespace vat {

// A SHA-256 digest's 32 bytes.
using Sha256Bytes = std::array<unsigned char, 32>;

// A SHA-256 digest of bytes fed in pieces, as 64 lower-case hex digits.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Add(std::string_view bytes);
    // Ends the digest; nothing may be added afterwards.
    std::string Hex();

private:
    struct State;
    State* state_;
};

std::string Sha256OfText(std::string_view bytes);
Sha256Bytes Sha256BytesOfText(std::string_view bytes);

// A digest's bytes as 64 lower-case hex digits, and back: nullopt for any other text.
std::string HexOf(const Sha256Bytes& bytes);
std::optional<Sha256Bytes> Sha256BytesOfHex(std::string_view hex);

// The largest file the program hashes: far more than a return file of a year's documents, or
// the largest schema, holds.
inline constexpr std::size_t kLargestHashedFile = std::size_t{1} << 30;

// The digest of the file's bytes, from its start. Throws DiskError when it cannot be read.
std::string Sha256OfFile(const RegularFile& file);

// The digest of a file's bytes, opened as OpenRegularFile does, links refused, at most
// kLargestHashedFile long: nullopt when nothing has the name; DiskError when it cannot be read.
std::optional<std::string> Sha256OfFile(const std::filesystem::path& path);

}  // namespace vat
