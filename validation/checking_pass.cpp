#include "validation/checking_pass.h"

#include <cstdint>

#include "validation/checked_elements.h"
#include "validation/document_loading.h"
#include "validation/libxml_errors.h"
#include "validation/libxml_handles.h"
#include "validation/xml_nodes.h"

namespace vat::xml {

namespace {

std::string ErrorRow(const xmlNode* element, std::uint64_t number, const std::string& reason) {
    std::string row = "<";
    row += QualifiedName(element);
    row += "> (";
    row += std::to_string(number);
    row += ") is not valid : \r\nReason :";
    return row += reason;
}

[[noreturn]] void ThrowReadFailure(const std::string& xmlPath) {
    // The first pass read the file whole, so it has changed since.
    ThrowReturnFileLoadError(xmlPath, ReasonText(xmlGetLastError()));
}

}  // namespace

bool CheckPlannedElements(const std::string& xmlPath, const std::string& recordName,
                          const CheckPlan& plan, RecordChildChecker& checker,
                          const ValidationErrorSink& addValidationError) {
    const TextReaderPtr reader(xmlReaderForFile(xmlPath.c_str(), nullptr, ReadOptions));
    if (!reader) {
        ThrowReadFailure(xmlPath);
    }
    CheckedElements elements(recordName);
    CheckPlan::Reader planned(plan);
    bool allValid = true;
    while (elements.Count() < plan.Last()) {
        const int status = xmlTextReaderRead(reader.get());
        if (status < 0) {
            ThrowReadFailure(xmlPath);
        }
        if (status == 0) {
            break;
        }
        if (xmlTextReaderNodeType(reader.get()) != XML_READER_TYPE_ELEMENT) {
            continue;
        }
        // End tags are not followed: an element's depth tells which elements it closed.
        const auto depth = static_cast<std::size_t>(xmlTextReaderDepth(reader.get()));
        while (elements.Depth() > depth) {
            elements.Leave();
        }
        xmlNode* element = xmlTextReaderCurrentNode(reader.get());
        if (!elements.Enter(reinterpret_cast<const char*>(element->name), element->ns != nullptr) ||
            !planned.Includes(elements.Count())) {
            continue;
        }
        if (xmlTextReaderExpand(reader.get()) == nullptr) {
            ThrowReadFailure(xmlPath);
        }
        if (const auto reason = checker.Check(element)) {
            addValidationError(ErrorRow(element, elements.Count(), *reason));
            allValid = false;
        }
    }
    return allValid;
}

}  // namespace vat::xml
