#pragma once

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <string>

namespace vat::xml {

// libxml2's message text without the line end it always appends.
std::string ReasonText(const xmlError* error);

// Keeps the first error a libxml2 context reports; later ones are noise from the same fault.
class FirstErrorCollector {
public:
    void Clear();
    const std::string& Reason() const { return reason_; }

    // Structured-error callback; the user data is the collector.
    static void Receive(void* collector, xmlErrorPtr error);

private:
    bool seen_ = false;
    std::string reason_;
};

// While alive, errors libxml2 reports outside any context of ours (the parser's among them)
// go to the collector.
class CollectUnhandledErrors {
public:
    explicit CollectUnhandledErrors(FirstErrorCollector& collector);
    ~CollectUnhandledErrors();
    CollectUnhandledErrors(const CollectUnhandledErrors&) = delete;
    CollectUnhandledErrors& operator=(const CollectUnhandledErrors&) = delete;

private:
    xmlStructuredErrorFunc handler_;
    void* context_;
};

// While alive, libxml2 prints nothing to stderr and fetches nothing over the network; the
// previous handlers and loader come back on destruction.
class QuietLibxmlScope {
public:
    QuietLibxmlScope();
    ~QuietLibxmlScope();
    QuietLibxmlScope(const QuietLibxmlScope&) = delete;
    QuietLibxmlScope& operator=(const QuietLibxmlScope&) = delete;

private:
    xmlGenericErrorFunc genericHandler_;
    void* genericContext_;
    xmlStructuredErrorFunc structuredHandler_;
    void* structuredContext_;
    xmlExternalEntityLoader entityLoader_;
};

}  // namespace vat::xml
