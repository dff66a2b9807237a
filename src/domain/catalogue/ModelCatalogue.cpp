#include "domain/catalogue/ModelCatalogue.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace tess::catalogue {
namespace {

// ---- models

struct ModelInfo {
    std::string_view name;
    ModelFamily family;
    LimitSection limits;
    int defaultControlMode;
    int defaultCapacity; // first real entry of the model's capacity list
};

constexpr std::array<ModelInfo, ModelCount> models {{
    {"QM71", ModelFamily::QM, LimitSection::QM71, ControlModeS, 0},
    {"LX71RTP", ModelFamily::LX, LimitSection::LX71RTP, ControlModeP, 1},
    {"QM71RTP", ModelFamily::QM, LimitSection::QM71RTP, ControlModeV, 0},
    {"LX71", ModelFamily::LX, LimitSection::LX71, ControlModeP, 0},
    {"LX71ht", ModelFamily::LX, LimitSection::LX71ht, ControlModeP, 1},
    {"LX75RTP", ModelFamily::LX, LimitSection::LX75RTP, ControlModeP, 1},
    {"QM71K", ModelFamily::QM, LimitSection::QM71K, ControlModeS, 0},
    {"LX71K", ModelFamily::LX, LimitSection::LX71K, ControlModeP, 1},
    {"QM71N", ModelFamily::QM, LimitSection::QMPr, ControlModeV, 16},
    {"QM73N", ModelFamily::QM, LimitSection::QM73N, ControlModeV, 16},
    {"QM71KRTP", ModelFamily::QM, LimitSection::QM71KRTP, ControlModeV, 0},
    {"LX71KRTP", ModelFamily::LX, LimitSection::LX71KRTP, ControlModeP, 1},
}};

std::size_t slot(Model model)
{
    return static_cast<std::size_t>(indexOf(model));
}

const ModelInfo& info(Model model)
{
    return models[slot(model)];
}

constexpr std::array<TextId, 3> qmControlModes {
    TextId::ControlModeQmSensorless, TextId::ControlModeQmVector, TextId::ControlModeQmOpen};
constexpr std::array<TextId, 3> lxControlModes {TextId::ControlModeLxS, TextId::ControlModeLxV, TextId::ControlModeLxP};

// ---- capacity lists

constexpr std::string_view Ph = PlaceholderCapacity;

constexpr std::array<std::string_view, 39> listA {"1R122", "2R222", "3R722", "5R522", "7R522", "1122", "1522", "2222",
    "3022", "3722", "4522", "5522", "7522", "9022", "15022", "18022", "1R144", "2R244", "3R744", "5R544", "7R544",
    "1144", "1544", "2244", "3044", "3744", "4544", "5544", "7544", "11044", "16044", "20044", "25044", "31544",
    "40044", "50044", "60044", "75044", "100044"};
constexpr std::array<std::string_view, 22> listB {"5R522", "7R522", "1122", "18R522", "2222", "3022", "3722", "5522",
    "6522", "7522", "9022", "5R544", "7R544", "1144", "18R544", "2244", "3744", "4544", "5544", "6544", "7544",
    "11044"};
constexpr std::array<std::string_view, 26> listC {"5R522", "7R522", "1122", "18R522", "2222", "3022", "3722", "5522",
    "6522", "7522", "9022", "5R544", "7R544", "1144", "18R544", "2244", "3744", "4544", "5544", "6544", "7544", "11044",
    "16044", "20044", "25044", "31544"};
constexpr std::array<std::string_view, 39> listD {Ph, "2R222", "3R722", "5R522", "7R522", "1122", "1522", "2222",
    "3022", "3722", "4522", "5522", "7522", "9022", "15022", "18022", Ph, "2R244", "3R744", "5R544", "7R544", "1144",
    "1544", "2244", "3044", "3744", "4544", "5544", "7544", "11044", "16044", "20044", "25044", "31544", "40044",
    "50044", "60044", "75044", "100044"};
constexpr std::array<std::string_view, 39> listE {Ph, "2R222", "3R722", "5R522", "7R522", "1122", "18R522", "2222",
    "3022", "3722", "5522", "6522", "7522", "9022", "15022", "18022", Ph, "2R244", "3R744", "5R544", "7R544", "1144",
    "18R544", "2244", "3744", "4544", "5544", "6544", "7544", "11044", "16044", "20044", "25044", "31544", "40044",
    "50044", "60044", "75044", "100044"};
constexpr std::array<std::string_view, 39> listF {"1R122", "2R222", "3R722", "5R522", "7R522", "1122", "18R522", "2222",
    "3022", "3722", "5522", "6522", "7522", "9022", "15022", "18022", "1R144", "2R244", "3R744", "5R544", "7R544",
    "1144", "18R544", "2244", "3744", "4544", "5544", "6544", "7544", "11044", "16044", "20044", "25044", "31544",
    "40044", "50044", "60044", "75044", "100044"};
constexpr std::array<std::string_view, 39> listG {"1R122", "2R222", "3R722", "5R522", "7R522", "1122", "18R522", "2222",
    "3022", "3722", "5522", "6522", "7522", "9022", "15022", "18022", "1R144", "2R244", "3R744", "5R544", "7R544",
    "1144", "18R544", "2244", "3744", "4544", "5544", "6544", "7544", "11044", "16044", "20044", "25044", "37544",
    "40044", "50044", "60044", "75044", "100044"};
constexpr std::array<std::string_view, 36> listH {Ph, "2R222", "3R722", "5R522", "7R522", "1122", "1522", "2222",
    "3022", "3722", "4522", "5522", "7522", "9022", "15022", "18022", Ph, "2R244", "3R744", "5R544", "7R544", "1144",
    "1544", "2244", "3044", "3744", "4544", "5544", "7544", "11044", "16044", "20044", "25044", "31544", "40044",
    "50044"};
constexpr std::array<std::string_view, 38> listK {Ph, Ph, Ph, Ph, Ph, Ph, Ph, Ph, Ph, Ph, Ph, Ph, Ph, Ph, Ph, Ph,
    "2R240", "3R740", "5R540", "7R540", "1140", "1540", "18R540", "2240", "3040", "3740", "4540", "5540", "7540",
    "9040", "11040", "13240", "16040", "20040", "22040", "25040", "28040", "31540"};

// ---- ROM version lists

// A run of consecutive ROM version codes that differ only in the final digit:
// start index, two-character series prefix, letter, first and last digit.
struct RomRun {
    int start;
    std::string_view prefix;
    char letter;
    char firstDigit;
    char lastDigit;
};

constexpr int runLength(const RomRun& run)
{
    return run.lastDigit - run.firstDigit + 1;
}

constexpr std::array qm71Runs {
    RomRun {0, "00", 'A', '8', '9'},
    RomRun {2, "00", 'B', '1', '1'},
    RomRun {3, "00", 'C', '1', '4'},
    RomRun {7, "01", 'A', '1', '9'},
    RomRun {16, "01", 'B', '1', '9'},
    RomRun {25, "01", 'C', '1', '9'},
    RomRun {34, "02", 'A', '1', '9'},
    RomRun {43, "02", 'B', '1', '9'},
    RomRun {52, "02", 'C', '1', '9'},
    RomRun {61, "71", 'A', '1', '9'},
    RomRun {70, "72", 'A', '1', '9'},
    RomRun {79, "11", 'A', '1', '9'},
    RomRun {88, "03", 'A', '1', '9'},
    RomRun {97, "61", 'A', '1', '9'},
    RomRun {106, "21", 'A', '1', '9'},
    RomRun {115, "12", 'A', '1', '9'},
    RomRun {124, "62", 'A', '1', '9'},
    RomRun {133, "23", 'A', '1', '9'},
    RomRun {142, "21", 'B', '1', '9'},
    RomRun {151, "62", 'B', '1', '9'},
    RomRun {160, "62", 'C', '1', '9'},
    RomRun {169, "62", 'D', '1', '9'},
    RomRun {178, "62", 'E', '1', '9'},
    RomRun {187, "62", 'F', '1', '9'},
    RomRun {196, "21", 'C', '1', '9'},
    RomRun {205, "21", 'D', '1', '9'},
    RomRun {214, "21", 'E', '1', '9'},
    RomRun {223, "21", 'F', '1', '9'},
    RomRun {232, "12", 'B', '1', '9'},
    RomRun {241, "12", 'C', '1', '9'},
    RomRun {250, "12", 'D', '1', '9'},
    RomRun {259, "12", 'E', '1', '9'},
    RomRun {268, "12", 'F', '1', '9'},
    RomRun {277, "23", 'B', '1', '9'},
    RomRun {286, "23", 'C', '1', '9'},
    RomRun {295, "23", 'D', '1', '9'},
    RomRun {304, "23", 'E', '1', '9'},
    RomRun {313, "23", 'F', '1', '9'},
    RomRun {322, "24", 'A', '1', '9'},
    RomRun {331, "24", 'B', '1', '9'},
    RomRun {340, "24", 'C', '1', '9'},
    RomRun {349, "24", 'D', '1', '9'},
    RomRun {358, "24", 'E', '1', '9'},
    RomRun {367, "24", 'F', '1', '9'},
    RomRun {376, "25", 'A', '1', '9'},
    RomRun {385, "25", 'B', '1', '9'},
};

constexpr std::array lx71RtpRuns {
    RomRun {0, "00", 'B', '0', '9'},
    RomRun {10, "00", 'C', '1', '9'},
    RomRun {19, "02", 'A', '1', '9'},
    RomRun {28, "03", 'A', '1', '9'},
    RomRun {37, "03", 'B', '1', '9'},
    RomRun {46, "13", 'A', '1', '9'},
    RomRun {55, "12", 'A', '1', '9'},
    RomRun {64, "12", 'B', '1', '9'},
    RomRun {73, "12", 'C', '1', '9'},
    RomRun {82, "12", 'D', '1', '9'},
    RomRun {91, "12", 'E', '1', '9'},
    RomRun {100, "12", 'F', '1', '9'},
    RomRun {109, "13", 'B', '1', '9'},
    RomRun {118, "13", 'C', '1', '9'},
    RomRun {127, "13", 'D', '1', '9'},
    RomRun {136, "13", 'E', '1', '9'},
    RomRun {145, "13", 'F', '1', '9'},
};

constexpr std::array qm71RtpRuns {
    RomRun {0, "01", 'A', '1', '9'},
    RomRun {9, "01", 'B', '1', '9'},
    RomRun {18, "11", 'A', '1', '9'},
    RomRun {27, "11", 'B', '1', '9'},
    RomRun {36, "11", 'C', '1', '9'},
    RomRun {45, "11", 'D', '1', '9'},
    RomRun {54, "11", 'E', '1', '9'},
    RomRun {63, "11", 'F', '1', '9'},
};

constexpr std::array lx71Runs {
    RomRun {0, "01", 'A', '1', '9'},
    RomRun {9, "01", 'B', '1', '9'},
};

constexpr std::array lx71htRuns {
    RomRun {0, "02", 'A', '1', '9'},
    RomRun {9, "02", 'B', '1', '9'},
    RomRun {18, "03", 'A', '1', '9'},
    RomRun {27, "02", 'C', '1', '9'},
    RomRun {36, "02", 'D', '1', '9'},
    RomRun {45, "03", 'B', '1', '9'},
    RomRun {54, "21", 'A', '1', '9'},
    RomRun {63, "23", 'A', '1', '9'},
    RomRun {72, "21", 'B', '1', '9'},
    RomRun {81, "23", 'B', '1', '9'},
    RomRun {90, "21", 'C', '1', '9'},
    RomRun {99, "21", 'D', '1', '9'},
    RomRun {108, "21", 'E', '1', '9'},
    RomRun {117, "21", 'F', '1', '9'},
    RomRun {126, "23", 'C', '1', '9'},
    RomRun {135, "23", 'D', '1', '9'},
    RomRun {144, "23", 'E', '1', '9'},
    RomRun {153, "23", 'F', '1', '9'},
    RomRun {162, "24", 'A', '1', '9'},
    RomRun {171, "24", 'B', '1', '9'},
    RomRun {180, "24", 'C', '1', '9'},
    RomRun {189, "24", 'D', '1', '9'},
    RomRun {198, "24", 'E', '1', '9'},
    RomRun {207, "24", 'F', '1', '9'},
    RomRun {216, "25", 'A', '1', '9'},
    RomRun {225, "25", 'B', '1', '9'},
};

constexpr std::array lx75RtpRuns {
    RomRun {0, "01", 'A', '1', '9'},
    RomRun {9, "01", 'B', '1', '9'},
    RomRun {18, "01", 'C', '1', '9'},
    RomRun {27, "01", 'D', '1', '9'},
    RomRun {36, "01", 'E', '1', '9'},
    RomRun {45, "01", 'F', '1', '9'},
};

constexpr std::array qm71KRuns {
    RomRun {0, "A1", 'A', '1', '9'},
    RomRun {9, "A1", 'B', '1', '9'},
    RomRun {18, "A2", 'A', '1', '9'},
    RomRun {27, "A3", 'A', '1', '9'},
    RomRun {36, "A1", 'C', '1', '9'},
    RomRun {45, "A1", 'D', '1', '9'},
    RomRun {54, "A1", 'E', '1', '9'},
    RomRun {63, "A1", 'F', '1', '9'},
    RomRun {72, "A2", 'B', '1', '9'},
    RomRun {81, "A2", 'C', '1', '9'},
    RomRun {90, "A2", 'D', '1', '9'},
    RomRun {99, "A2", 'E', '1', '9'},
    RomRun {108, "A2", 'F', '1', '9'},
    RomRun {117, "A3", 'B', '1', '9'},
    RomRun {126, "A3", 'C', '1', '9'},
    RomRun {135, "A3", 'D', '1', '9'},
    RomRun {144, "A3", 'E', '1', '9'},
    RomRun {153, "A3", 'F', '1', '9'},
};

constexpr std::array lx71KRuns {
    RomRun {0, "A1", 'A', '1', '9'},
    RomRun {9, "A1", 'B', '1', '9'},
    RomRun {18, "A3", 'A', '1', '9'},
    RomRun {27, "A1", 'C', '1', '9'},
    RomRun {36, "A1", 'D', '1', '9'},
    RomRun {45, "A1", 'E', '1', '9'},
    RomRun {54, "A1", 'F', '1', '9'},
    RomRun {63, "A3", 'B', '1', '9'},
    RomRun {72, "A3", 'C', '1', '9'},
    RomRun {81, "A3", 'D', '1', '9'},
    RomRun {90, "A3", 'E', '1', '9'},
    RomRun {99, "A3", 'F', '1', '9'},
};

constexpr std::array qm71NRuns {
    RomRun {0, "C1", 'A', '1', '9'},
    RomRun {9, "C1", 'B', '1', '9'},
    RomRun {18, "C1", 'C', '1', '9'},
    RomRun {27, "C1", 'D', '1', '9'},
    RomRun {36, "C1", 'E', '1', '9'},
    RomRun {45, "C1", 'F', '1', '9'},
};

constexpr std::array qm73NRuns {
    RomRun {0, "C2", 'A', '1', '9'},
    RomRun {9, "C2", 'B', '1', '9'},
    RomRun {18, "C2", 'C', '1', '9'},
    RomRun {27, "C2", 'D', '1', '9'},
    RomRun {36, "C2", 'E', '1', '9'},
    RomRun {45, "C2", 'F', '1', '9'},
};

// LX71KRTP carries the QM71KRTP list without its A1 series: its runs are
// those of QM71KRTP from the A2 series on, shifted down by 54.
constexpr std::size_t krtpA1Runs = 6;
constexpr std::array qm71KRtpRuns {
    RomRun {0, "A1", 'A', '1', '9'},
    RomRun {9, "A1", 'B', '1', '9'},
    RomRun {18, "A1", 'C', '1', '9'},
    RomRun {27, "A1", 'D', '1', '9'},
    RomRun {36, "A1", 'E', '1', '9'},
    RomRun {45, "A1", 'F', '1', '9'},
    RomRun {54, "A2", 'A', '1', '9'},
    RomRun {63, "A2", 'B', '1', '9'},
    RomRun {72, "A2", 'C', '1', '9'},
    RomRun {81, "A2", 'D', '1', '9'},
    RomRun {90, "A2", 'E', '1', '9'},
    RomRun {99, "A2", 'F', '1', '9'},
    RomRun {108, "A3", 'A', '1', '9'},
    RomRun {117, "A3", 'B', '1', '9'},
    RomRun {126, "A3", 'C', '1', '9'},
    RomRun {135, "A3", 'D', '1', '9'},
    RomRun {144, "A3", 'E', '1', '9'},
    RomRun {153, "A3", 'F', '1', '9'},
    RomRun {162, "A4", 'A', '1', '9'},
    RomRun {171, "A4", 'B', '1', '9'},
    RomRun {180, "A4", 'C', '1', '9'},
    RomRun {189, "A4", 'D', '1', '9'},
    RomRun {198, "A4", 'E', '1', '9'},
    RomRun {207, "A4", 'F', '1', '9'},
    RomRun {216, "02", 'A', '0', '0'},
    RomRun {217, "02", 'B', '1', '2'},
    RomRun {219, "02", 'C', '0', '2'},
    RomRun {222, "02", 'D', '1', '9'},
};

struct RomListSpec {
    std::span<const RomRun> runs;
    int length;
};

constexpr std::array<RomListSpec, ModelCount> romLists {{
    {qm71Runs, 394},
    {lx71RtpRuns, 154},
    {qm71RtpRuns, 72},
    {lx71Runs, 18},
    {lx71htRuns, 234},
    {lx75RtpRuns, 54},
    {qm71KRuns, 162},
    {lx71KRuns, 108},
    {qm71NRuns, 54},
    {qm73NRuns, 54},
    {qm71KRtpRuns, 231},
    {std::span<const RomRun>(qm71KRtpRuns).subspan(krtpA1Runs), 177},
}};

// Every run must follow its predecessor without gap or overlap (counting from
// the first run's start, so a list may reuse the tail of another), carry a
// two-character prefix, a letter A..F and digits in order, and the runs must
// add up to the stated length.
constexpr bool wellFormed(const RomListSpec& list)
{
    if (list.runs.empty())
        return false;
    int next = list.runs.front().start;
    const int first = next;
    for (const RomRun& run : list.runs) {
        if (run.start != next || run.prefix.size() != 2 || run.letter < 'A' || run.letter > 'F' || run.firstDigit < '0'
            || run.lastDigit > '9' || run.firstDigit > run.lastDigit)
            return false;
        next += runLength(run);
    }
    return next - first == list.length;
}

constexpr bool allWellFormed()
{
    for (const RomListSpec& list : romLists) {
        if (!wellFormed(list))
            return false;
    }
    return true;
}
static_assert(allWellFormed(), "a ROM version run table has a gap, an overlap or a wrong length");

std::vector<std::string> expand(const RomListSpec& list)
{
    std::vector<std::string> codes;
    codes.reserve(static_cast<std::size_t>(list.length));
    for (const RomRun& run : list.runs) {
        for (char digit = run.firstDigit; digit <= run.lastDigit; ++digit) {
            std::string code(run.prefix);
            code.push_back('-');
            code.push_back(run.letter);
            code.push_back(digit);
            codes.push_back(std::move(code));
        }
    }
    return codes;
}

const std::array<std::vector<std::string>, ModelCount>& allRomLists()
{
    static const auto lists = [] {
        std::array<std::vector<std::string>, ModelCount> built;
        for (std::size_t m = 0; m < built.size(); ++m)
            built[m] = expand(romLists[m]);
        return built;
    }();
    return lists;
}

// ---- model change

constexpr unsigned bit(Model m)
{
    return 1u << indexOf(m);
}

// Per new model, the data set models that may move to it.
constexpr std::array<unsigned, ModelCount> changeSources {
    bit(Model::QM71) | bit(Model::QM71K),
    bit(Model::LX71RTP) | bit(Model::LX75RTP),
    bit(Model::QM71RTP),
    bit(Model::LX71),
    bit(Model::LX71ht) | bit(Model::LX71K),
    bit(Model::LX71RTP) | bit(Model::LX75RTP),
    bit(Model::QM71) | bit(Model::QM71K),
    bit(Model::LX71ht) | bit(Model::LX71K),
    bit(Model::QM71N),
    bit(Model::QM73N),
    bit(Model::QM71RTP) | bit(Model::LX71ht) | bit(Model::LX71K) | bit(Model::QM71KRTP),
    bit(Model::LX71RTP) | bit(Model::LX75RTP) | bit(Model::LX71KRTP),
};

// LX71RTP's ROM version list by series: the capacity list each selects, and
// whether a new data set may choose its control mode there (elsewhere it is
// held at P Mode). Beyond the last series there is no capacity list.
struct Lx71RtpSeries {
    RomRange roms;
    CapacityListId capacities;
    bool controlModeFree;
};

constexpr std::array<Lx71RtpSeries, 7> lx71RtpSeries {{
    {roms::Lx71RtpListA, CapacityListId::A, false},
    {roms::Lx71RtpListB, CapacityListId::B, false},
    {roms::Lx71RtpListC, CapacityListId::C, false},
    {roms::Lx71Rtp02A, CapacityListId::D, true},
    {roms::Lx71Rtp03And13A, CapacityListId::E, false},
    {roms::Lx71Rtp12, CapacityListId::D, true},
    {roms::Lx71Rtp13BToF, CapacityListId::E, false},
}};

const Lx71RtpSeries* lx71RtpSeriesOf(int romVersion)
{
    for (const Lx71RtpSeries& series : lx71RtpSeries) {
        if (series.roms.contains(romVersion))
            return &series;
    }
    return nullptr;
}

} // namespace

