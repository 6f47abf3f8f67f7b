#include "returns/record/run_record.h"

#include <array>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "disk/atomic_file_writer.h"
#include "disk/local_time.h"
#include "disk/small_file.h"
#include "returns/record/json_string.h"
#include "returns/record/reconciliation_json.h"
#include "returns/record/record_json_failure.h"
#include "returns/results/json_object_writer.h"
#include "returns/results/run_json.h"

namespace vat {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

namespace {

// Well above the largest real record: a 100,000-voucher month's is under 20 MB.
constexpr std::size_t kLargestRunRecord = std::size_t{64} << 20;

Json HashedFilesJson(const std::vector<HashedFile>& files) {
    Json list = Json::array();
    for (const HashedFile& file : files)
        list.push_back({{"name", file.name}, {"sha256", file.sha256}});
    return list;
}

std::vector<HashedFile> HashedFilesOf(const Json& list) {
    std::vector<HashedFile> files;
    for (const Json& file : list)
        files.push_back({file.at("name").get<std::string>(), file.at("sha256").get<std::string>()});
    return files;
}

// "<digest> <file>\t<document>", a line of the record's documents; its names are views of text.
DocumentDigest DocumentOfLine(std::string_view text) {
    const std::size_t space = text.find(' ');
    const std::size_t tab = text.find('\t', space);
    if (space == std::string::npos || tab == std::string::npos)
        throw RunRecordError(R"(a document is not "<digest> <file>\t<document>")");
    const auto digest = Sha256BytesOfHex(text.substr(0, space));
    if (!digest) throw RunRecordError("a document's digest is not 64 hex digits");
    return {text.substr(space + 1, tab - space - 1), text.substr(tab + 1), *digest};
}

constexpr std::string_view kDocumentsOpening = "\n \"documents\": [";

// The document lines that end a record laid out as PrintRunRecord lays it out: after a line
// break and one space, `"documents": [`, one string a line, then `]` and the closing brace
// alone. Read here, without the JSON library's lexer, which takes most of a large record's
// parse; nullopt, leaving the whole record to the library, for any other layout and any line
// the library alone should read. The text before them is head.
std::optional<DocumentDigests> EndingDocumentLines(std::string_view text, std::string_view& head) {
    const std::size_t key = text.rfind(kDocumentsOpening);
    if (key == std::string_view::npos) return std::nullopt;
    const auto skipSpace = [&text](std::size_t at) {
        const std::size_t next = text.find_first_not_of(" \t\r\n", at);
        return next == std::string_view::npos ? text.size() : next;
    };
    DocumentDigests documents;
    std::string line;
    std::size_t at = skipSpace(key + kDocumentsOpening.size());
    while (at < text.size() && text[at] != ']') {
        if (text[at] != '"' || !ReadPlainJsonString(text, at, line)) return std::nullopt;
        documents.Add(DocumentOfLine(line));
        at = skipSpace(at);
        if (at == text.size() || text[at] != ',') break;
        at = skipSpace(at + 1);
        if (at == text.size() || text[at] != '"') return std::nullopt;
    }
    if (at == text.size() || text[at] != ']') return std::nullopt;
    at = skipSpace(at + 1);
    if (at == text.size() || text[at] != '}' || skipSpace(at + 1) != text.size())
        return std::nullopt;
    head = text.substr(0, key);
    return documents;
}

// The record up to its documents.
void PrintHead(JsonObjectWriter& json, const RunRecord& record) {
    json.Member("dataFile", record.dataFile);
    // The books keep no company name: the data file names the company.
    json.Member("company", record.dataFile);
    json.Member("dealerTin", record.dealerTin);
    json.Member("financialYear", {{"start", record.yearStart}, {"end", record.yearEnd}});
    json.Member("month", record.month);
    json.Member("interstateParties", InterstatePartiesCode(record.interstateParties));
    json.Member("writtenAt", record.writtenAt);
    json.Member("programVersion", record.programVersion);
    json.Member("files", HashedFilesJson(record.files));
    json.Member("schemas", HashedFilesJson(record.schemas));
    json.Member("figures", FiguresJson(record.figures));
    json.Member("accounts", AccountsJson(record.accounts));
    json.Member("fingerprint", record.fingerprint);
    if (record.reconciliation)
        WriteReconciliationJson(json, "reconciliation", *record.reconciliation);
}

// The documents that end the record, and its closing brace.
void PrintDocuments(JsonObjectWriter& json, const DocumentDigests& documents, std::ostream& out) {
    // "<digest> <file>\t<document>" each, in the order the run read them, each line escaped in
    // the room the one before it left.
    json.OpenArray("documents");
    std::string line;
    for (const DocumentDigest& document : documents) {
        const std::string digest = HexOf(document.digest);
        line = '"';
        const auto escape = [&line](std::string_view piece) {
            return AppendJsonStringContents(line, piece);
        };
        if (escape(digest) && escape(" ") && escape(document.file) && escape("\t") &&
            escape(document.document)) {
            line += '"';
        } else {
            // Ledger text that is not UTF-8 must not stop the record: its bad bytes are replaced.
            line = JsonStringText(digest + ' ' + std::string(document.file) + '\t' +
                                  std::string(document.document));
        }
        json.ElementText(line);
    }
    json.CloseArray();
    json.Close();
    out << '\n';
}

// What every reading of a record refuses, whatever it takes from it: members nested deeper than
// any record's (five levels), which could exhaust the stack of what reads them, and a member
// named twice in one object, of which one reader could take the first and another the last.
// Depths count the containers open around a value.
class RecordNesting {
public:
    void Open(int depth, bool isObject) {
        if (depth >= kDeepest)
            throw RunRecordError("not a run record: its members nest deeper than " +
                                 std::to_string(kDeepest) + " levels");
        if (!isObject) return;
        if (keys_.size() <= static_cast<std::size_t>(depth)) keys_.resize(depth + 1);
        keys_[depth].clear();
    }
    // A key of the object opened at depth - 1.
    void Key(int depth, const std::string& name) {
        if (!keys_.at(depth - 1).insert(name).second)
            throw RunRecordError("not a run record: its member \"" + name +
                                 "\" is given twice in one object");
    }

private:
    static constexpr int kDeepest = 32;
    std::vector<std::set<std::string>> keys_;  // of the open object at each depth
};

// The record as the JSON library parses it, which takes a month's document lines and the
// reconciliation's items as they come, never as a tree of strings: the documents are the root's
// "documents" list, the items the elements of an "items" list of a figure of "reconciliation".
class RecordParse {
public:
    DocumentDigests documents;
    ReconcilingItems items;

