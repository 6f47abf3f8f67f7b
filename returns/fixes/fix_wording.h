#pragma once

#include <string>
#include <vector>

#include "returns/fixes/fix_groups.h"

namespace vat {

// What a group's texts are made of: the group as counted, the note of its first document (none
// for a row no document explains), its first row and the failing elements of its rows.
struct FixFacts {
    const FixGroup& group;
    const DocumentNote* note;
    const ErrorRow* firstRow;
    std::vector<std::string> elements;  // "<InvDate>", in the order met
};

struct FixWords {
    std::string text;
    std::string action;
};

// The group's text and action, in an accountant's words.
FixWords WordFix(const FixFacts& facts);

// "<TinNo>" and the schema's reason of a schema row; an empty element when the row is not one.
struct SchemaFailure {
    std::string element;
    std::string reason;
};
SchemaFailure SchemaFailureOf(const std::string& error);

}  // namespace vat
