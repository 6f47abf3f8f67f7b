#include "returns/run/run_result.h"

namespace vat {

std::vector<std::string> RunResult::FilesWritten() const {
    std::vector<std::string> files;
    for (const FileAccount& account : accounts)
        if (account.path) files.push_back(*account.path);
    return files;
}

}  // namespace vat
