#include "disk/sha256.h"

#include <openssl/evp.h>

#include <array>
#include <fstream>
#include <stdexcept>

namespace vat {

struct Sha256::State {
    EVP_MD_CTX* context = EVP_MD_CTX_new();
};

Sha256::Sha256() : state_(new State) {
    if (!state_->context || EVP_DigestInit_ex(state_->context, EVP_sha256(), nullptr) != 1) {
        EVP_MD_CTX_free(state_->context);
        delete state_;
        throw std::runtime_error("SHA-256 is not available");
    }
}

Sha256::~Sha256() {
    EVP_MD_CTX_free(state_->context);
    delete state_;
}

void Sha256::Add(std::string_view bytes) {
    EVP_DigestUpdate(state_->context, bytes.data(), bytes.size());
}

std::string Sha256::Hex() {
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    EVP_DigestFinal_ex(state_->context, digest.data(), &length);
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex += kDigits[digest[i] >> 4];
        hex += kDigits[digest[i] & 0xf];
    }
    return hex;
}

std::string Sha256OfText(std::string_view bytes) {
    Sha256 digest;
    digest.Add(bytes);
    return digest.Hex();
}

std::optional<std::string> Sha256OfFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    Sha256 digest;
    std::array<char, 1 << 16> buffer{};
    while (in.read(buffer.data(), buffer.size()) || in.gcount() > 0)
        digest.Add(std::string_view(buffer.data(), static_cast<std::size_t>(in.gcount())));
    if (in.bad()) return std::nullopt;
    return digest.Hex();
}

}  // namespace vat
