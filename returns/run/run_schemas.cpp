#include "returns/run/run_schemas.h"

#include <optional>
#include <utility>

#include "disk/regular_file.h"
#include "disk/sha256.h"

namespace vat {

const RunSchemas::Schema& RunSchemas::At(const std::filesystem::path& path) {
    if (const auto found = loaded_.find(path); found != loaded_.end()) return found->second;
    try {
        const std::optional<RegularFile> file =
            OpenRegularFile(path, kLargestHashedFile, LinkRule::Follow);
        if (!file) throw UnreadableSchema(path.string(), "there is no such file");
        std::string sha256 = Sha256OfFile(*file);
        CompiledSchema compiled(file->Descriptor(), path.string());
        return loaded_.emplace(path, Schema{std::move(compiled), std::move(sha256)}).first->second;
    } catch (const UnreadableFile& error) {
        throw UnreadableSchema(path.string(), error.Reason());
    }
}

}  // namespace vat
