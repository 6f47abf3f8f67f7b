#pragma once

#include "app/export/error_list_report.h"

class QPrinter;

// Prints the report: the heading block, then a table of the rows' Type, Document, Error and
// File:Line, the table's heading row at the top of every page and "Page n of m" at every
// page's foot. A row never straddles two pages: each page holds whole rows.
void PrintErrorList(const ErrorListReport& report, QPrinter& printer);
