#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

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

// The digest of a file's bytes; nullopt when it cannot be read.
std::optional<std::string> Sha256OfFile(const std::filesystem::path& file);

}  // namespace vat
