#pragma once

#include <QCheckBox>
#include <QSettings>

#include "returns/declarations/return_file_kind.h"

// All parties: whether the interstate sales and purchase files list every party, each with its
// own TIN, or those of the state alone, as the return's rule asks (the default). The command
// line's --interstate-parties; remembered for the next start.
class InterstateChoice : public QCheckBox {
    Q_OBJECT

public:
    explicit InterstateChoice(QWidget* parent);

    vat::InterstateParties parties() const;

private:
    QSettings settings_;
};
