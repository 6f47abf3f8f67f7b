#include "app/window/interstate_choice.h"

#include <string>

namespace {

constexpr char kPartiesKey[] = "interstateParties";

}  // namespace

InterstateChoice::InterstateChoice(QWidget* parent)
    : QCheckBox("All parties", parent), settings_("vat-efile", "window") {
    setObjectName("chk_InterstateAllParties");
    setToolTip(
        "The interstate sales and purchase files list every party, each with its own TIN; "
        "unchecked, only parties whose TIN begins with 29, as the return's rule asks");
    setChecked(parties() == vat::InterstateParties::All);
    // The return's rule is the default and is not kept.
    connect(this, &QCheckBox::toggled, this, [this](bool all) {
        if (all)
            settings_.setValue(kPartiesKey,
                               QString::fromStdString(std::string(
                                   vat::InterstatePartiesCode(vat::InterstateParties::All))));
        else
            settings_.remove(kPartiesKey);
    });
}

vat::InterstateParties InterstateChoice::parties() const {
    return vat::InterstatePartiesOfCode(settings_.value(kPartiesKey).toString().toStdString())
        .value_or(vat::InterstateParties::InState);
}