std::string_view modelName(Model model)
{
    return info(model).name;
}

ModelFamily modelFamily(Model model)
{
    return info(model).family;
}

std::string_view controlModeName(Model model, int controlMode, Language language)
{
    if (controlMode < 0 || controlMode > 2)
        return {};
    const auto& list = info(model).family == ModelFamily::QM ? qmControlModes : lxControlModes;
    return text(list[static_cast<std::size_t>(controlMode)], language);
}

std::optional<CapacityListId> capacityList(Model model, int romVersion)
{
    using L = CapacityListId;
    if (romVersion < 0)
        return std::nullopt;
    const int r = romVersion;
    switch (model) {
    case Model::QM71:
    case Model::QM71RTP:
    case Model::QM71K:
    case Model::QM71KRTP:
        return L::A;
    case Model::LX71RTP:
        if (const Lx71RtpSeries* series = lx71RtpSeriesOf(r))
            return series->capacities;
        return std::nullopt;
    case Model::LX71:
        return roms::Lx71ListG.contains(r) ? L::G : L::F;
    case Model::LX71ht:
        return roms::Lx71htListH.contains(r) ? L::H : L::D;
    case Model::LX75RTP:
        if (roms::Lx75RtpListD.contains(r))
            return L::D;
        return std::nullopt;
    case Model::LX71K:
        return L::D;
    case Model::QM71N:
    case Model::QM73N:
        return L::K;
    case Model::LX71KRTP:
        return roms::Lx71KRtpListE.contains(r) ? L::E : L::D;
    }
    return std::nullopt;
}

