#pragma once
// How a table's width is shared among its columns.

#include <vector>

#include "reports/document_model.h"

namespace acquenza {

// Each column's share of the text width, in proportion to its longest text
// as the table's font prints it, and never narrower than its longest word, so
// numbers and headings stay whole where equal columns would break them. A
// long text still wraps. The shares add up to 1. Needs a QGuiApplication.
std::vector<double> ColumnShares(const Table& table);

}  // namespace acquenza
