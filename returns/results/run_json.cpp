#include "returns/results/run_json.h"

#include <cmath>
#include <string>

#include "returns/results/returns_errors.h"

namespace vat {

using Json = nlohmann::ordered_json;

namespace {

double Rupees(std::int64_t paise) { return static_cast<double>(paise) / 100; }

Json VerdictJson(VatVerdict verdict) {
    if (verdict == VatVerdict::Payable) return "payable";
    if (verdict == VatVerdict::Refundable) return "refundable";
    return nullptr;
}

const Json& Member(const Json& object, std::string_view key, std::string_view within) {
    if (!object.is_object() || !object.contains(key))
        throw RunRecordError("the " + std::string(within) + " have no \"" + std::string(key) +
                             "\"");
    return object.at(key);
}

// A figure in rupees (or a count) as paise (or bills); the figures are whole paise, which a
// double holds exactly.
std::int64_t Number(const Json& object, std::string_view key, std::string_view within,
                    bool isCount) {
    const Json& value = Member(object, key, within);
    if (!value.is_number())
        throw RunRecordError("the figure \"" + std::string(key) + "\" is not a number");
    const double number = value.get<double>();
    return std::llround(isCount ? number : number * 100);
}

}  // namespace

Json FiguresJson(const SummaryFigures& figures) {
    Json json = Json::object();
    for (const FigureDeclaration& declared : FigureTable()) {
        const std::string key(declared.jsonKey);
        if (declared.figure == Figure::VatPayable) {
            json["vat"] = VerdictJson(figures.verdict);
            json[key] = Rupees(figures.vatPaise);
            continue;
        }
        const std::optional<std::int64_t> value = ValueOf(figures, declared.figure);
        if (declared.jsonPart.empty()) {
            json[key] = Rupees(*value);
        } else if (!value) {
            json[key] = nullptr;
        } else {
            const Json number = declared.isCount ? Json(*value) : Json(Rupees(*value));
            json[key][std::string(declared.jsonPart)] = number;
        }
    }
    return json;
}

SummaryFigures ParseFiguresJson(const Json& json) {
    constexpr std::string_view kFigures = "figures";
    SummaryFigures figures;
    for (int figure = 0; figure < kTaxFigureCount; ++figure) {
        const FigureDeclaration& declared = Declared(static_cast<Figure>(figure));
        figures.taxPaise[figure] = Number(json, declared.jsonKey, kFigures, false);
    }
    const Json& verdict = Member(json, "vat", kFigures);
    figures.verdict = verdict == "payable"      ? VatVerdict::Payable
                      : verdict == "refundable" ? VatVerdict::Refundable
                                                : VatVerdict::NotRun;
    figures.vatPaise = Number(json, Declared(Figure::VatPayable).jsonKey, kFigures, false);
    const auto urd = [&](std::string_view key) -> std::optional<UrdFigures> {
        const Json& side = Member(json, key, kFigures);
        if (side.is_null()) return std::nullopt;
        return UrdFigures{Number(side, "bills", key, true), Number(side, "basicAmount", key, false),
                          Number(side, "vatAmount", key, false)};
    };
    figures.urdPurchases = urd(Declared(Figure::UrdPurchaseBills).jsonKey);
    figures.urdSales = urd(Declared(Figure::UrdSalesBills).jsonKey);
    return figures;
}

Json AccountsJson(const std::vector<FileAccount>& accounts) {
    Json returns = Json::array();
    for (const FileAccount& account : accounts) {
        returns.push_back({
            {"file", account.file},
            {"path", account.path ? Json(*account.path) : nullptr},
            {"listed", account.listed},
            {"written", account.written},
            {"belowOneRupee", account.belowOneRupee},
            {"interstate", account.interstate},
            {"tinSkipped", account.tinSkipped},
            {"notGoods", account.notGoods},
            {"missingData", account.missingData},
            {"schemaErrors", account.schemaErrors},
            {"valid", account.valid ? Json(*account.valid) : nullptr},
        });
    }
    return returns;
}

std::vector<FileAccount> ParseAccountsJson(const Json& json) {
    if (!json.is_array()) throw RunRecordError("the accounts are not a list");
    std::vector<FileAccount> accounts;
    for (const Json& entry : json) {
        constexpr std::string_view kAccount = "account of a file";
        const auto count = [&](std::string_view key) {
            return static_cast<long long>(Number(entry, key, kAccount, true));
        };
        const Json& file = Member(entry, "file", kAccount);
        const Json& path = Member(entry, "path", kAccount);
        const Json& valid = Member(entry, "valid", kAccount);
        if (!file.is_string() || !(path.is_string() || path.is_null()) ||
            !(valid.is_boolean() || valid.is_null()))
            throw RunRecordError("an account of a file is not as a run writes it");
        accounts.push_back({
            .file = file.get<std::string>(),
            .path = path.is_null() ? std::nullopt : std::optional(path.get<std::string>()),
            .listed = count("listed"),
            .written = count("written"),
            .belowOneRupee = count("belowOneRupee"),
            .interstate = count("interstate"),
            .tinSkipped = count("tinSkipped"),
            .notGoods = count("notGoods"),
            .missingData = count("missingData"),
            .schemaErrors = count("schemaErrors"),
            .valid = valid.is_null() ? std::nullopt : std::optional(valid.get<bool>()),
        });
    }
    return accounts;
}

}  // namespace vat