    Json::parser_callback_t Callback() {
        return [this](int depth, Json::parse_event_t event, Json& parsed) {
            return Keep(depth, event, parsed);
        };
    }

private:
    using Event = Json::parse_event_t;

    // False for what was taken, which the tree then leaves out.
    bool Keep(int depth, Event event, Json& parsed) {
        if (event == Event::object_start || event == Event::array_start)
            nesting_.Open(depth, event == Event::object_start);
        if (event == Event::key) nesting_.Key(depth, parsed.get_ref<const std::string&>());
        if (event == Event::key && depth >= 1 && depth <= kKeysFollowed) {
            keys_[depth - 1] = parsed.get_ref<const std::string&>();
            for (int deeper = depth; deeper < kKeysFollowed; ++deeper) keys_[deeper].clear();
        }
        if (depth == 2 && keys_[0] == "documents") {
            if (event == Event::object_start || event == Event::array_start) return true;
            documents.Add(DocumentOfLine(parsed.get_ref<const std::string&>()));
            return false;
        }
        const std::optional<ReconciledFigure> figure =
            keys_[0] == "reconciliation" ? ReconciledFigureOfKey(keys_[1]) : std::nullopt;
        if (depth == 3 && figure && keys_[2] == "items" &&
            (event == Event::array_start || event == Event::array_end)) {
            itemsOf_ = event == Event::array_start ? figure : std::nullopt;
            return true;
        }
        if (depth != 4 || !itemsOf_ || event != Event::object_end) return true;
        items[static_cast<std::size_t>(*itemsOf_)].push_back(ParseReconcilingItemJson(parsed));
        return false;
    }

