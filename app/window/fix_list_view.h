#pragma once

#include <QTreeWidget>
#include <cstddef>
#include <string>
#include <vector>

#include "returns/fixes/fix_groups.h"

// What to fix in the books: one line per group, in rank order, with its documents and the tax
// at stake; a group opens to its error rows. A double click on a row hands on the row; on a
// group, its party or, without one, its first row.
class FixListView : public QTreeWidget {
    Q_OBJECT

public:
    explicit FixListView(QWidget* parent);

    // The groups of a run's rows, each row shown as the error list shows it.
    void show(const std::vector<vat::FixGroup>& groups, const std::vector<vat::ErrorRow>& rows);

signals:
    void rowChosen(std::size_t row);  // an index into the run's rows
    void partyChosen(long long party);
};

// A party as the run's documents found it: its code, name and TIN as stored, and its documents
// this month.
std::string PartyText(long long party, const vat::DocumentNotes& notes);