std::optional<CapacityListId> capacityListForSelection(Model model, int romVersion)
{
    if (model == Model::LX75RTP && romVersion >= 0)
        return CapacityListId::D;
    return capacityList(model, romVersion);
}
std::span<const std::string_view> capacityListEntries(CapacityListId list)
{
    switch (list) {
    case CapacityListId::A:
        return listA;
    case CapacityListId::B:
        return listB;
    case CapacityListId::C:
        return listC;
    case CapacityListId::D:
        return listD;
    case CapacityListId::E:
        return listE;
    case CapacityListId::F:
        return listF;
    case CapacityListId::G:
        return listG;
    case CapacityListId::H:
        return listH;
    case CapacityListId::K:
        return listK;
    }
    return {};
}

std::optional<std::string_view> capacityText(Model model, int romVersion, int capacity)
{
    const auto list = capacityList(model, romVersion);
    if (!list)
        return std::nullopt;
    const auto entries = capacityListEntries(*list);
    if (capacity < 0 || static_cast<std::size_t>(capacity) >= entries.size())
        return std::nullopt;
    return entries[static_cast<std::size_t>(capacity)];
}

const std::vector<std::string>& romVersionList(Model model)
{
    return allRomLists()[slot(model)];
}

std::optional<std::string_view> romVersionText(Model model, int romVersion)
{
    const auto& list = romVersionList(model);
    if (romVersion < 0 || static_cast<std::size_t>(romVersion) >= list.size())
        return std::nullopt;
    return list[static_cast<std::size_t>(romVersion)];
}

