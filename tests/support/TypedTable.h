#pragma once

#include "domain/grid/CellText.h"
#include "domain/tables/ParameterTable.h"

#include <deque>
#include <memory>
#include <string>

namespace tess::test {

// A loaded table made in code: records by slot with the fields a test
// names, for tests of what is computed from a table without a table file.
class TypedTable {
public:
    TypedTable();

    // The record of `slot`, made with the code (and the rest zero or empty)
    // when there is none yet.
    ParameterDef& record(int slot, const std::string& code = {});
    // A text that lives as long as the table, for the records' views.
    std::string_view keep(const std::string& text);

    const ParameterTable& table() const { return m_table; }
    ParameterTable& table() { return m_table; }

    // The grid of this table over values.
    GridSource grid(const ParameterSet& values, Language language = Language::English) const;

private:
    std::shared_ptr<ParameterDefs> m_defs;
    std::shared_ptr<std::deque<std::string>> m_texts;
    ParameterTable m_table;
};

} // namespace tess::test
