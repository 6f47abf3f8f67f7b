#include "validation/checking_pass.h"

#include <cstdint>

#include "validation/checked_elements.h"
#include "validation/document_loading.h"
#include "validation/identified_failures.h"
#include "validation/libxml_errors.h"
#include "validation/libxml_handles.h"
#include "validation/xml_nodes.h"

namespace vat::xml {

namespace {

ValidationFailure Failure(const xmlNode* element, std::uint64_t number, const std::string& reason) {
    ValidationFailure failure;
    failure.message = "<";
    failure.message += QualifiedName(element);
    failure.message += "> (checked element ";
    failure.message += std::to_string(number);
    failure.message += ") is not valid. Reason: ";
    failure.message += reason;
    // Past line 65535 the element's own field is capped; xmlGetLineNo finds the line in the
    // text next to it, which the parser records with XML_PARSE_BIG_LINES.
    if (const long line = xmlGetLineNo(element); line > 0) {
        failure.line = line;
    }
    return failure;
}

// Adds the text the node puts into its parent's content; an entity reference (in a file with a
// document type declaration) puts its replacement text.
void CollectText(xmlTextReader* reader, int nodeType, IdentifiedFailures& failures) {
    switch (nodeType) {
        case XML_READER_TYPE_TEXT:
        case XML_READER_TYPE_CDATA:
        case XML_READER_TYPE_WHITESPACE:
        case XML_READER_TYPE_SIGNIFICANT_WHITESPACE:
            failures.Text(reinterpret_cast<const char*>(xmlTextReaderConstValue(reader)));
            break;
        case XML_READER_TYPE_ENTITY_REFERENCE:
            if (xmlChar* content = xmlNodeGetContent(xmlTextReaderCurrentNode(reader))) {
                failures.Text(reinterpret_cast<const char*>(content));
                xmlFree(content);
            }
            break;
        default:
            break;
    }
}

[[noreturn]] void ThrowReadFailure(const std::string& xmlPath) {
    // The first pass read the file whole, so it has changed since.
    ThrowReturnFileLoadError(xmlPath, ReasonText(xmlGetLastError()));
}

}  // namespace

bool CheckPlannedElements(const std::string& xmlPath, const std::string& recordName,
                          const std::vector<std::string>& identifyingChildren,
                          const CheckPlan& plan, RecordChildChecker& checker,
                          const ValidationErrorSink& addValidationError) {
    const TextReaderPtr reader(xmlReaderForFile(xmlPath.c_str(), nullptr, kReadOptions));
    if (!reader) {
        ThrowReadFailure(xmlPath);
    }
    CheckedElements elements(recordName);
    IdentifiedFailures failures(identifyingChildren, addValidationError);
    CheckPlan::Reader planned(plan);
    bool allValid = true;
    while (elements.Count() < plan.Last() || failures.Holding()) {
        const int status = xmlTextReaderRead(reader.get());
        if (status < 0) {
            ThrowReadFailure(xmlPath);
        }
        if (status == 0) {
            break;
        }
        const int nodeType = xmlTextReaderNodeType(reader.get());
        // End tags are not followed: an element's depth tells which elements it closed.
        const auto depth = static_cast<std::size_t>(xmlTextReaderDepth(reader.get()));
        if (nodeType != XML_READER_TYPE_ELEMENT) {
            if (failures.CollectsTextAt(depth)) {
                CollectText(reader.get(), nodeType, failures);
            }
            continue;
        }
        while (elements.Depth() > depth) {
            elements.Leave();
            failures.Leave();
        }
        xmlNode* element = xmlTextReaderCurrentNode(reader.get());
        const std::string_view name = reinterpret_cast<const char*>(element->name);
        const bool qualified = element->ns != nullptr;
        const CheckedAs checkedAs = elements.Enter(name, qualified);
        failures.Enter(name, qualified, elements.InRecord());
        if (checkedAs == CheckedAs::Nothing || !planned.Includes(elements.Count())) {
            continue;
        }
        if (xmlTextReaderExpand(reader.get()) == nullptr) {
            ThrowReadFailure(xmlPath);
        }
        if (const auto reason = checker.Check(element)) {
            failures.Add(Failure(element, elements.Number(checkedAs), *reason),
                         checkedAs == CheckedAs::RecordChild);
            allValid = false;
        }
    }
    failures.Finish();
    return allValid;
}

}  // namespace vat::xml
