#include "support/TypedTable.h"

namespace tess::test {

TypedTable::TypedTable()
    : m_defs(std::make_shared<ParameterDefs>())
    , m_texts(std::make_shared<std::deque<std::string>>())
{
    m_table.defs = m_defs;
    m_table.texts = m_texts;
}

ParameterDef& TypedTable::record(int slot, const std::string& code)
{
    std::optional<ParameterDef>& def = (*m_defs)[static_cast<std::size_t>(slot)];
    if (!def) {
        def.emplace();
        def->slot = slot;
        def->decimalsText = "0";
    }
    if (!code.empty())
        def->code = keep(code);
    return *def;
}

std::string_view TypedTable::keep(const std::string& text)
{
    return m_texts->emplace_back(text);
}

GridSource TypedTable::grid(const ParameterSet& values, Language language) const
{
    GridSource source;
    source.content = GridContent::Table;
    source.table = &m_table;
    source.values = &values;
    source.language = language;
    return source;
}

} // namespace tess::test
