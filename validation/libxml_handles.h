#pragma once

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlreader.h>
#include <libxml/xmlschemas.h>

#include <memory>

namespace vat::xml {

// Owning pointers for the libxml2 objects of one check, so every path out frees them.
template <auto FreeFunction>
struct FreeWith {
    template <typename T>
    void operator()(T* object) const noexcept {
        FreeFunction(object);
    }
};

using DocumentPtr = std::unique_ptr<xmlDoc, FreeWith<xmlFreeDoc>>;
using NodePtr = std::unique_ptr<xmlNode, FreeWith<xmlFreeNode>>;
using ParserContextPtr = std::unique_ptr<xmlParserCtxt, FreeWith<xmlFreeParserCtxt>>;
using SchemaParserContextPtr =
    std::unique_ptr<xmlSchemaParserCtxt, FreeWith<xmlSchemaFreeParserCtxt>>;
using SchemaPtr = std::unique_ptr<xmlSchema, FreeWith<xmlSchemaFree>>;
using SchemaValidContextPtr = std::unique_ptr<xmlSchemaValidCtxt, FreeWith<xmlSchemaFreeValidCtxt>>;
using SchemaSaxPlugPtr = std::unique_ptr<xmlSchemaSAXPlugStruct, FreeWith<xmlSchemaSAXUnplug>>;
using TextReaderPtr = std::unique_ptr<xmlTextReader, FreeWith<xmlFreeTextReader>>;

}  // namespace vat::xml