std::optional<int> romIndexOf(Model model, std::string_view code, int limit)
{
    if (code.size() < 5 || limit < 0)
        return std::nullopt;
    const std::string_view key = code.substr(0, 5);
    const auto& list = romVersionList(model);
    const std::size_t end = std::min(list.size(), static_cast<std::size_t>(limit) + 1);
    for (std::size_t i = 0; i < end; ++i) {
        if (list[i] == key)
            return static_cast<int>(i);
    }
    return std::nullopt;
}

std::span<const std::string> offeredRomVersions(Model model, const FileVersionSettings& settings)
{
    const std::span<const std::string> list = romVersionList(model);
    const int limit = verMax(model, settings);
    if (limit < 0)
        return {};
    return list.first(std::min(list.size(), static_cast<std::size_t>(limit) + 1));
}

LimitSection limitSection(Model model)
{
    return info(model).limits;
}

std::int16_t verMax(Model model, const FileVersionSettings& settings)
{
    return settings.of(limitSection(model)).verMax;
}

std::int16_t newVer(Model model, const FileVersionSettings& settings)
{
    // QM73N preselects the value kept in the QM71W section; its own New_Ver
    // serves only the identity check of a read.
    if (model == Model::QM73N)
        return settings.of(LimitSection::QM71W).newVer;
    return settings.of(limitSection(model)).newVer;
}