    static constexpr int kKeysFollowed = 3;
    RecordNesting nesting_;
    std::array<std::string, kKeysFollowed> keys_;  // the keys leading to the value parsed
    std::optional<ReconciledFigure> itemsOf_;      // the figure whose items are being parsed
};

// One space an indent; a month's reconciling items and documents are written one by one.
constexpr int kRecordIndent = 1;

}  // namespace

void PrintRunRecord(const RunRecord& record, std::ostream& out) {
    JsonObjectWriter json(out, 0, kRecordIndent);
    PrintHead(json, record);
    PrintDocuments(json, record.documents, out);
}

RunRecord ParseRunRecord(std::string text) {
    try {
        RunRecord record;
        RecordParse parse;
        std::string_view head;
        std::optional<DocumentDigests> ending = EndingDocumentLines(text, head);
        if (ending) {
            // The library reads the head alone, kept in a room of its size: the documents'
            // megabytes are given back before it builds its tree.
            text.resize(head.size());
            text.append(kDocumentsOpening).append("]\n}\n");
            text.shrink_to_fit();
        }
        const Json json = Json::parse(text, parse.Callback());
        record.documents = std::move(parse.documents);
        if (ending && record.documents.Size() == 0)
            record.documents = std::move(*ending);
        else if (ending)
            for (const DocumentDigest& document : *ending) record.documents.Add(document);
        record.dataFile = json.at("dataFile").get<std::string>();
        record.dealerTin = json.at("dealerTin").get<std::string>();
        record.yearStart = json.at("financialYear").at("start").get<std::string>();
        record.yearEnd = json.at("financialYear").at("end").get<std::string>();
        record.month = json.at("month").get<int>();
        if (record.month < 1 || record.month > 12)
            throw RunRecordError("not a run record: no month " + std::to_string(record.month));
        if (json.contains("interstateParties")) {
            const auto parties =
                InterstatePartiesOfCode(json.at("interstateParties").get<std::string>());
            if (!parties) throw RunRecordError("not a run record: unknown interstateParties");
            record.interstateParties = *parties;
        }
        record.writtenAt = json.at("writtenAt").get<std::string>();
        record.programVersion = json.at("programVersion").get<std::string>();
        record.files = HashedFilesOf(json.at("files"));
        record.schemas = HashedFilesOf(json.at("schemas"));
        record.figures = ParseFiguresJson(json.at("figures"));
        record.accounts = ParseAccountsJson(json.at("accounts"));
        record.fingerprint = json.at("fingerprint").get<std::string>();
        if (json.contains("reconciliation"))
            record.reconciliation =
                ParseReconciliationJson(json.at("reconciliation"), std::move(parse.items));
        if (!json.at("documents").is_array())
            throw RunRecordError("not a run record: its documents are no list");
        return record;
    } catch (const nlohmann::json::exception& error) {
        throw RunRecordError("not a run record: " + RecordJsonFailure(error));
    }
}

RecordDocumentsAhead::RecordDocumentsAhead(const DocumentDigests& documents, const fs::path& folder)
    : printed_(folder) {
    printed_.Print([&documents](std::ostream& out) {
        JsonObjectWriter json = JsonObjectWriter::Continuing(out, 0, kRecordIndent);
        PrintDocuments(json, documents, out);
    });
}

void WriteRunRecord(const RunRecord& record, const fs::path& folder,
                    const RecordDocumentsAhead* documents) {
    // A month's record runs to megabytes: it goes to the file as it is printed.
    AtomicFileWriter file(folder / kRunRecordName);
    if (documents) {
        file.Print([&record](std::ostream& out) {
            JsonObjectWriter json(out, 0, kRecordIndent);
            PrintHead(json, record);
        });
        documents->printed_.CopyTo(file);
    } else {
        file.Print([&record](std::ostream& out) { PrintRunRecord(record, out); });
    }
    file.Commit();
}

namespace {

// What parse makes of a month folder's record; nullopt when it has none. Its failures name the
// record's path.
template <typename Parse>
auto ReadRecordWith(const fs::path& monthFolder, const Parse& parse)
    -> std::optional<decltype(parse(std::string()))> {
    const fs::path path = monthFolder / kRunRecordName;
    std::optional<std::string> text;
    try {
        text = ReadSmallFile(path, kLargestRunRecord);
    } catch (const DiskError& error) {
        throw RunRecordUnreadable(error.what());
    }
    if (!text) return std::nullopt;
    try {
        return parse(std::move(*text));
    } catch (const RunRecordError& failure) {
        throw RunRecordError(path.string() + " is " + failure.what());
    }
}

// Reads a record's owner as the parser meets its members, and stops once it has them all; what
// it meets on the way it refuses as the reading of the whole record does.
class OwnerReader : public nlohmann::json_sax<Json> {
public:
    std::optional<RecordOwner> Owner() const {
        if (found_ != kAll) return std::nullopt;
        return owner_;
    }

