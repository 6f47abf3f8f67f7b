#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "validation/schema_validation.h"

namespace vat {

// A run's schemas, each read, hashed and compiled once, the first time it is asked for, and
// kept for the rest of the run: a schema of a million types takes minutes to compile.
class RunSchemas {
public:
    struct Schema {
        CompiledSchema compiled;
        std::string sha256;  // of the bytes compiled
    };

    // The schema in the file. It may be reached through a symbolic link, but only a regular file
    // is read: a FIFO or a device is refused at once. Throws SchemaLoadError when it cannot be
    // used.
    const Schema& At(const std::filesystem::path& path);

private:
    std::map<std::filesystem::path, Schema> loaded_;
};

}  // namespace vat
