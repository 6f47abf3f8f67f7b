#pragma once

#include <vector>

#include "returns/results/file_account.h"

class QTableWidget;

// Gives the table its columns (File, Written, Left out, Schema errors, Valid) and compact rows.
void FormatFileAccountsTable(QTableWidget& table);

// One row per return file of the latest run: how many of its listed documents were written
// and left out, its schema errors and whether it passed its check ("yes", "no", or empty when
// it was not checked).
void ShowFileAccounts(QTableWidget& table, const std::vector<vat::FileAccount>& accounts);
