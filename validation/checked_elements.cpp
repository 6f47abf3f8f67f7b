#include "validation/checked_elements.h"

#include <libxml/tree.h>

namespace vat::xml {

CheckedElements::CheckedElements(const std::string& recordName)
    : recordName_(recordName),
      selectsNothing_(xmlValidateNCName(reinterpret_cast<const xmlChar*>(recordName.c_str()), 0) !=
                      0) {}

CheckedAs CheckedElements::Enter(std::string_view localName, bool qualified) {
    const bool isRecord = !selectsNothing_ && !qualified && localName == recordName_;
    CheckedAs checkedAs = CheckedAs::Nothing;
    if (InRecord()) {
        checkedAs = CheckedAs::RecordChild;
        ++recordChildren_;
    } else if (isRecord_.size() == 1 && !selectsNothing_ && !isRecord) {
        checkedAs = CheckedAs::HeaderElement;
        ++headerElements_;
    }
    isRecord_.push_back(static_cast<char>(isRecord));
    return checkedAs;
}

void CheckedElements::Leave() {
    if (!isRecord_.empty()) {
        isRecord_.pop_back();
    }
}

}  // namespace vat::xml
