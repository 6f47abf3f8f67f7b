#include "validation/libxml_errors.h"

#include <libxml/globals.h>

namespace vat::xml {

namespace {

void IgnoreGenericError(void*, const char*, ...) {}

}  // namespace

std::string ReasonText(const xmlError* error) {
    if (error == nullptr || error->message == nullptr) {
        return {};
    }
    std::string text = error->message;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

void FirstErrorCollector::Clear() {
    seen_ = false;
    reason_.clear();
}

void FirstErrorCollector::Receive(void* collector, xmlErrorPtr error) {
    auto& self = *static_cast<FirstErrorCollector*>(collector);
    if (self.seen_ || error == nullptr || error->level < XML_ERR_ERROR) {
        return;
    }
    self.seen_ = true;
    self.reason_ = ReasonText(error);
}

CollectUnhandledErrors::CollectUnhandledErrors(FirstErrorCollector& collector)
    : handler_(xmlStructuredError), context_(xmlStructuredErrorContext) {
    xmlSetStructuredErrorFunc(&collector, FirstErrorCollector::Receive);
}

CollectUnhandledErrors::~CollectUnhandledErrors() { xmlSetStructuredErrorFunc(context_, handler_); }

QuietLibxmlScope::QuietLibxmlScope()
    : genericHandler_(xmlGenericError),
      genericContext_(xmlGenericErrorContext),
      structuredHandler_(xmlStructuredError),
      structuredContext_(xmlStructuredErrorContext),
      entityLoader_(xmlGetExternalEntityLoader()) {
    xmlSetGenericErrorFunc(nullptr, IgnoreGenericError);
    xmlSetStructuredErrorFunc(nullptr, nullptr);
    xmlSetExternalEntityLoader(xmlNoNetExternalEntityLoader);
}

QuietLibxmlScope::~QuietLibxmlScope() {
    xmlSetExternalEntityLoader(entityLoader_);
    xmlSetStructuredErrorFunc(structuredContext_, structuredHandler_);
    xmlSetGenericErrorFunc(genericContext_, genericHandler_);
}

}  // namespace vat::xml