    bool string(string_t& value) override {
        const auto take = [&](std::string& member, unsigned bit) {
            member = std::move(value);
            found_ |= bit;
        };
        if (depth_ == 1 && key_[0] == "dataFile") take(owner_.dataFile, 1);
        if (depth_ == 1 && key_[0] == "writtenAt") take(owner_.writtenAt, 2);
        // Written ahead of writtenAt, so read before the reader stops; none in older records.
        if (depth_ == 1 && key_[0] == "interstateParties") {
            const auto parties = InterstatePartiesOfCode(value);
            if (!parties) throw RunRecordError("not a run record: unknown interstateParties");
            owner_.interstateParties = *parties;
        }
        if (depth_ == 2 && key_[0] == "financialYear" && key_[1] == "start")
            take(owner_.yearStart, 4);
        if (depth_ == 2 && key_[0] == "financialYear" && key_[1] == "end")
            take(owner_.yearEnd, 8);  // empty in the books of a year without an end
        return found_ != kAll;
    }
    bool key(string_t& name) override {
        nesting_.Key(depth_, name);
        if (depth_ == 1 || depth_ == 2) key_[depth_ - 1] = name;
        return true;
    }
    bool start_object(std::size_t /*elements*/) override { return Enter(true); }
    bool start_array(std::size_t /*elements*/) override { return Enter(false); }
    bool end_object() override { return Leave(); }
    bool end_array() override { return Leave(); }
    bool null() override { return true; }
    bool boolean(bool /*value*/) override { return true; }
    bool number_integer(number_integer_t /*value*/) override { return true; }
    bool number_unsigned(number_unsigned_t /*value*/) override { return true; }
    bool number_float(number_float_t /*value*/, const string_t& /*text*/) override { return true; }
    bool binary(binary_t& /*value*/) override { return true; }
    bool parse_error(std::size_t /*position*/, const std::string& /*token*/,
                     const nlohmann::detail::exception& error) override {
        throw RunRecordError("not a run record: " + RecordJsonFailure(error));
    }

private:
    bool Enter(bool isObject) {
        nesting_.Open(depth_, isObject);
        if (depth_ < 2) key_[depth_].clear();
        ++depth_;
        return true;
    }
    bool Leave() {
        --depth_;
        return true;
    }

    int depth_ = 0;
    RecordNesting nesting_;
    std::string key_[2];  // the member being read of the record, and of that member
    RecordOwner owner_;
    static constexpr unsigned kAll = 15;
    unsigned found_ = 0;  // a bit for each member of the owner read
};

}  // namespace

std::optional<RunRecord> ReadRunRecord(const fs::path& monthFolder) {
    return ReadRecordWith(monthFolder, ParseRunRecord);
}

// The documents are cut off where the record's own layout puts them: no document line holds
// the line break that opens them. Another layout is read whole.
std::optional<RunRecord> ReadRunRecordHead(const fs::path& monthFolder) {
    return ReadRecordWith(monthFolder, [](std::string text) {
        if (const std::size_t documents = text.rfind(kDocumentsOpening);
            documents != std::string::npos) {
            text.resize(documents);
            text.append(kDocumentsOpening).append("]\n}\n");
        }
        return ParseRunRecord(std::move(text));
    });
}

RecordOwner OwnerOf(const RunRecord& record) {
    return {record.dataFile, record.yearStart, record.yearEnd, record.writtenAt,
            record.interstateParties};
}

std::optional<RecordOwner> ReadRecordOwner(const fs::path& monthFolder) {
    return ReadRecordWith(monthFolder, [](const std::string& text) {
        OwnerReader reader;
        Json::sax_parse(text, &reader);
        if (auto owner = reader.Owner()) return *owner;
        throw RunRecordError("not a run record: it names no data file, financial year or time");
    });
}

std::string RecordOwnerText(const RecordOwner& owner) {
    return owner.dataFile + " (financial year " + PersonsForm(owner.yearStart) + " to " +
           PersonsForm(owner.yearEnd) + "), written " + PersonsForm(owner.writtenAt);
}

}  // namespace vat
