#pragma once

#include <QString>
#include <vector>

#include "returns/form_state.h"

class QPrinter;

// The error list as an HTML table of its Type and Error columns; the heading row is a table
// header, so that it is repeated at the top of every printed page.
QString ErrorListHtml(const std::vector<vat::ErrorRow>& rows);

void PrintErrorList(const std::vector<vat::ErrorRow>& rows, QPrinter& printer);
