#include "returns/run/error_rows.h"

#include <filesystem>

#include "disk/local_time.h"
#include "validation/schema_validation.h"

namespace vat {

namespace {

std::string_view Trimmed(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// "InvNo 3 · 05/04/2014 · RAMA MEDICALS BANGALORE": the number under its element's name, then
// the other texts as written, a date in the form a person reads; a text the record lacks is
// left out.
std::string DocumentText(const std::vector<std::string_view>& elements,
                         const std::vector<std::string>& texts) {
    std::string document;
    for (std::size_t i = 0; i < texts.size() && i < elements.size(); ++i) {
        const std::string_view text = Trimmed(texts[i]);
        if (text.empty()) continue;
        if (!document.empty()) document += " \u00b7 ";
        if (i == 0)
            document.append(elements[0]).append(" ").append(text);
        else
            document += PersonsForm(text);
    }
    return document;
}

}  // namespace

std::string RunRowDocument(std::string_view numberPrefix, std::string_view number,
                           std::string_view voucher) {
    constexpr std::string_view kVoucher = " · voucher ";
    std::string document;
    document.reserve(numberPrefix.size() + number.size() + kVoucher.size() + voucher.size());
    document.append(numberPrefix).append(number).append(kVoucher).append(voucher);
    return document;
}

ErrorRow OmissionRow(std::string_view typeText, std::string_view numberPrefix,
                     std::string_view number, std::string_view date, std::string_view partyName,
                     std::string_view voucher, std::optional<long long> voucherNumber) {
    return {.type = std::string(typeText),
            .error = std::string(numberPrefix) + std::string(number) +
                     " Dated:" + PersonsForm(date) + " of " + std::string(partyName) +
                     " omitted due to basic amount being less than Rs.1",
            .document = RunRowDocument(numberPrefix, number, voucher),
            .voucher = voucherNumber};
}

bool CheckReturnFile(const std::filesystem::path& file, const CompiledSchema& schema,
                     const ReturnFileKind& kind,
                     const SortedByKey<std::string, long long>& voucherOfNumber,
                     std::vector<ErrorRow>& rows) {
    const std::vector<std::string_view>& elements = kind.documentElements;
    const std::string fileName = file.filename().string();
    return Validate(file.string(), schema, std::string(kind.recordElement),
                    std::vector<std::string>(elements.begin(), elements.end()),
                    [&](const ValidationFailure& failure) {
                        std::optional<long long> voucher;
                        if (!failure.recordTexts.empty())
                            if (const long long* found = voucherOfNumber.Find(
                                    std::string(Trimmed(failure.recordTexts.front()))))
                                voucher = *found;
                        rows.push_back({std::string(kind.validationType), failure.message,
                                        DocumentText(elements, failure.recordTexts), fileName,
                                        failure.line, voucher});
                    });
}

}  // namespace vat
