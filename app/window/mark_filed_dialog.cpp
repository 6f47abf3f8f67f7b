#include "app/window/mark_filed_dialog.h"

#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

#include "returns/filing/mark_filed.h"

std::optional<FilingAnswer> AskFiling(QWidget* parent, const QString& monthTitle) {
    QDialog dialog(parent);
    dialog.setWindowTitle("Mark " + monthTitle + " as filed");
    auto* layout = new QFormLayout(&dialog);
    auto* acknowledgement = new QLineEdit(&dialog);
    acknowledgement->setObjectName("edit_Acknowledgement");
    acknowledgement->setMaxLength(static_cast<int>(vat::kLongestAcknowledgement));
    auto* filedOn = new QDateEdit(QDate::currentDate(), &dialog);
    filedOn->setObjectName("date_FiledOn");
    filedOn->setDisplayFormat("dd/MM/yyyy");
    filedOn->setCalendarPopup(true);
    layout->addRow("Acknowledgement:", acknowledgement);
    layout->addRow("Filed on:", filedOn);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return FilingAnswer{acknowledgement->text(), filedOn->date()};
}
