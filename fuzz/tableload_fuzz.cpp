// Loads an arbitrary parameter table file (and capacity default file) into a
// workspace of a temporary installation. Whatever the bytes, the load ends
// with one of its results, and only slots the table defines are touched.
//
// Input: byte 0 chooses the options (bit 0 keep values, bit 1 V/F mode,
// bit 2 Japanese, bit 3 special functions), byte 1 the capacity index; the
// rest is the table file, followed by the capacity file after a line "@@".
#include "app/common/Ui.h"
#include "app/common/Workspace.h"
#include "app/mainwindow/DocumentGrid.h"
#include "app/tables/TableLoader.h"
#include "domain/tables/TableFiles.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

using namespace tess;

namespace {

class QuietUi final : public Ui {
public:
    void showMessage(const Message&, Language) override { }
    Answer ask(const Message&, const Message&, Buttons, Language) override { return Answer::Cancel; }
    void setBusy(bool) override { }
    std::optional<std::string> chooseOpenFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> chooseSaveFile(const FileDialogRequest&) override { return std::nullopt; }
};

struct Installation {
    Installation()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tessaline-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        folder = pattern + "/";
        std::filesystem::create_directories(folder + "QM71");
        std::filesystem::create_directories(folder + "MSEL");
    }
    ~Installation()
    {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    std::string folder;
};

void write(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Installation inst;
    if (size < 2)
        return 0;
    const std::uint8_t options = data[0];
    const auto capacity = static_cast<std::int16_t>(data[1] % 40);
    std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
    std::string_view capacityFile;
    if (const std::size_t at = rest.find("\n@@\n"); at != std::string_view::npos) {
        capacityFile = rest.substr(at + 4);
        rest = rest.substr(0, at);
    }

    const std::int16_t controlMode = (options & 2) ? 2 : 0;
    const std::string table = inst.folder + "QM71/" + tables::tableFileName(0, controlMode, 7);
    write(table, rest);
    write(inst.folder + "MSEL/MSEL_DEF.bkh", capacityFile);

    Workspace ws;
    ws.settings.applicationFolder = inst.folder;
    ws.settings.language = (options & 4) ? Language::Japanese : Language::English;
    ws.settings.fileVersion.specialFunctions = (options & 8) != 0;
    ws.doc.identity = InverterIdentity {0, controlMode, capacity, 7};
    ws.doc.values.fill(0x5A5A);
    QuietUi ui;

    const tables::LoadResult result = tables::loadParameterTable(ws, ui,
        (options & 1) != 0 ? tables::TableValues::Stored : tables::TableValues::Defaults,
        tables::TableSource::DataSetIdentity);
    if (result != tables::LoadResult::Done && result != tables::LoadResult::Unreadable
        && result != tables::LoadResult::Incomplete)
        std::abort();
    ws.doc.content = GridContent::Table;
    const GridSource grid = gridSource(ws);
    for (int slot = 0; slot < SlotCount; ++slot) {
        const bool defined = ws.doc.table.def(slot).has_value();
        // Every cell of every row has a text, whatever the table held.
        for (int col = 0; col < GridColumnCount; ++col) {
            const std::string cell = cellText(grid, slot + 1, col);
            if (!defined && !cell.empty())
                std::abort();
        }
        if (!defined && ws.doc.values[static_cast<std::size_t>(slot)] != 0x5A5A)
            std::abort();
        if (defined && ws.doc.table.def(slot)->slot != slot)
            std::abort();
    }
    return 0;
}
