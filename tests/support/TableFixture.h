#pragma once

#include "app/common/Workspace.h"
#include "app/tables/TableLoader.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/common/Cp932.h"
#include "domain/tables/TableFiles.h"
#include "support/Fakes.h"

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

// Hand-made installations for the table tests: table files and capacity
// default files written in code page 932 with CR LF, as the installation
// ships them.
namespace tess::test {

// One parameter record (fields 0 to 8), names in UTF-8.
struct Record {
    std::string code;
    std::string defaultText = "0";
    std::string decimals = "0";
    std::string sign = "0";
    std::string nameJa = "名前";
    std::string nameEn = "Name";
    std::string range = "0/100";
    std::string figures = "5";
};

inline std::string recordLine(const Record& r)
{
    return r.code + ",\"" + r.nameJa + "\",\"" + r.nameEn + "\"," + r.range + "," + r.defaultText + ",x," + r.decimals
        + "," + r.figures + "," + r.sign;
}

// Area limits by area index; an area not given is empty (first > last).
using AreaTable = std::map<int, std::pair<int, int>>;

// A table file: a title and a heading line, then one record line per entry of
// records in slot order. Lines 2 to 17 get the area table in fields 9 and 10
// (a filler record where records run out) and line 2 the capacity default
// file number in field 11.
inline std::string tableBytes(
    const AreaTable& areas, const std::vector<std::string>& records, std::string capacity = "3")
{
    std::vector<std::string> lines {"Parameter table", "Code,Name,Name,Range,Default,-,Dp,Fig,Sign,First,Last,Cap"};
    const std::size_t count = std::max<std::size_t>(records.size(), 16);
    for (std::size_t i = 0; i < count; ++i) {
        std::string line = i < records.size() ? records[i] : recordLine({"-"});
        if (i < 16) {
            const auto area = areas.find(static_cast<int>(i));
            const std::pair<int, int> limits = area == areas.end() ? std::pair {1, 0} : area->second;
            line += "," + std::to_string(limits.first) + "," + std::to_string(limits.second);
            if (i == 0)
                line += "," + capacity;
        }
        lines.push_back(std::move(line));
    }
    std::string bytes;
    for (const std::string& line : lines)
        bytes += utf8ToCp932(line) + "\r\n";
    return bytes;
}

// The capacity fields the loader reads, by field number.
struct CapacityValues {
    int decimalsC = 0; // 2
    int decimalsB = 0; // 3
    int decimalsD = 0; // 4
    int decimalsA = 0; // 5
    int vfDefaultB = 0; // 6
    int vfDefaultA = 0; // 8
    int vfDefaultD = 0; // 9
    int vfDefaultA11 = 0; // 10
    int vfDefaultA10 = 0; // 11
};

// A capacity default file whose line c + 1 holds the values for capacity c;
// capacities not given get a line of zeros.
inline std::string capacityBytes(const std::map<int, CapacityValues>& byCapacity)
{
    int last = 0;
    for (const auto& entry : byCapacity)
        last = std::max(last, entry.first);
    std::string bytes = "Cap,Name,C,B,D,A,Bdef,-,Adef,Ddef,A11def,A10def\r\n";
    for (int c = 0; c <= last; ++c) {
        const auto found = byCapacity.find(c);
        const CapacityValues v = found == byCapacity.end() ? CapacityValues {} : found->second;
        bytes += std::to_string(c) + ",cap," + std::to_string(v.decimalsC) + "," + std::to_string(v.decimalsB) + ","
            + std::to_string(v.decimalsD) + "," + std::to_string(v.decimalsA) + "," + std::to_string(v.vfDefaultB)
            + ",-," + std::to_string(v.vfDefaultA) + "," + std::to_string(v.vfDefaultD) + ","
            + std::to_string(v.vfDefaultA11) + "," + std::to_string(v.vfDefaultA10) + "\r\n";
    }
    return bytes;
}

// A temporary installation folder and a workspace on it.
class Installation {
public:
    Installation() { ws.settings.applicationFolder = dir.path(); }

    std::string tablePath(int model, int controlMode, int romVersion) const
    {
        const std::optional<catalogue::Model> known = catalogue::modelOf(model);
        return dir.path() + std::string(known ? catalogue::modelName(*known) : std::string_view {}) + "/"
            + tables::tableFileName(model, controlMode, romVersion);
    }
    std::string writeTable(int model, int controlMode, int romVersion, const std::string& bytes) const
    {
        const std::string path = tablePath(model, controlMode, romVersion);
        writeFile(path, bytes);
        return path;
    }
    std::string writeCapacity(const std::string& fileName, const std::string& bytes) const
    {
        const std::string path = dir.path() + "MSEL/" + fileName;
        writeFile(path, bytes);
        return path;
    }
    // The document holds a data set of this identity, just read: the next
    // load looks up its table (tables::TableSource::DataSetIdentity).
    void setDataSet(InverterIdentity identity)
    {
        ws.doc.identity = identity;
        dataSetJustRead = true;
    }
    tables::TableSource nextLoadSource()
    {
        const bool read = dataSetJustRead;
        dataSetJustRead = false;
        return read ? tables::TableSource::DataSetIdentity : tables::TableSource::Recorded;
    }

    TempDir dir;
    Workspace ws;
    bool dataSetJustRead = false;
};

} // namespace tess::test
