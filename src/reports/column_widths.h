#pragma once
// How a table's width is shared among its columns.

#include <string>
#include <vector>

#include "reports/document_model.h"

namespace acquenza {

// Each column's share of the text width, in proportion to its longest text
// as the table's font prints it, and never narrower than its longest word, so
// numbers and headings stay whole where equal columns would break them. A
// long text still wraps. The shares add up to 1. Needs a QGuiApplication.
std::vector<double> ColumnShares(const Table& table);

// The table's font size when every column's longest word fits across the
// text width at it, otherwise the largest half-point size down to `smallest`
// at which they do (or `smallest`): numbers that must never break, such as a
// map of a 1 km section, are printed smaller instead. Needs a
// QGuiApplication.
double FittingFontSize(const Table& table, double smallest);

// How wide a line of text prints, in points. Needs a QGuiApplication.
double TextWidthPoints(const std::string& text, const std::string& fontName, double points);

// The text width of the page, in points.
double PageTextWidthPoints();

}  // namespace acquenza