std::int16_t newVerForIdentityCheck(Model model, const FileVersionSettings& settings)
{
    return settings.of(limitSection(model)).newVer;
}

bool modelChangeAllowed(Model dataSetModel, Model newModel)
{
    return (changeSources[slot(newModel)] & bit(dataSetModel)) != 0;
}

int defaultControlMode(Model model)
{
    return info(model).defaultControlMode;
}

int defaultCapacity(Model model)
{
    return info(model).defaultCapacity;
}

bool placeholderRefused(Model model, int romVersion, int capacity)
{
    // Decided on the text, so every "-----" is refused, also those of list K
    // (QM71N, QM73N) and of LX71KRTP's lists, which only hold places.
    const auto list = capacityListForSelection(model, romVersion);
    if (!list)
        return true;
    const auto entries = capacityListEntries(*list);
    if (capacity < 0 || static_cast<std::size_t>(capacity) >= entries.size())
        return true;
    return entries[static_cast<std::size_t>(capacity)] == PlaceholderCapacity;
}

std::optional<TextId> controlModeRefusal(Model model, int controlMode)
{
    if (controlMode != ControlModeS)
        return std::nullopt;
    if (model == Model::LX71)
        return TextId::MsgCannotChangeControlMode;
    if (model == Model::LX75RTP)
        return TextId::MsgCannotSelectControl;
    return std::nullopt;
}

bool controlModeLockedToP(Model model, int romVersion)
{
    if (model == Model::LX71)
        return !lx71HasVMode(romVersion);
    if (model == Model::LX71RTP)
        return !lx71RtpControlModeFree(romVersion);
    return false;
}

bool lx71HasVMode(int romVersion)
{
    return romVersion >= roms::Lx71FirstVMode;
}

bool lx71RtpControlModeFree(int romVersion)
{
    const Lx71RtpSeries* series = lx71RtpSeriesOf(romVersion);
    return series && series->controlModeFree;
}

int lastCapacity(CapacityListId list)
{
    return static_cast<int>(capacityListEntries(list).size()) - 1;
}

} // namespace tess::catalogue
