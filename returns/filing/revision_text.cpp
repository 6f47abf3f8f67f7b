#include "returns/filing/revision_text.h"

#include <array>
#include <string_view>

#include "disk/local_time.h"
#include "returns/results/number_forms.h"

namespace vat {

namespace {

using Json = nlohmann::ordered_json;

struct FieldWording {
    std::string_view element;
    std::string_view name;
    bool amount;
};

// The fields of the return files as a sentence names them; any other by its element's name.
constexpr std::array<FieldWording, 19> kFieldWordings{{
    {"NetVal", "net value", true},
    {"TaxCh", "tax", true},
    {"OthCh", "other charges", true},
    {"TotCh", "total", true},
    {"SelTin", "party TIN", false},
    {"PurTin", "party TIN", false},
    {"SelName", "party", false},
    {"PurName", "party", false},
    {"SelAddr", "address", false},
    {"PurAddr", "address", false},
    {"InvNo", "number", false},
    {"DebitNo", "number", false},
    {"CreditNo", "number", false},
    {"InvDate", "date", false},
    {"DebitDate", "date", false},
    {"CreditDate", "date", false},
    {"OrgInvNo", "original invoice", false},
    {"OrgInvDate", "original invoice date", false},
    {"Qty", "quantity", false},
}};

const FieldWording* WordingOf(const std::string& element) {
    for (const FieldWording& wording : kFieldWordings)
        if (wording.element == element) return &wording;
    return nullptr;
}

std::string ValueText(const FieldWording* wording, const std::optional<std::string>& value) {
    if (!value) return "none";
    if (wording && wording->amount) return GroupedDigits(*value);
    return PersonsForm(*value);
}

std::string FigureText(const FigureRevision& figure, std::int64_t value) {
    return figure.isCount ? std::to_string(value) : GroupedDigits(PaiseText(value));
}

std::string DocumentLine(const DocumentChange& change) {
    std::string line = change.file + ": " + change.document + " " + ChangeText(change.change);
    if (change.change == DocumentChangeKind::Changed) {
        std::string fields;
        for (const FieldChange& field : change.fields) {
            const FieldWording* wording = WordingOf(field.name);
            fields += (fields.empty() ? "" : ", ") +
                      (wording ? std::string(wording->name) : field.name) + " " +
                      ValueText(wording, field.was) + " -> " + ValueText(wording, field.is);
        }
        return line + ": " + fields;
    }
    // An added or removed document by its net value and tax.
    for (const FieldChange& field : change.fields) {
        const FieldWording* wording = WordingOf(field.name);
        if (!wording || (wording->element != "NetVal" && wording->element != "TaxCh")) continue;
        line += std::string(line.ends_with(ChangeText(change.change)) ? ": " : ", ") +
                std::string(wording->name) + " " +
                ValueText(wording, field.was ? field.was : field.is);
    }
    return line;
}

Json FigureJson(const FigureRevision& figure, std::int64_t value) {
    return figure.isCount ? Json(value) : Json(static_cast<double>(value) / 100);
}

}  // namespace

std::string RevisionHeading(const Revision& revision) {
    return revision.monthTitle + " was " + FiledOnText(revision.of) +
           "; these files are a revision of it";
}

std::vector<std::string> RevisionLines(const Revision& revision) {
    std::vector<std::string> lines{RevisionHeading(revision)};
    for (const DocumentChange& change : revision.documents) lines.push_back(DocumentLine(change));
    for (const FigureRevision& figure : revision.figures)
        if (figure.was != figure.is)
            lines.push_back(figure.sentence + ": " + FigureText(figure, figure.was) + " -> " +
                            FigureText(figure, figure.is));
    if (!revision.Changed()) lines.emplace_back("Nothing changed since filing.");
    return lines;
}

Json RevisionJson(const Revision& revision) {
    Json documents = Json::array();
    for (const DocumentChange& change : revision.documents) {
        Json fields = Json::object();
        for (const FieldChange& field : change.fields)
            fields[field.name] = Json::array(
                {field.was ? Json(*field.was) : Json(), field.is ? Json(*field.is) : Json()});
        documents.push_back({{"file", change.file},
                             {"document", change.document},
                             {"change", ChangeText(change.change)},
                             {"fields", fields}});
    }
    Json figures = Json::object();
    for (const FigureRevision& figure : revision.figures)
        figures[figure.key] =
            Json::array({FigureJson(figure, figure.was), FigureJson(figure, figure.is)});
    return {{"of",
             {{"acknowledgement", revision.of.acknowledgement}, {"filedOn", revision.of.filedOn}}},
            {"documents", documents},
            {"figures", figures}};
}

}  // namespace vat
