#pragma once

#include "domain/grid/CellText.h"

#include <string>

namespace tess {

struct Document;
struct Workspace;

// What the grid of the open document is computed from, in the language in
// force. It refers to the document: take it anew after the document changed.
GridSource gridSource(const Workspace& ws);
GridSource gridSource(const Document& doc, Language language);

// The text the grid shows in a cell of the open document.
std::string gridText(const Workspace& ws, int row, int col);

} // namespace tess
