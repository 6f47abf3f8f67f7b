#include "returns/record/reconciliation_json.h"

#include <cmath>
#include <string>
#include <utility>

#include "returns/record/json_string.h"
#include "returns/record/record_json_failure.h"
#include "returns/results/returns_errors.h"

namespace vat {

using Json = nlohmann::ordered_json;

namespace {

constexpr ReconciledFigure kFigures[] = {ReconciledFigure::InputVat, ReconciledFigure::OutputVat,
                                         ReconciledFigure::CstPurchases,
                                         ReconciledFigure::CstSales};

double Rupees(std::int64_t paise) { return static_cast<double>(paise) / 100; }

// Whole paise, which a double in rupees holds exactly.
std::int64_t Paise(const Json& value) {
    if (!value.is_number()) throw RunRecordError("an amount of the reconciliation is no number");
    return std::llround(value.get<double>() * 100);
}

RunRecordError Unreadable(const nlohmann::json::exception& error) {
    return RunRecordError("the reconciliation cannot be read: " + RecordJsonFailure(error));
}

ReconcilingItem ParseItem(const Json& json) {
    const auto reason = ReasonOfCode(json.at("reason").get<std::string>());
    if (!reason)
        throw RunRecordError("a reconciling item has the reason " + json.at("reason").dump());
    const Json& document = json.at("document");
    return {json.at("voucher").get<long long>(),
            json.at("type").get<std::string>(),
            json.at("date").get<std::string>(),
            document.is_null() ? std::nullopt : std::optional(document.get<std::string>()),
            json.at("account").get<long long>(),
            Paise(json.at("amount")),
            *reason,
            json.at("text").get<std::string>()};
}

void CheckFollows(const Json& json, std::string_view key, std::int64_t paise,
                  std::string_view figure) {
    if (Paise(json.at(key)) != paise)
        throw RunRecordError("the " + std::string(key) + " of " + std::string(figure) +
                             " in the reconciliation does not follow from its figures");
}

// An amount in rupees as the JSON library writes the double: the shortest digits that read
// back as it, which for whole paise below 10^15 are the rupees, the point and the paise
// without a trailing zero ("3.5", "57342.0").
std::string RupeesText(std::int64_t paise) {
    constexpr std::uint64_t kExactBelow = 1'000'000'000'000'000;
    const std::uint64_t magnitude =
        paise < 0 ? 0 - static_cast<std::uint64_t>(paise) : static_cast<std::uint64_t>(paise);
    if (magnitude >= kExactBelow) return Json(Rupees(paise)).dump();
    std::string text = paise < 0 ? "-" : "";
    text += std::to_string(magnitude / 100);
    const auto hundredths = static_cast<char>(magnitude % 100);
    text += '.';
    text += static_cast<char>('0' + hundredths / 10);
    if (hundredths % 10 != 0) text += static_cast<char>('0' + hundredths % 10);
    return text;
}

// Written from its values' texts: a month's thousands of items, each built as a tree and
// dumped, took most of the time its record took to write.
void WriteItem(JsonObjectWriter& items, const ReconcilingItem& item) {
    items.ElementObject({{"voucher", std::to_string(item.voucher)},
                         {"type", JsonStringText(item.type)},
                         {"date", JsonStringText(item.date)},
                         {"document", item.document ? JsonStringText(*item.document) : "null"},
                         {"account", std::to_string(item.account)},
                         {"amount", RupeesText(item.amount)},
                         {"reason", JsonStringText(ReasonCode(item.reason))},
                         {"text", JsonStringText(item.text)}});
}

// The reconciliation with every figure's "items" left empty, for its items to be added.
Json WithoutItems(const Reconciliation& reconciliation) {
    Json json{{"period", {reconciliation.periodStart, reconciliation.periodEnd}}};
    for (ReconciledFigure figure : kFigures) {
        const FigureReconciliation& of = reconciliation.Of(figure);
        json[std::string(ReconciledKey(figure))] = {{"accounts", of.accounts},
                                                    {"books", Rupees(of.books)},
                                                    {"return", Rupees(of.returned)},
                                                    {"difference", Rupees(of.Difference())},
                                                    {"unexplained", Rupees(of.Unexplained())},
                                                    {"items", Json::array()}};
    }
    json["vatPayable"] = {
        {"books", Rupees(reconciliation.booksVatPayable)},
        {"return", Rupees(reconciliation.returnVatPayable)},
        {"difference", Rupees(reconciliation.returnVatPayable - reconciliation.booksVatPayable)}};
    return json;
}

}  // namespace

void WriteReconciliationJson(JsonObjectWriter& object, std::string_view key,
                             const Reconciliation& reconciliation) {
    JsonObjectWriter written = object.OpenObject(key);
    const Json rest = WithoutItems(reconciliation);
    std::size_t figure = 0;
    for (const auto& [name, value] : rest.items()) {
        if (!value.is_object() || !value.contains("items")) {
            written.Member(name, value);
            continue;
        }
        // "items" comes last in a figure, and the figures in the reconciliation's order.
        JsonObjectWriter part = written.OpenObject(name);
        for (const auto& [member, field] : value.items())
            if (member != "items") part.Member(member, field);
        part.OpenArray("items");
        for (const ReconcilingItem& item : reconciliation.figures.at(figure++).items)
            WriteItem(part, item);
        part.CloseArray();
        part.Close();
    }
    written.Close();
}

Reconciliation ParseReconciliationJson(const Json& json, ReconcilingItems taken) {
    try {
        Reconciliation reconciliation;
        const Json& period = json.at("period");
        reconciliation.periodStart = period.at(0).get<std::string>();
        reconciliation.periodEnd = period.at(1).get<std::string>();
        for (ReconciledFigure figure : kFigures) {
            const std::string key(ReconciledKey(figure));
            const Json& part = json.at(key);
            FigureReconciliation& of = reconciliation.Of(figure);
            of.accounts = part.at("accounts").get<std::vector<long long>>();
            of.books = Paise(part.at("books"));
            of.returned = Paise(part.at("return"));
            of.items = std::move(taken[static_cast<std::size_t>(figure)]);
            for (const Json& item : part.at("items")) of.items.push_back(ParseItem(item));
            CheckFollows(part, "difference", of.Difference(), key);
            CheckFollows(part, "unexplained", of.Unexplained(), key);
        }
        const Json& vat = json.at("vatPayable");
        reconciliation.booksVatPayable = Paise(vat.at("books"));
        reconciliation.returnVatPayable = Paise(vat.at("return"));
        CheckFollows(vat, "difference",
                     reconciliation.returnVatPayable - reconciliation.booksVatPayable,
                     "vatPayable");
        return reconciliation;
    } catch (const nlohmann::json::exception& error) {
        throw Unreadable(error);
    }
}

ReconcilingItem ParseReconcilingItemJson(const Json& item) {
    try {
        return ParseItem(item);
    } catch (const nlohmann::json::exception& error) {
        throw Unreadable(error);
    }
}

}  // namespace vat
