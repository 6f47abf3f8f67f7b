#pragma once

#include <vector>

#include "returns/form_state.h"

class QTableWidget;

// Gives the error list its columns: the hidden Code column, then Type and Error in the
// proportion 150 to 350, under a light grey heading row; starts with no rows.
void FormatErrorGrid(QTableWidget& grid);

// Brings the grid's rows in line with the error list; long messages wrap and each row is as
// tall as its text.
void ShowErrorRows(QTableWidget& grid, const std::vector<vat::ErrorRow>& rows);
