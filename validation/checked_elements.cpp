#include "validation/checked_elements.h"

#include <libxml/tree.h>

namespace vat::xml {

CheckedElements::CheckedElements(const std::string& recordName)
    : recordName_(recordName),
      selectsNothing_(xmlValidateNCName(reinterpret_cast<const xmlChar*>(recordName.c_str()), 0) !=
                      0) {}

bool CheckedElements::Enter(std::string_view localName, bool qualified) {
    const bool checked = !isRecord_.empty() && isRecord_.back();
    isRecord_.push_back(
        static_cast<char>(!selectsNothing_ && !qualified && localName == recordName_));
    if (checked) {
        ++count_;
    }
    return checked;
}

void CheckedElements::Leave() {
    if (!isRecord_.empty()) {
        isRecord_.pop_back();
    }
}

}  // namespace vat::xml
