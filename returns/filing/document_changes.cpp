#include "returns/filing/document_changes.h"

#include <algorithm>
#include <deque>
#include <map>

#include "returns/filing/written_documents.h"

namespace vat {

namespace {

std::vector<WrittenDocument> DocumentsOf(const std::vector<ReturnFileText>& files,
                                         const std::string& name) {
    for (const ReturnFileText& file : files)
        if (file.name == name) return ReadWrittenDocuments(file.bytes);
    return {};
}

std::optional<std::string> FieldOf(const WrittenDocument& document, const std::string& name) {
    for (const auto& [field, value] : document.fields)
        if (field == name) return value;
    return std::nullopt;
}

// The fields either side has, in the order of is and then those only was has, each as it was
// and as it is; those the same left out.
std::vector<FieldChange> FieldChanges(const WrittenDocument* was, const WrittenDocument* is) {
    std::vector<std::string> names;
    for (const WrittenDocument* side : {is, was})
        if (side)
            for (const auto& field : side->fields)
                if (std::ranges::find(names, field.first) == names.end())
                    names.push_back(field.first);
    std::vector<FieldChange> changes;
    for (const std::string& name : names) {
        FieldChange change{name, was ? FieldOf(*was, name) : std::nullopt,
                           is ? FieldOf(*is, name) : std::nullopt};
        if (change.was != change.is) changes.push_back(std::move(change));
    }
    return changes;
}

void CompareFile(const std::string& file, const std::vector<WrittenDocument>& was,
                 const std::vector<WrittenDocument>& is, std::vector<DocumentChange>& changes) {
    std::map<std::string, std::deque<std::size_t>> waiting;  // key -> was's documents unmatched
    for (std::size_t at = 0; at < was.size(); ++at) waiting[was[at].Key()].push_back(at);
    std::vector<bool> matched(was.size(), false);
    for (const WrittenDocument& document : is) {
        std::deque<std::size_t>& same = waiting[document.Key()];
        if (same.empty()) {
            changes.push_back({file, document.Name(), DocumentChangeKind::Added,
                               FieldChanges(nullptr, &document)});
            continue;
        }
        const std::size_t at = same.front();
        same.pop_front();
        matched[at] = true;
        std::vector<FieldChange> fields = FieldChanges(&was[at], &document);
        if (!fields.empty())
            changes.push_back(
                {file, document.Name(), DocumentChangeKind::Changed, std::move(fields)});
    }
    for (std::size_t at = 0; at < was.size(); ++at)
        if (!matched[at])
            changes.push_back({file, was[at].Name(), DocumentChangeKind::Removed,
                               FieldChanges(&was[at], nullptr)});
}

}  // namespace

std::vector<DocumentChange> CompareReturnFiles(const std::vector<ReturnFileText>& was,
                                               const std::vector<ReturnFileText>& is) {
    std::vector<std::string> names;
    for (const auto* side : {&was, &is})
        for (const ReturnFileText& file : *side)
            if (std::ranges::find(names, file.name) == names.end()) names.push_back(file.name);
    std::vector<DocumentChange> changes;
    for (const std::string& name : names)
        CompareFile(name, DocumentsOf(was, name), DocumentsOf(is, name), changes);
    return changes;
}

const char* ChangeText(DocumentChangeKind change) {
    switch (change) {
        case DocumentChangeKind::Added:
            return "added";
        case DocumentChangeKind::Removed:
            return "removed";
        default:
            return "changed";
    }
}

}  // namespace vat
