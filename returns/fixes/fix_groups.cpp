#include "returns/fixes/fix_groups.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>
#include <utility>

#include "returns/fixes/fix_wording.h"
#include "returns/results/number_forms.h"
#include "returns/rules/party.h"

namespace vat {

namespace {

constexpr std::size_t kTinLength = 11;

// A group as it is being counted: what tells it from the others, and what its texts need.
struct OpenGroup {
    FixGroup group;
    std::optional<DocumentNote> note = {};
    const ErrorRow* firstRow = nullptr;
    // File and document, views of the run's rows and notes.
    std::set<std::pair<std::string_view, std::string_view>> documents;
    std::vector<std::string> elements;
};

std::string PartyKey(const DocumentNote& note) {
    return note.partyAccount ? std::to_string(*note.partyAccount) : "";
}

// The cause of a row and what tells its group from others of the same cause.
std::pair<FixCause, std::string> CauseOf(const ErrorRow& row, const DocumentNote* note) {
    if (!note) {
        const SchemaFailure failure = SchemaFailureOf(row.error);
        return {FixCause::SchemaRule, failure.element + '\n' + failure.reason};
    }
    const std::string document = note->file + '\n' + note->document;
    switch (note->fate) {
        case DocumentFate::TinSkipped:
            return {note->byReturnRule ? FixCause::InStateRule : FixCause::TinOutOfState,
                    PartyKey(*note)};
        case DocumentFate::MissingData:
            if (note->partyMissing) return {FixCause::PartyMissing, PartyKey(*note)};
            return {FixCause::MissingData, document};
        case DocumentFate::BelowOneRupee:
            return {FixCause::BelowOneRupee, document};
        case DocumentFate::Written:
        case DocumentFate::NotGoods:
            break;
    }
    if (note->failing == ElementValue::Tin)
        return {FixCause::TinFailsSchema, PartyKey(*note) + '\n' + note->writtenTin};
    if (note->failing == ElementValue::PartyName || note->failing == ElementValue::Address)
        return {FixCause::PartyFailsSchema, PartyKey(*note)};
    return {FixCause::DocumentFailsSchema, document};
}

// A bill written as an unregistered dealer's because the TIN stored for its party, typed but
// not 11 characters long, reads as none. A party stored without a TIN is meant as one.
bool MistypedUrdTin(const DocumentNote& note) {
    return !note.row && note.writtenTin == kUrdMarkerTin && !note.storedTin.empty() &&
           note.storedTin.find_first_not_of(' ') != std::string::npos &&
           note.storedTin.size() != kTinLength;
}

bool NamesParty(FixCause cause) {
    return cause == FixCause::TinOutOfState || cause == FixCause::InStateRule ||
           cause == FixCause::TinFailsSchema || cause == FixCause::PartyFailsSchema ||
           cause == FixCause::PartyMissing || cause == FixCause::UrdTin;
}

// The document counted once by its file and document, views of the run's rows and notes.
void Count(OpenGroup& open, const DocumentNote* note, std::string_view file,
           std::string_view document, const ErrorRow* row) {
    FixGroup& group = open.group;
    if (!file.empty() &&
        std::find(group.files.begin(), group.files.end(), file) == group.files.end())
        group.files.emplace_back(file);
    if (row) {
        const std::string element = SchemaFailureOf(row->error).element;
        if (!element.empty() &&
            std::find(open.elements.begin(), open.elements.end(), element) == open.elements.end())
            open.elements.push_back(element);
    }
    if (document.empty() || !open.documents.emplace(file, document).second) return;
    ++group.documents;
    if (note) group.taxPaise += ScaledDecimal(note->tax, 2, Tie::AwayFromZero);
}

}  // namespace

namespace {

struct CauseNames {
    std::string_view code;
    std::string_view words;
};

// By FixCause.
constexpr CauseNames kCauseNames[] = {
    {"tinOutOfState", "TIN out of state"},
    {"inStateRule", "in-state parties only"},
    {"tinFailsSchema", "TIN fails the schema"},
    {"partyFailsSchema", "party fails the schema"},
    {"partyMissing", "party missing"},
    {"belowOneRupee", "below one rupee"},
    {"missingData", "missing data"},
    {"documentFailsSchema", "document fails the schema"},
    {"schemaRule", "schema rule"},
    {"urdTin", "TIN read as URD"},
};

}  // namespace

std::string_view CauseCode(FixCause cause) { return kCauseNames[static_cast<int>(cause)].code; }

std::string_view CauseWords(FixCause cause) { return kCauseNames[static_cast<int>(cause)].words; }

bool Fixable(const FixGroup& group) { return group.cause != FixCause::InStateRule; }

std::vector<FixGroup> GroupFixes(const std::vector<ErrorRow>& rows, const DocumentNotes& notes) {
    // Each note is made whole only when its row is grouped: the run keeps them small.
    std::vector<std::optional<std::size_t>> noteOfRow(rows.size());
    for (std::size_t at = 0; at < notes.Size(); ++at)
        if (const auto row = notes.Row(at); row && *row < rows.size()) noteOfRow[*row] = at;

    std::vector<OpenGroup> open;
    std::map<std::pair<FixCause, std::string>, std::size_t> byKey;
    const auto groupOf = [&](FixCause cause, const std::string& key, const DocumentNote* note,
                             const ErrorRow* row) -> OpenGroup& {
        const auto [found, added] = byKey.emplace(std::pair(cause, key), open.size());
        if (added) {
            OpenGroup& group = open.emplace_back();
            group.group.cause = cause;
            if (note) group.note = *note;
            group.firstRow = row;
            if (note && NamesParty(cause)) group.group.party = note->partyAccount;
            if (note && !NamesParty(cause)) group.group.document = note->document;
        }
        return open[found->second];
    };
    for (std::size_t at = 0; at < rows.size(); ++at) {
        const ErrorRow& row = rows[at];
        const std::optional<std::size_t> noted = noteOfRow[at];
        const std::optional<DocumentNote> note =
            noted ? std::optional(notes[*noted]) : std::nullopt;
        const DocumentNote* const explained = note ? &*note : nullptr;
        const auto [cause, key] = CauseOf(row, explained);
        OpenGroup& group = groupOf(cause, key, explained, &row);
        group.group.rows.push_back(at);
        Count(group, explained, noted ? notes.File(*noted) : row.file,
              noted ? notes.Document(*noted) : row.document, &row);
    }
    for (std::size_t at = 0; at < notes.Size(); ++at) {
        if (notes.Row(at)) continue;
        const DocumentNote note = notes[at];
        if (MistypedUrdTin(note))
            Count(groupOf(FixCause::UrdTin, PartyKey(note), &note, nullptr), &note, notes.File(at),
                  notes.Document(at), nullptr);
    }

    std::vector<FixGroup> groups;
    for (OpenGroup& counted : open) {
        FixWords words = WordFix({counted.group, counted.note ? &*counted.note : nullptr,
                                  counted.firstRow, counted.elements});
        counted.group.text = std::move(words.text);
        counted.group.action = std::move(words.action);
        groups.push_back(std::move(counted.group));
    }
    // What a change of the books fixes first, ranked; what the return's rule leaves out after.
    std::stable_sort(groups.begin(), groups.end(), [](const FixGroup& a, const FixGroup& b) {
        return std::tuple(Fixable(a), a.taxPaise, a.documents) >
               std::tuple(Fixable(b), b.taxPaise, b.documents);
    });
    return groups;
}

}  // namespace vat
