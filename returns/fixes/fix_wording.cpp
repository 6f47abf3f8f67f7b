#include "returns/fixes/fix_wording.h"

#include <cstdint>

#include "returns/results/number_forms.h"

namespace vat {

namespace {

// "a.xml", "a.xml and b.xml", "a.xml, b.xml and c.xml"
std::string ListText(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) text += i + 1 == items.size() ? " and " : ", ";
        text += items[i];
    }
    return text;
}

// "1 bill", "3 bills"
std::string Counted(long long count, const std::string& noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string TaxText(std::int64_t paise) { return "(tax " + GroupedPaise(paise) + ")"; }

// "Party 1203 MEDICO PUNE"
std::string PartyText(const DocumentNote& note) {
    std::string text = "Party";
    for (const std::string& part :
         {note.partyAccount ? std::to_string(*note.partyAccount) : "", note.partyName})
        if (!part.empty()) text.append(" ").append(part);
    return text;
}

// "B No.T1 · voucher 5 of efile_pur04.xml"
std::string DocumentText(const DocumentNote& note) { return note.document + " of " + note.file; }

// "so 3 bills of efile_pur04.xml are left out (tax 45.00)"
std::string LeftOut(const FixGroup& group) {
    return "so " + Counted(group.documents, "bill") + " of " + ListText(group.files) +
           (group.documents == 1 ? " is" : " are") + " left out " + TaxText(group.taxPaise);
}

// "so 180 records of efile_pur04.xml and efile_sal04.xml fail the schema (tax 12,345.00)"
std::string FailTheSchema(const FixGroup& group) {
    return "so " + Counted(group.documents, "record") + " of " + ListText(group.files) +
           (group.documents == 1 ? " fails" : " fail") + " the schema " + TaxText(group.taxPaise);
}

// Why a TIN as written fails the schema, in a few words.
std::string TinFault(const std::string& tin) {
    if (tin.find(' ') != std::string::npos) return "holds a space";
    if (tin.find_first_not_of("0123456789") != std::string::npos)
        return "holds a character that is not a digit";
    return "does not have the form the schema asks for";
}

FixWords PartyWords(const FixFacts& facts) {
    const FixGroup& group = facts.group;
    const DocumentNote& note = *facts.note;
    const std::string party = PartyText(note) + ": ";
    const std::string side = note.purchases ? "supplier" : "customer";
    switch (group.cause) {
        case FixCause::TinOutOfState:
            return {party + "the TIN '" + note.writtenTin + "' does not begin with 29, " +
                        LeftOut(group) + ".",
                    note.purchases ? "If this supplier is outside the state, mark its purchases "
                                     "as bought outside the state; if its TIN is wrong, correct it."
                                   : "If this customer is outside the state, mark its sales as "
                                     "sold outside the state; if its TIN is wrong, correct it."};
        case FixCause::InStateRule:
            return {party + "the TIN '" + note.writtenTin + "' does not begin with 29, " +
                        LeftOut(group) +
                        " by the return's rule: the interstate files take only "
                        "parties whose TIN begins with 29.",
                    "Nothing in the books: the " + side +
                        " is rightly outside the state. To write "
                        "such parties with their own TIN, choose all parties for the interstate "
                        "files (All parties in the window, --interstate-parties all on the "
                        "command line)."};
        case FixCause::TinFailsSchema:
            return {party + "the TIN '" + note.writtenTin + "' " + TinFault(note.writtenTin) +
                        ", " + FailTheSchema(group) + ".",
                    "Correct the TIN in the party master."};
        case FixCause::PartyFailsSchema:
            return {party + "its name or address as written fails the schema, " +
                        FailTheSchema(group) + ".",
                    "Correct the party's name or address in the party master."};
        case FixCause::PartyMissing:
            return {party + note.missing + ", " + LeftOut(group) + ".",
                    "Give the party its ledger row and a city in the party master, or correct "
                    "the party account of its vouchers."};
        default:
            return {party + "the TIN '" + note.storedTin + "' as stored has " +
                        std::to_string(note.storedTin.size()) + " characters, not 11, so " +
                        Counted(group.documents, "bill") + " of " + ListText(group.files) +
                        (group.documents == 1 ? " is" : " are") +
                        " written as an unregistered dealer's " + TaxText(group.taxPaise) + ".",
                    "If this " + side +
                        " is a registered dealer, correct its TIN in the party master."};
    }
}

FixWords DocumentWords(const FixFacts& facts) {
    const FixGroup& group = facts.group;
    const DocumentNote& note = *facts.note;
    const std::string document = DocumentText(note) + ": ";
    const std::string leftOut = "so the bill is left out " + TaxText(group.taxPaise) + ".";
    const std::string accounts = note.purchases ? "purchase" : "sales";
    switch (group.cause) {
        case FixCause::BelowOneRupee:
            if (note.basic == 0)
                return {
                    document + "it has no postings on the " + accounts + " accounts, " + leftOut,
                    "Post the bill's amount on a " + accounts + " account, or cancel the voucher."};
            return {document + "the basic amount " + AmountText(note.basic) +
                        " is under one rupee, " + leftOut,
                    "Correct the voucher's amounts."};
        case FixCause::MissingData:
            return {document + note.missing + ", " + leftOut, "Correct the voucher."};
        default:
            return {document + ListText(facts.elements) + " fails the schema, so the portal " +
                        "would reject the record " + TaxText(group.taxPaise) + ".",
                    "Correct the voucher; the error list gives the schema's reason."};
    }
}

}  // namespace

SchemaFailure SchemaFailureOf(const std::string& error) {
    constexpr std::string_view kReason = "Reason: ";
    const auto close = error.find('>');
    if (!error.starts_with('<') || close == std::string::npos) return {"", error};
    const auto reason = error.find(kReason);
    return {error.substr(0, close + 1),
            reason == std::string::npos ? "" : error.substr(reason + kReason.size())};
}

FixWords WordFix(const FixFacts& facts) {
    const FixGroup& group = facts.group;
    if (group.cause == FixCause::SchemaRule) {
        const SchemaFailure failure = SchemaFailureOf(facts.firstRow->error);
        const std::string where = group.files.empty() ? "" : " of " + ListText(group.files);
        const std::string what = failure.element.empty() ? "The return" : failure.element + where;
        return {what + " fails the schema in " +
                    Counted(static_cast<long long>(group.rows.size()), "place") + ": " +
                    failure.reason,
                "Correct the value the books give it; for the return's header, the company's own "
                "settings."};
    }
    switch (group.cause) {
        case FixCause::BelowOneRupee:
        case FixCause::MissingData:
        case FixCause::DocumentFailsSchema:
            return DocumentWords(facts);
        default:
            return PartyWords(facts);
    }
}

}  // namespace vat
