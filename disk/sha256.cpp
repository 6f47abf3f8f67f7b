#include "disk/sha256.h"

#include <openssl/evp.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace vat {

namespace {

struct FreeContext {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using DigestContext = std::unique_ptr<EVP_MD_CTX, FreeContext>;

struct FreeAlgorithm {
    void operator()(EVP_MD* algorithm) const { EVP_MD_free(algorithm); }
};

// Fetched once: EVP_sha256() makes OpenSSL look the algorithm up again, behind a global lock,
// for every digest started with it.
const EVP_MD* Sha256Algorithm() {
    static const std::unique_ptr<EVP_MD, FreeAlgorithm> algorithm(
        EVP_MD_fetch(nullptr, "SHA256", nullptr));
    return algorithm.get();
}

// (Re)starts a digest on the context.
void Start(EVP_MD_CTX* context) {
    const EVP_MD* algorithm = Sha256Algorithm();
    if (!context || !algorithm || EVP_DigestInit_ex(context, algorithm, nullptr) != 1)
        throw std::runtime_error("SHA-256 is not available");
}

constexpr char kHexDigits[] = "0123456789abcdef";

Sha256Bytes Finish(EVP_MD_CTX* context) {
    Sha256Bytes digest{};
    unsigned int length = 0;
    EVP_DigestFinal_ex(context, digest.data(), &length);
    return digest;
}

}  // namespace

struct Sha256::State {
    DigestContext context{EVP_MD_CTX_new()};
};

Sha256::Sha256() : state_(new State) {
    try {
        Start(state_->context.get());
    } catch (...) {
        delete state_;
        throw;
    }
}

Sha256::~Sha256() { delete state_; }

void Sha256::Add(std::string_view bytes) {
    EVP_DigestUpdate(state_->context.get(), bytes.data(), bytes.size());
}

std::string Sha256::Hex() { return HexOf(Finish(state_->context.get())); }

Sha256Bytes Sha256BytesOfText(std::string_view bytes) {
    // One context per thread, started afresh for each text, so that digesting each document the
    // run reads allocates nothing.
    thread_local const DigestContext context(EVP_MD_CTX_new());
    Start(context.get());
    EVP_DigestUpdate(context.get(), bytes.data(), bytes.size());
    return Finish(context.get());
}

std::string Sha256OfText(std::string_view bytes) { return HexOf(Sha256BytesOfText(bytes)); }

std::string HexOf(const Sha256Bytes& bytes) {
    std::string hex(2 * bytes.size(), '0');
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        hex[2 * at] = kHexDigits[bytes[at] >> 4];
        hex[2 * at + 1] = kHexDigits[bytes[at] & 0xf];
    }
    return hex;
}

std::optional<Sha256Bytes> Sha256BytesOfHex(std::string_view hex) {
    // Each byte's value as a digit HexOf writes (lower case only), and 0x10 for any other: a
    // month's record holds a hundred thousand digests, read without a branch a digit.
    static constexpr std::array<unsigned char, 256> kValue = [] {
        std::array<unsigned char, 256> value{};
        value.fill(0x10);
        for (unsigned char digit = 0; digit < 16; ++digit)
            value[static_cast<unsigned char>(kHexDigits[digit])] = digit;
        return value;
    }();
    Sha256Bytes bytes{};
    if (hex.size() != 2 * bytes.size()) return std::nullopt;
    unsigned invalid = 0;
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        const unsigned high = kValue[static_cast<unsigned char>(hex[2 * at])];
        const unsigned low = kValue[static_cast<unsigned char>(hex[2 * at + 1])];
        invalid |= high | low;
        bytes[at] = static_cast<unsigned char>(high << 4 | low);
    }
    if (invalid & 0x10) return std::nullopt;
    return bytes;
}

std::string Sha256OfFile(const RegularFile& file) {
    Sha256 digest;
    std::array<char, 1 << 16> buffer{};
    // Read at offsets, from the start: the descriptor's own offset stays where it was.
    for (std::size_t read = 0;;) {
        const ssize_t got =
            ::pread(file.Descriptor(), buffer.data(), buffer.size(), static_cast<off_t>(read));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw file.Refusal(std::strerror(errno));
        if (got == 0) return digest.Hex();
        read += static_cast<std::size_t>(got);
        // A file that grew past its cap since it was opened.
        if (read > file.MaxBytes()) throw file.Refusal(file.TooLarge());
        digest.Add(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
    }
}

std::optional<std::string> Sha256OfFile(const std::filesystem::path& path) {
    const std::optional<RegularFile> file = OpenRegularFile(path, kLargestHashedFile);
    if (!file) return std::nullopt;
    return Sha256OfFile(*file);
}

}  // namespace vat
