#pragma once

#include <QString>

#include "app/export/error_list_report.h"

class QPrinter;

// The report as HTML: the heading block, then a table of the rows' Type, Document, Error and
// File:Line. The table's heading row is a table header, so that it is repeated at the top of
// every printed page.
QString ErrorListHtml(const ErrorListReport& report);

// Prints the report with "Page n of m" at the foot of every page.
void PrintErrorList(const ErrorListReport& report, QPrinter& printer);
