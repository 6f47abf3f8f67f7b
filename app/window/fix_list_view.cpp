#include "app/window/fix_list_view.h"

#include <QHeaderView>

#include "returns/results/number_forms.h"

namespace {

enum Column { WhatColumn, DocumentsColumn, TaxColumn };

// Where an item leads: a row's index, or a group's party.
constexpr int kRowRole = Qt::UserRole + 1;
constexpr int kPartyRole = Qt::UserRole + 2;

QTreeWidgetItem* GroupItem(const vat::FixGroup& group, const std::vector<vat::ErrorRow>& rows) {
    auto* item =
        new QTreeWidgetItem({QString::fromStdString(group.text), QString::number(group.documents),
                             QString::fromStdString(vat::GroupedPaise(group.taxPaise))});
    item->setToolTip(WhatColumn, QString::fromStdString(group.text + "\n" + group.action));
    item->setTextAlignment(DocumentsColumn, Qt::AlignRight | Qt::AlignVCenter);
    item->setTextAlignment(TaxColumn, Qt::AlignRight | Qt::AlignVCenter);
    if (group.party) item->setData(WhatColumn, kPartyRole, *group.party);
    if (!group.rows.empty())
        item->setData(WhatColumn, kRowRole, QVariant::fromValue(group.rows.front()));
    for (const std::size_t at : group.rows) {
        const vat::ErrorRow& row = rows.at(at);
        auto* child = new QTreeWidgetItem(
            item, {QString::fromStdString(row.type + ": " + row.error + " " + row.document)});
        child->setToolTip(WhatColumn, child->text(WhatColumn));
        child->setData(WhatColumn, kRowRole, QVariant::fromValue(at));
    }
    return item;
}

}  // namespace

FixListView::FixListView(QWidget* parent) : QTreeWidget(parent) {
    setObjectName("trw_Fixes");
    setHeaderLabels({"What to fix", "Documents", "Tax"});
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(WhatColumn, QHeaderView::Stretch);
    header()->setSectionResizeMode(DocumentsColumn, QHeaderView::ResizeToContents);
    header()->setSectionResizeMode(TaxColumn, QHeaderView::ResizeToContents);
    // A double click on a group would otherwise also open or close it.
    setExpandsOnDoubleClick(false);
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (const QVariant party = item->data(WhatColumn, kPartyRole); party.isValid())
            emit partyChosen(party.toLongLong());
        else if (const QVariant row = item->data(WhatColumn, kRowRole); row.isValid())
            emit rowChosen(row.value<std::size_t>());
    });
}

void FixListView::show(const std::vector<vat::FixGroup>& groups,
                       const std::vector<vat::ErrorRow>& rows) {
    clear();
    QTreeWidgetItem* byRule = nullptr;
    for (const vat::FixGroup& group : groups) {
        if (vat::Fixable(group)) {
            addTopLevelItem(GroupItem(group, rows));
            continue;
        }
        // No change of the books brings these in: they stand apart from what there is to fix.
        if (!byRule) {
            byRule = new QTreeWidgetItem(
                {"Left out by the return's rule: no change of the books brings these in"});
            addTopLevelItem(byRule);
        }
        byRule->addChild(GroupItem(group, rows));
    }
}

std::string PartyText(long long party, const vat::DocumentNotes& notes) {
    std::string text = "Party " + std::to_string(party);
    std::string documents;
    bool described = false;
    for (const vat::DocumentNote& note : notes) {
        if (note.partyAccount != party) continue;
        if (!described) {
            text += " " + note.partyName + ", TIN as stored '" + note.storedTin + "'";
            described = true;
        }
        documents += "\n" + note.document + " (" + note.file + ")";
    }
    return text + (documents.empty() ? "" : "\nIts documents this month:" + documents);
}
