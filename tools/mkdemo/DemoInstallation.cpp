#include "mkdemo/DemoInstallation.h"

#include "domain/catalogue/ModelCatalogue.h"
#include "domain/common/Cp932.h"
#include "domain/common/FileIo.h"
#include "domain/common/Identity.h"
#include "domain/tables/TableFiles.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <iterator>
#include <set>
#include <span>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

// The demo installation: invented but plausible tables for a handful of
// models, laid out exactly as an installation of the program expects them.
// Everything here is a pure function of the compiled-in plan below, so two
// runs write the same bytes.
namespace tess::demo {
namespace {

using catalogue::Model;

// ---------------------------------------------------------------------------
// What the demo covers

struct PlannedVersion {
    int romVersion;
    const char* controlModes; // control-mode indices as digits, e.g. "012"
};

struct ModelPlan {
    Model model;
    std::vector<PlannedVersion> versions; // ascending ROM version index
    std::int16_t verMax;
    std::int16_t newVer;
};

const std::vector<ModelPlan>& plan()
{
    // QM71: 01-A1, 01-A2, 01-A5, 01-B1, 01-B3. LX71RTP: one version in each
    // ROM range whose capacity list differs (A, B, C, D, E, D again, E again).
    // LX71: P Mode below index 11 (where it is forced), V Mode from 11 on.
    static const std::vector<ModelPlan> plans {
        {Model::QM71, {{7, "012"}, {8, "01"}, {11, "012"}, {16, "012"}, {18, "012"}}, 20, 18},
        {Model::LX71RTP, {{0, "2"}, {5, "2"}, {12, "2"}, {19, "012"}, {20, "12"}, {30, "2"}, {55, "012"}, {110, "2"}},
            112, 55},
        {Model::LX71, {{0, "2"}, {2, "2"}, {3, "2"}, {9, "2"}, {11, "12"}, {12, "12"}}, 13, 12},
        {Model::LX71ht, {{0, "012"}, {4, "2"}, {9, "012"}, {18, "012"}}, 20, 18},
        {Model::QM71N, {{0, "012"}, {1, "01"}, {9, "012"}}, 10, 9},
    };
    return plans;
}

const ModelPlan* planOf(Model model)
{
    for (const auto& p : plan())
        if (p.model == model)
            return &p;
    return nullptr;
}

// How many newer features a version has: its position among the model's
// planned versions. Later versions turn reserved slots into parameters.
int featureLevel(Model model, int romVersion)
{
    const ModelPlan* p = planOf(model);
    if (!p)
        return 0;
    for (std::size_t i = 0; i < p->versions.size(); ++i)
        if (p->versions[i].romVersion == romVersion)
            return static_cast<int>(i);
    return 0;
}

// ---------------------------------------------------------------------------
// Text helpers

// A stored integer shown with d decimal places: 1234 with 2 gives "12.34".
std::string fixed(long value, int decimals)
{
    const bool negative = value < 0;
    std::string digits = std::to_string(negative ? -value : value);
    if (decimals > 0) {
        if (digits.size() <= static_cast<std::size_t>(decimals))
            digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
        digits.insert(digits.size() - static_cast<std::size_t>(decimals), 1, '.');
    }
    return negative ? "-" + digits : digits;
}

// Appends one field of a comma-separated record. A field with a blank, a
// comma, a quote or a control character is quoted, since the readers end an
// unquoted field at a blank.
void appendField(std::string& line, std::string_view field, bool first = false)
{
    if (!first)
        line += ',';
    bool quote = false;
    for (const char c : field)
        quote = quote || c == ',' || c == '"' || static_cast<unsigned char>(c) - 1u < 32u;
    if (!quote) {
        line += field;
        return;
    }
    line += '"';
    for (char c : field) {
        if (c == '"')
            line += '"';
        line += c;
    }
    line += '"';
}

// Appends the fields of a record that starts here (without its line end).
void appendRecord(std::string& text, std::initializer_list<std::string_view> fields)
{
    bool first = true;
    for (auto f : fields) {
        appendField(text, f, first);
        first = false;
    }
}

std::string record(std::initializer_list<std::string_view> fields)
{
    std::string line;
    appendRecord(line, fields);
    return line;
}

int digitCount(long v)
{
    v = std::labs(v);
    int n = 1;
    while (v >= 10) {
        v /= 10;
        ++n;
    }
    return n;
}

// ---------------------------------------------------------------------------
// Parameter tables

struct Param {
    std::string ja;
    std::string en;
    std::string unit;
    int decimals = 0;
    long min = 0;
    long max = 0;
    long def = 0;
};

struct TableContext {
    Model model = Model::QM71;
    int controlMode = 0;
    int romVersion = 0;
    ModelFamily family = ModelFamily::QM;
    bool vf = false; // the QM family's V/F mode
    int level = 0;
};

// Collects the parameters of one area in slot order. A parameter that came
// with a later ROM version than the table's is a reserved slot.
class AreaBuilder {
public:
    explicit AreaBuilder(int level)
        : m_level(level)
    {
        m_params.reserve(64);
    }

    void add(
        std::string ja, std::string en, std::string unit, int decimals, long min, long max, long def, int since = 0)
    {
        if (since > m_level)
            reserve();
        else
            m_params.push_back(Param {std::move(ja), std::move(en), std::move(unit), decimals, min, max, def});
    }
    void reserve() { m_params.push_back(Param {"予備", "Reserved", "", 0, 0, 0, 0}); }

    // Pads the area with reserved slots; false when it holds too many.
    bool finish(std::size_t size, std::vector<Param>& out)
    {
        if (m_params.size() > size)
            return false;
        while (m_params.size() < size)
            reserve();
        out.insert(out.end(), std::make_move_iterator(m_params.begin()), std::make_move_iterator(m_params.end()));
        return true;
    }

private:
    int m_level;
    std::vector<Param> m_params;
};

std::string num(int n)
{
    return std::to_string(n);
}

// Area sizes in slot order "Fund.", A, B, C, D, E, F, G, H, I, J, L, N, O, P, S;
// each family fills all 665 slots.
constexpr std::array<std::size_t, AreaCount> QmAreaSizes {
    11, 64, 48, 48, 48, 40, 40, 40, 40, 32, 32, 40, 40, 40, 40, 62};
constexpr std::array<std::size_t, AreaCount> LxAreaSizes {
    11, 56, 56, 48, 48, 40, 40, 40, 40, 32, 32, 40, 40, 40, 40, 62};

constexpr std::array<std::string_view, AreaCount> AreaPrefixes {
    "Fund.-", "A-", "B-", "C-", "D-", "E-", "F-", "G-", "H-", "I-", "J-", "L-", "N-", "O-", "P-", "S-"};

// Basic settings. Rows 1..3 hold the limits the cell editing checks against
// "A-0" and "A-1": Fund.-0 <= A-0, Fund.-1 >= A-1, Fund.-2 <= -A-1.
void fundArea(AreaBuilder& b, const TableContext&)
{
    b.add("正転上限周波数", "Forward limit frequency", "Hz", 2, 0, 14700, 6000);
    b.add("ジョグ周波数", "Jog frequency", "Hz", 2, 0, 14700, 500);
    b.add("逆転上限周波数", "Reverse limit frequency", "Hz", 2, -14700, 0, -6000);
    b.add("加速時間1", "Acceleration time 1", "s", 1, 1, 60000, 100);
    b.add("減速時間1", "Deceleration time 1", "s", 1, 1, 60000, 100);
    b.add("運転指令選択", "Run command source", "", 0, 0, 3, 0);
    b.add("周波数指令選択", "Frequency reference source", "", 0, 0, 5, 1);
    b.add("停止方法選択", "Stop method", "", 0, 0, 1, 0);
    b.add("キャリア周波数", "Carrier frequency", "kHz", 1, 10, 150, 50);
    b.add("回転方向制限", "Rotation direction limit", "", 0, 0, 2, 0);
    b.add("モニタ表示選択", "Monitor display selection", "", 0, 0, 9, 0);
}

// Motor 1 constants and control. The motor groups (decimal places and V/F
// defaults by capacity) sit at the codes the loader keys on: A-2 and A-17
// are also the records on lines 15 and 30.
void motorArea(AreaBuilder& b, const TableContext& t)
{
    const bool qm = t.family == ModelFamily::QM;
    b.add("最高周波数", "Maximum frequency", "Hz", 2, 300, 14700, 6000);
    b.add("最低周波数", "Minimum frequency", "Hz", 2, 0, 6000, 50);
    b.add("モータ定格電流", "Motor rated current", "A", 2, 1, 65535, 350);
    b.add("モータ定格電圧", "Motor rated voltage", "V", 0, 100, 480, 200);
    b.add("モータ無負荷電流", "Motor no-load current", "A", 2, 0, 65535, 130);
    b.add("基底周波数", "Base frequency", "Hz", 2, 2500, 14700, 6000);
    b.add("モータ極数", "Motor poles", "", 0, 2, 12, 4);
    b.add("モータ定格回転数", "Motor rated speed", "r/min", 0, 300, 9999, 1750);
    b.add("モータ定格容量", "Motor rated capacity", "kW", 1, 1, 9999, 22);
    b.add("定格すべり周波数", "Rated slip frequency", "Hz", 2, 0, 1000, 150);
    b.add("トルクブースト", "Torque boost", "%", 1, 0, 200, 30);
    for (int i = 1; i <= 6; ++i)
        b.add("V/F中間電圧" + num(i), "V/F midpoint voltage " + num(i), "%", 1, 0, 1000, 100L * i + 100);
    b.add("一次抵抗", "Primary resistance", "Ω", 3, 0, 65535, 1500);
    if (qm) {
        b.add("二次抵抗", "Secondary resistance", "Ω", 3, 0, 65535, 1200);
        b.add("漏れインダクタンス", "Leakage inductance", "mH", 2, 0, 65535, 900);
        b.add("相互インダクタンス", "Mutual inductance", "mH", 2, 0, 65535, 9000);
    } else {
        b.add("漏れインダクタンス", "Leakage inductance", "mH", 2, 0, 65535, 900);
        b.add("相互インダクタンス", "Mutual inductance", "mH", 2, 0, 65535, 9000);
        b.add("鉄損係数", "Iron loss factor", "%", 1, 0, 200, 20);
    }
    if (t.vf) {
        b.add("すべり補償ゲイン", "Slip compensation gain", "%", 0, 0, 200, 100);
        b.add("すべり補償応答時間", "Slip compensation response", "s", 2, 1, 1000, 50);
        b.add("電流制限応答ゲイン", "Current limit response gain", "%", 0, 0, 200, 100);
        b.add("出力電圧補正", "Output voltage correction", "%", 1, 500, 1200, 1000);
    } else {
        b.add("速度制御比例ゲイン", "Speed control P gain", "", 1, 1, 3000, 100);
        b.add("速度制御積分時間", "Speed control I time", "ms", 0, 1, 9999, 100);
        b.add("電流制御比例ゲイン", "Current control P gain", "", 2, 1, 1000, 50);
        b.add("電流制御積分時間", "Current control I time", "ms", 1, 1, 1000, 50);
    }
    b.add("トルク制限(力行)", "Torque limit (motoring)", "%", 1, 0, 3000, 1500);
    b.add("トルク制限(回生)", "Torque limit (regenerating)", "%", 1, 0, 3000, 1500);
    b.add("オートチューニング", "Auto-tuning", "", 0, 0, 2, 0);
    b.add("初期励磁時間", "Initial excitation time", "s", 2, 0, 1000, 30);
    b.add("磁束指令", "Flux reference", "%", 1, 500, 1200, 1000);
    b.add("速度検出フィルタ", "Speed detection filter", "ms", 1, 0, 1000, 20);
    b.add("トルクバイアス", "Torque bias", "%", 1, -3000, 3000, 0, 1);
    b.add("ドループ率", "Droop rate", "%", 1, 0, 200, 0, 1);
    b.add("速度指令フィルタ", "Speed reference filter", "ms", 0, 0, 1000, 0, 2);
    b.add("トルク指令フィルタ", "Torque reference filter", "ms", 1, 0, 1000, 0, 3);
}

void accelerationArea(AreaBuilder& b, const TableContext&)
{
    for (int i = 2; i <= 4; ++i) {
        b.add("加速時間" + num(i), "Acceleration time " + num(i), "s", 1, 1, 60000, 100);
        b.add("減速時間" + num(i), "Deceleration time " + num(i), "s", 1, 1, 60000, 100);
    }
    b.add("S字加速開始", "S-curve acceleration start", "%", 0, 0, 50, 0);
    b.add("S字加速終了", "S-curve acceleration end", "%", 0, 0, 50, 0);
    b.add("S字減速開始", "S-curve deceleration start", "%", 0, 0, 50, 0);
    b.add("S字減速終了", "S-curve deceleration end", "%", 0, 0, 50, 0);
    for (int i = 1; i <= 3; ++i)
        b.add("ジャンプ周波数" + num(i), "Jump frequency " + num(i), "Hz", 2, 0, 14700, 0);
    b.add("ジャンプ幅", "Jump width", "Hz", 2, 0, 1000, 0);
    for (int i = 1; i <= 15; ++i)
        b.add("多段速度" + num(i), "Multi-speed frequency " + num(i), "Hz", 2, 0, 14700, 500L * i);
    b.add("ジョグ加減速時間", "Jog acceleration time", "s", 1, 1, 60000, 50, 1);
    b.add("停止周波数", "Stop frequency", "Hz", 2, 0, 1000, 50, 1);
    b.add("始動周波数", "Start frequency", "Hz", 2, 0, 1000, 50, 2);
}

void protectionArea(AreaBuilder& b, const TableContext&)
{
    b.add("電子サーマル選択", "Electronic thermal selection", "", 0, 0, 2, 1);
    b.add("電子サーマルレベル", "Electronic thermal level", "%", 0, 20, 105, 100);
    b.add("電子サーマル時定数", "Thermal time constant", "min", 1, 5, 750, 50);
    b.add("ストール防止(加速)", "Stall prevention (acceleration)", "%", 0, 20, 200, 150);
    b.add("ストール防止(定速)", "Stall prevention (constant speed)", "%", 0, 20, 200, 150);
    b.add("過電流制限", "Overcurrent limit", "%", 0, 20, 200, 180);
    b.add("瞬停再始動選択", "Restart after power failure", "", 0, 0, 3, 0);
    b.add("瞬停許容時間", "Power failure ride-through time", "s", 1, 0, 50, 20);
    b.add("リトライ回数", "Retry count", "", 0, 0, 10, 0);
    b.add("リトライ間隔", "Retry interval", "s", 1, 1, 100, 10);
    b.add("入力欠相検出", "Input phase loss detection", "", 0, 0, 1, 1);
    b.add("出力欠相検出", "Output phase loss detection", "", 0, 0, 1, 1);
    b.add("冷却ファン制御", "Cooling fan control", "", 0, 0, 1, 0);
    b.add("過トルク検出レベル", "Overtorque detection level", "%", 0, 0, 250, 150);
    b.add("過トルク検出時間", "Overtorque detection time", "s", 1, 0, 100, 1);
    b.add("モータ過熱検出", "Motor overheat detection", "", 0, 0, 2, 0, 1);
    b.add("過熱予報レベル", "Overheat warning level", "°C", 0, 50, 110, 90, 2);
}

void inputArea(AreaBuilder& b, const TableContext&)
{
    for (int i = 1; i <= 8; ++i)
        b.add("入力端子X" + num(i) + "機能", "Input terminal X" + num(i) + " function", "", 0, 0, 60, i - 1);
    for (int i = 1; i <= 8; ++i)
        b.add("入力端子X" + num(i) + "論理", "Input terminal X" + num(i) + " logic", "", 0, 0, 1, 0);
    b.add("入力フィルタ時間", "Input filter time", "ms", 0, 1, 100, 10);
    b.add("運転指令自己保持", "Run command self-hold", "", 0, 0, 1, 0, 1);
}

void outputArea(AreaBuilder& b, const TableContext&)
{
    for (int i = 1; i <= 4; ++i)
        b.add("出力端子Y" + num(i) + "機能", "Output terminal Y" + num(i) + " function", "", 0, 0, 40, i);
    b.add("リレー出力機能", "Relay output function", "", 0, 0, 40, 0);
    for (int i = 1; i <= 4; ++i)
        b.add("出力端子Y" + num(i) + "論理", "Output terminal Y" + num(i) + " logic", "", 0, 0, 1, 0);
    b.add("リレー出力論理", "Relay output logic", "", 0, 0, 1, 0);
    b.add("周波数到達幅", "Frequency arrival width", "Hz", 2, 0, 1000, 250);
    b.add("周波数検出レベル1", "Frequency detection level 1", "Hz", 2, 0, 14700, 6000);
    b.add("周波数検出レベル2", "Frequency detection level 2", "Hz", 2, 0, 14700, 6000);
    b.add("電流検出レベル", "Current detection level", "%", 0, 0, 200, 100);
    b.add("電流検出時間", "Current detection time", "s", 1, 0, 600, 100);
    b.add("寿命予報出力", "Lifetime warning output", "", 0, 0, 1, 0, 2);
}

// DC bus and braking. F-0 is the overvoltage level whose range and default
// the loader replaces for the 400 V class (and whose word a read doubles).
void voltageArea(AreaBuilder& b, const TableContext&)
{
    b.add("過電圧制限レベル", "Overvoltage limit level", "V", 1, 3200, 3600, 3400);
    b.add("不足電圧レベル", "Undervoltage level", "V", 1, 1500, 2000, 1800);
    b.add("制動開始電圧", "Braking start voltage", "V", 1, 3300, 3900, 3600);
    b.add("直流制動開始周波数", "DC braking start frequency", "Hz", 2, 0, 6000, 50);
    b.add("直流制動電流", "DC braking current", "%", 0, 0, 100, 50);
    b.add("直流制動時間", "DC braking time", "s", 1, 0, 300, 5);
    b.add("AVR選択", "AVR selection", "", 0, 0, 2, 1);
    b.add("省エネ運転", "Energy saving operation", "", 0, 0, 1, 0);
    b.add("制動抵抗選択", "Braking resistor selection", "", 0, 0, 2, 0);
    b.add("制動抵抗使用率", "Braking resistor duty", "%", 1, 0, 1000, 30);
    b.add("過励磁制動ゲイン", "Overexcitation braking gain", "%", 0, 0, 200, 100, 1);
}

void pidArea(AreaBuilder& b, const TableContext&)
{
    b.add("PID制御選択", "PID control selection", "", 0, 0, 3, 0);
    b.add("PID比例ゲイン", "PID proportional gain", "", 2, 0, 10000, 100);
    b.add("PID積分時間", "PID integral time", "s", 1, 0, 36000, 10);
    b.add("PID微分時間", "PID derivative time", "s", 2, 0, 1000, 0);
    b.add("PID上限", "PID upper limit", "%", 1, -1000, 1000, 1000);
    b.add("PID下限", "PID lower limit", "%", 1, -1000, 1000, 0);
    b.add("PIDフィードバック選択", "PID feedback selection", "", 0, 0, 3, 0);
    b.add("PIDフィードバックゲイン", "PID feedback gain", "%", 1, 0, 2000, 1000);
    b.add("PIDオフセット", "PID offset", "%", 1, -1000, 1000, 0);
    b.add("スリープ周波数", "Sleep frequency", "Hz", 2, 0, 14700, 0);
    b.add("スリープ遅延時間", "Sleep delay time", "s", 1, 0, 3600, 0);
    b.add("PID出力反転", "PID output inversion", "", 0, 0, 1, 0, 1);
}

void communicationArea(AreaBuilder& b, const TableContext&)
{
    b.add("局番", "Station number", "", 0, 1, 247, 1);
    b.add("通信速度", "Baud rate", "", 0, 0, 4, 2);
    b.add("パリティ", "Parity", "", 0, 0, 2, 0);
    b.add("ストップビット", "Stop bits", "bit", 0, 1, 2, 1);
    b.add("通信エラー処理", "Communication error action", "", 0, 0, 3, 0);
    b.add("通信タイムアウト時間", "Communication timeout", "s", 1, 0, 600, 0);
    b.add("応答待ち時間", "Response wait time", "ms", 0, 0, 200, 10);
    b.add("プロトコル選択", "Protocol selection", "", 0, 0, 2, 0);
    for (int i = 1; i <= 8; ++i)
        b.add("通信データ割付" + num(i), "Communication data map " + num(i), "", 0, 0, 999, 0);
    b.add("通信指令優先", "Communication command priority", "", 0, 0, 1, 0, 2);
}

void analogInputArea(AreaBuilder& b, const TableContext&)
{
    for (int i = 1; i <= 3; ++i) {
        const std::string ja = "アナログ入力" + num(i);
        const std::string en = "Analog input " + num(i);
        b.add(ja + "機能", en + " function", "", 0, 0, 5, i == 1 ? 1 : 0);
        b.add(ja + "ゲイン", en + " gain", "%", 1, 0, 2000, 1000);
        b.add(ja + "バイアス", en + " bias", "%", 1, -1000, 1000, 0);
        b.add(ja + "フィルタ", en + " filter", "s", 2, 0, 500, 5);
    }
    b.add("アナログ入力極性", "Analog input polarity", "", 0, 0, 1, 0);
    b.add("断線検出レベル", "Wire break detection level", "%", 1, 0, 500, 0, 1);
}

void analogOutputArea(AreaBuilder& b, const TableContext&)
{
    for (int i = 1; i <= 2; ++i) {
        const std::string ja = "アナログ出力" + num(i);
        const std::string en = "Analog output " + num(i);
        b.add(ja + "機能", en + " function", "", 0, 0, 15, i - 1);
        b.add(ja + "ゲイン", en + " gain", "%", 1, 0, 2000, 1000);
        b.add(ja + "バイアス", en + " bias", "%", 1, -1000, 1000, 0);
    }
    b.add("パルス出力倍率", "Pulse output multiplier", "", 0, 1, 36, 6);
    b.add("表示係数", "Display coefficient", "", 2, 1, 20000, 100);
    b.add("LED表示選択", "LED display selection", "", 0, 0, 9, 0);
}

// Motor 2 constants: the same groups as motor 1, at the L codes the loader
// keys on (the families differ in which of L-8 to L-12 they group).
void motor2Area(AreaBuilder& b, const TableContext& t)
{
    const bool qm = t.family == ModelFamily::QM;
    b.add("モータ2選択", "Motor 2 selection", "", 0, 0, 1, 0);
    b.add("モータ2定格電流", "Motor 2 rated current", "A", 2, 1, 65535, 350);
    b.add("モータ2定格電圧", "Motor 2 rated voltage", "V", 0, 100, 480, 200);
    b.add("モータ2無負荷電流", "Motor 2 no-load current", "A", 2, 0, 65535, 130);
    b.add("モータ2基底周波数", "Motor 2 base frequency", "Hz", 2, 2500, 14700, 6000);
    b.add("モータ2極数", "Motor 2 poles", "", 0, 2, 12, 4);
    b.add("モータ2定格回転数", "Motor 2 rated speed", "r/min", 0, 300, 9999, 1750);
    b.add("モータ2定格容量", "Motor 2 rated capacity", "kW", 1, 1, 9999, 22);
    if (qm) {
        b.add("モータ2定格すべり", "Motor 2 rated slip", "Hz", 2, 0, 1000, 150);
        b.add("モータ2一次抵抗", "Motor 2 primary resistance", "Ω", 3, 0, 65535, 1500);
        b.add("モータ2二次抵抗", "Motor 2 secondary resistance", "Ω", 3, 0, 65535, 1200);
        b.add("モータ2漏れインダクタンス", "Motor 2 leakage inductance", "mH", 2, 0, 65535, 900);
        b.add("モータ2相互インダクタンス", "Motor 2 mutual inductance", "mH", 2, 0, 65535, 9000);
    } else {
        b.add("モータ2一次抵抗", "Motor 2 primary resistance", "Ω", 3, 0, 65535, 1500);
        b.add("モータ2漏れインダクタンス", "Motor 2 leakage inductance", "mH", 2, 0, 65535, 900);
        b.add("モータ2相互インダクタンス", "Motor 2 mutual inductance", "mH", 2, 0, 65535, 9000);
        b.add("モータ2定格すべり", "Motor 2 rated slip", "Hz", 2, 0, 1000, 150);
        b.add("モータ2鉄損係数", "Motor 2 iron loss factor", "%", 1, 0, 200, 20);
    }
    b.add("モータ2最高周波数", "Motor 2 maximum frequency", "Hz", 2, 300, 14700, 6000);
    b.add("モータ2トルクブースト", "Motor 2 torque boost", "%", 1, 0, 200, 30);
    b.add("モータ2電子サーマル", "Motor 2 thermal level", "%", 0, 20, 105, 100);
}

void specialArea(AreaBuilder& b, const TableContext&)
{
    b.add("自動再始動", "Auto restart", "", 0, 0, 1, 0);
    b.add("速度サーチ選択", "Speed search selection", "", 0, 0, 2, 0);
    b.add("速度サーチ電流", "Speed search current", "%", 0, 0, 200, 100);
    b.add("速度サーチ時間", "Speed search time", "s", 1, 1, 100, 20);
    b.add("商用切替選択", "Commercial power switching", "", 0, 0, 1, 0);
    b.add("ブレーキ解放周波数", "Brake release frequency", "Hz", 2, 0, 1000, 300);
    b.add("ブレーキ解放時間", "Brake release time", "s", 2, 0, 500, 20);
    b.add("ブレーキ投入周波数", "Brake apply frequency", "Hz", 2, 0, 1000, 300);
    b.add("ブレーキ投入時間", "Brake apply time", "s", 2, 0, 500, 20);
    b.add("トラバース振幅", "Traverse amplitude", "%", 1, 0, 250, 0, 1);
    b.add("トラバース周期", "Traverse period", "s", 1, 1, 3000, 100, 1);
}

void optionArea(AreaBuilder& b, const TableContext&)
{
    b.add("オプション選択", "Option card selection", "", 0, 0, 4, 0);
    b.add("エンコーダパルス数", "Encoder pulses", "P/R", 0, 100, 9999, 1024);
    b.add("エンコーダ回転方向", "Encoder direction", "", 0, 0, 1, 0);
    b.add("PG断線検出", "PG disconnection detection", "", 0, 0, 1, 1);
    b.add("PG断線検出時間", "PG disconnection time", "s", 1, 0, 100, 10);
    b.add("過速度レベル", "Overspeed level", "%", 0, 0, 150, 115);
    b.add("速度偏差レベル", "Speed deviation level", "%", 0, 0, 50, 10);
    b.add("フィールドバス形式", "Fieldbus data format", "", 0, 0, 3, 0, 1);
}

void positionArea(AreaBuilder& b, const TableContext&)
{
    b.add("パルス列入力選択", "Pulse train input selection", "", 0, 0, 2, 0);
    b.add("パルス列入力倍率", "Pulse train input scale", "kHz", 1, 1, 1000, 320);
    b.add("電子ギア分子", "Electronic gear numerator", "", 0, 1, 9999, 1);
    b.add("電子ギア分母", "Electronic gear denominator", "", 0, 1, 9999, 1);
    b.add("位置決め完了幅", "In-position width", "pulse", 0, 0, 9999, 10);
    b.add("位置ループゲイン", "Position loop gain", "rad/s", 1, 1, 5000, 300);
    b.add("原点復帰速度", "Homing speed", "Hz", 2, 0, 6000, 500);
    b.add("位置オフセット", "Position offset", "pulse", 0, -9999, 9999, 0);
}

// System settings. S-2 is the capacity code, which the loader shows as the
// identity's capacity index.
void systemArea(AreaBuilder& b, const TableContext& t)
{
    b.add("機種コード", "Model code", "", 0, 0, 99, catalogue::indexOf(t.model));
    b.add("制御モード", "Control mode", "", 0, 0, 2, t.controlMode);
    b.add("容量コード", "Capacity code", "", 0, 0, 38, 0);
    b.add("パラメータ初期化", "Parameter initialisation", "", 0, 0, 2, 0);
    b.add("パスワード", "Password", "", 0, 0, 9999, 0);
    b.add("書込み禁止", "Parameter write protect", "", 0, 0, 1, 0);
    b.add("言語選択", "Display language", "", 0, 0, 1, 0);
    b.add("積算運転時間", "Cumulative run time", "h", 0, 0, 65535, 0);
    b.add("積算通電時間", "Cumulative power-on time", "h", 0, 0, 65535, 0);
    b.add("冷却ファン運転時間", "Cooling fan run time", "h", 0, 0, 65535, 0);
    for (int i = 1; i <= 8; ++i)
        b.add("トリップ履歴" + num(i), "Trip history " + num(i), "", 0, 0, 99, 0);
    b.add("保守周期", "Maintenance interval", "h", 0, 0, 65535, 0, 1);
}

using AreaFill = void (*)(AreaBuilder&, const TableContext&);
constexpr std::array<AreaFill, AreaCount> AreaFills {fundArea, motorArea, accelerationArea, protectionArea, inputArea,
    outputArea, voltageArea, pidArea, communicationArea, analogInputArea, analogOutputArea, motor2Area, specialArea,
    optionArea, positionArea, systemArea};

// The table's name as its title line gives it: its file name without the
// extension.
std::string tableName(const CoveredTable& id)
{
    std::string name = tables::tableFileName(catalogue::indexOf(id.model), id.controlMode, id.romVersion);
    if (name.ends_with(tables::TableFileExtension))
        name.resize(name.size() - tables::TableFileExtension.size());
    return name;
}

bool buildTable(const CoveredTable& id, std::string& text, std::string* error)
{
    TableContext t;
    t.model = id.model;
    t.controlMode = id.controlMode;
    t.romVersion = id.romVersion;
    t.family = catalogue::modelFamily(id.model);
    t.vf = t.family == ModelFamily::QM && id.controlMode == 2;
    t.level = featureLevel(id.model, id.romVersion);

    const auto& sizes = t.family == ModelFamily::QM ? QmAreaSizes : LxAreaSizes;
    std::vector<Param> params;
    params.reserve(SlotCount);
    std::array<std::size_t, AreaCount> first {};
    for (int area = 0; area < AreaCount; ++area) {
        first[area] = params.size();
        AreaBuilder builder(t.level);
        AreaFills[area](builder, t);
        if (!builder.finish(sizes[area], params)) {
            if (error)
                *error = "area " + std::string(AreaPrefixes[area]) + " holds more parameters than slots";
            return false;
        }
    }

    const std::string name = tableName(id);
    const std::string_view modeName = catalogue::controlModeName(id.model, id.controlMode, Language::English);
    const std::string_view modeNameJa = catalogue::controlModeName(id.model, id.controlMode, Language::Japanese);
    text.clear();
    text.reserve(params.size() * 96);
    text += record(
        {"71Series " + std::string(catalogue::modelName(id.model)) + " parameter table", name, modeNameJa, modeName});
    text += "\r\n";
    text += record(
        {"コード", "名称", "Name", "設定範囲", "初期値", "単位", "小数桁", "有効桁", "符号", "先頭", "末尾", "MSEL"});
    text += "\r\n";

    const int capacityFile = capacityFileNumber(id.model, id.romVersion);
    std::size_t slot = 0;
    for (int area = 0; area < AreaCount; ++area) {
        for (std::size_t n = 0; n < sizes[area]; ++n, ++slot) {
            const Param& p = params[slot];
            const long extent = std::max(std::labs(p.min), std::labs(p.max));
            appendRecord(text,
                {std::string(AreaPrefixes[area]) + std::to_string(n), p.ja, p.en,
                    fixed(p.min, p.decimals) + "/" + fixed(p.max, p.decimals), fixed(p.def, p.decimals), p.unit,
                    std::to_string(p.decimals), std::to_string(std::min(digitCount(extent), 5)),
                    p.min < 0 ? "0" : "1"});
            // The first 16 records carry the area table; the first of them
            // also names the capacity default file.
            if (slot < static_cast<std::size_t>(AreaCount)) {
                appendField(text, std::to_string(first[slot]));
                appendField(text, std::to_string(first[slot] + sizes[slot] - 1));
                if (slot == 0)
                    appendField(text, std::to_string(capacityFile));
            }
            text += "\r\n";
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// Capacity default files

// The capacity list each file is written for, by file number.
constexpr std::array<catalogue::CapacityListId, tables::CapacityDefaultFileCount> CapacityFileLists {
    catalogue::CapacityListId::A, catalogue::CapacityListId::A, catalogue::CapacityListId::A,
    catalogue::CapacityListId::A, catalogue::CapacityListId::A, catalogue::CapacityListId::B,
    catalogue::CapacityListId::C, catalogue::CapacityListId::D, catalogue::CapacityListId::E,
    catalogue::CapacityListId::A, catalogue::CapacityListId::F, catalogue::CapacityListId::D,
    catalogue::CapacityListId::D, catalogue::CapacityListId::K, catalogue::CapacityListId::K,
    catalogue::CapacityListId::K};

constexpr int CapacityLines = 39; // capacity indices 0..38, one line each after the heading

// The most decimal places (up to maxDecimals) that keep the value to four
// digits, as a drive shows its motor constants.
int fittingDecimals(double value, int maxDecimals)
{
    for (int d = maxDecimals; d > 0; --d)
        if (std::lround(value * std::pow(10.0, d)) <= 9999)
            return d;
    return 0;
}

long stored(double value, int decimals)
{
    return std::lround(value * std::pow(10.0, decimals));
}

std::string capacityLine(std::string_view capacity)
{
    // "1R122": 1.1 kW, voltage class code 22 (200 V); "40"/"44" are 400 V.
    const bool placeholder = capacity.size() < 3 || capacity == catalogue::PlaceholderCapacity;
    if (placeholder)
        return record({"-----", "-", "2", "3", "2", "2", "0", "0", "0", "0", "0", "0"});
    const std::string_view rating = capacity.substr(0, capacity.size() - 2);
    const bool class400 = capacity.substr(capacity.size() - 2) != "22";
    std::string kwText(rating);
    std::replace(kwText.begin(), kwText.end(), 'R', '.');
    // Read by hand: strtod would follow the locale's decimal point.
    double kw = 0;
    double scale = 0;
    for (const char c : rating) {
        if (c == 'R') {
            scale = 0.1;
        } else if (scale > 0) {
            kw += (c - '0') * scale;
            scale /= 10;
        } else {
            kw = kw * 10 + (c - '0');
        }
    }

    const double current = class400 ? kw * 1.8 + 0.4 : kw * 3.6 + 0.8; // A
    const double noLoad = current * 0.38; // A
    const double resistance = (class400 ? 12.0 : 3.0) / kw; // ohm
    const double inductance = (class400 ? 72.0 : 18.0) / kw; // mH
    const int dA = fittingDecimals(current, 2);
    const int dD = fittingDecimals(noLoad, 2);
    const int dB = fittingDecimals(resistance, 4);
    const int dC = fittingDecimals(inductance, 3);
    const long midpoint = kw < 5.5 ? 250 : (kw < 37 ? 200 : 150); // % with 1 decimal
    const long boost = kw < 5.5 ? 60 : (kw < 37 ? 30 : 10); // % with 1 decimal
    return record({capacity, kwText, std::to_string(dC), std::to_string(dB), std::to_string(dD), std::to_string(dA),
        std::to_string(stored(resistance, dB)), std::to_string(stored(current * 1.1, dA)),
        std::to_string(stored(current, dA)), std::to_string(stored(noLoad, dD)), std::to_string(midpoint),
        std::to_string(boost)});
}

std::string buildCapacityFile(int number)
{
    std::string text = record({tables::capacityDefaultFileNames()[number], "kW", "小数桁C", "小数桁B", "小数桁D",
        "小数桁A", "V/F初期値B", "定格電流", "V/F初期値A", "V/F初期値D", "V/F中間電圧", "トルクブースト"});
    text += "\r\n";
    const auto entries = catalogue::capacityListEntries(CapacityFileLists[number]);
    for (int c = 0; c < CapacityLines; ++c) {
        text += capacityLine(static_cast<std::size_t>(c) < entries.size() ? entries[c] : std::string_view {});
        text += "\r\n";
    }
    return text;
}

// ---------------------------------------------------------------------------
// Conversion matrices and group files

struct MatrixPart {
    Model model;
    int count; // the first count entries of the model's ROM version list
};

struct MatrixFile {
    const char* matrix;
    const char* groups;
    std::vector<MatrixPart> parts;
};

// Each matrix holds the ROM versions of the models that use it, up to the
// largest extent a lookup reads (the new model's versions first, then those
// of the models whose data sets may move to it).
const std::vector<MatrixFile>& matrixFiles()
{
    static const std::vector<MatrixFile> files {
        {"QM71_KConvertMatrix.rcm", "QM71_KGroupSet.txt", {{Model::QM71, 160}, {Model::QM71K, 44}}},
        {"LX71RTP_KConvertMatrix.rcm", "LX71RTP_KGroupSet.txt",
            {{Model::LX71RTP, 64}, {Model::LX75RTP, 17}, {Model::LX71KRTP, 10}}},
        {"LX71htKConvertMatrix.rcm", "LX71htKGroupSet.txt", {{Model::LX71ht, 90}, {Model::LX71K, 35}}},
        {"LX75RTPConvertMatrix.rcm", "LX75RTPGroupSet.txt", {{Model::LX75RTP, 36}}},
        {"QM71RTP_KConvertMatrix.rcm", "QM71RTP_KGroupSet.txt", {{Model::QM71KRTP, 36}}},
    };
    return files;
}

struct MatrixCode {
    std::string code;
    int representative; // index in the own model's list of the first version of its series
    bool isRepresentative;
};

// The group representative of entry i of a list whose first count entries
// stand in the matrix: the first version of its series, or, when that lies
// beyond the matrix, the first version of its generation ("13-B2" -> "13-A1")
// in the matrix; -1 when neither is there.
int representativeOf(const std::vector<std::string>& list, int i, int count)
{
    const std::string& code = list[i];
    for (int prefix : {4, 2})
        for (int j = 0; j < count; ++j)
            if (list[j].compare(0, prefix, code, 0, prefix) == 0)
                return j;
    return -1;
}

std::vector<MatrixCode> matrixCodes(const MatrixFile& file)
{
    std::vector<MatrixCode> codes;
    for (const auto& part : file.parts) {
        const auto& list = catalogue::romVersionList(part.model);
        const int count = std::min<int>(part.count, static_cast<int>(list.size()));
        for (int i = 0; i < count; ++i) {
            const int rep = representativeOf(list, i, count);
            codes.push_back(MatrixCode {list[i], rep, rep == i});
        }
    }
    return codes;
}

// Within a series ("01-A") every move is allowed; between series of the
// same generation ("01-A" and "01-B") the cell defers to the group
// representatives, which allow it; across generations it is refused. The
// diagonal is empty: the same version.
std::string_view matrixCell(const MatrixCode& from, const MatrixCode& to)
{
    if (from.code == to.code)
        return "";
    if (from.code.compare(0, 4, to.code, 0, 4) == 0)
        return "1";
    if (from.code.compare(0, 2, to.code, 0, 2) == 0)
        return from.isRepresentative && to.isRepresentative ? "1" : "10";
    return "0";
}

std::string buildMatrix(const MatrixFile& file, const std::vector<MatrixCode>& codes)
{
    std::string text = record({std::string(file.matrix), "ROM version conversion matrix"});
    text += "\r\n";
    text += record({"1=allowed 0=refused 10=by group, empty=allowed or same version"});
    text += "\r\n";
    appendRecord(text, {"No", "ROM"});
    for (const auto& c : codes)
        appendField(text, c.code);
    text += "\r\n";
    for (std::size_t r = 0; r < codes.size(); ++r) {
        appendRecord(text, {std::to_string(r), codes[r].code});
        for (const auto& to : codes)
            appendField(text, matrixCell(codes[r], to));
        text += "\r\n";
    }
    return text;
}

// Every version of the matrix's models has its group, also those beyond the
// matrix, so that a move from or to a version the matrix does not list is
// still answered through the representatives.
std::string buildGroups(const MatrixFile& file)
{
    std::string text;
    std::set<std::string> named; // a code that two models share keeps its first line
    for (const auto& part : file.parts) {
        const auto& list = catalogue::romVersionList(part.model);
        const int count = std::min<int>(part.count, static_cast<int>(list.size()));
        for (int i = 0; i < static_cast<int>(list.size()); ++i)
            if (const int rep = representativeOf(list, i, count); rep >= 0 && named.insert(list[i]).second)
                text += "[" + list[i] + "]=" + std::to_string(rep) + "\r\n";
    }
    return text;
}

// ---------------------------------------------------------------------------
// FileVersion.INI

constexpr std::string_view DemoFileVersion = "1.20";

std::string buildIni(const DemoOptions& options)
{
    const FileVersionSettings s = demoSettings(options);
    std::string text = "[Version]\r\nFileVersion=" + s.fileVersion + "\r\n";
    for (int i = 0; i < LimitSectionCount; ++i) {
        const LimitKeys& keys = limitKeys[i];
        const RomLimits& limits = s.limits[i];
        text += "\r\n[" + std::string(keys.section) + "]\r\n";
        text += std::string(keys.verMaxKey) + "=" + std::to_string(limits.verMax) + "\r\n";
        text += std::string(keys.newVerKey) + "=" + std::to_string(limits.newVer) + "\r\n";
    }
    text += "\r\n[View]\r\nValue=" + std::string(s.view ? "1" : "0") + "\r\n";
    text += "\r\n[spcialfunc]\r\nused=" + std::string(s.specialFunctions ? "1" : "0") + "\r\n";
    return text;
}

// ---------------------------------------------------------------------------
// Writing

// One file of the installation: its path below the folder and its bytes.
struct DemoFile {
    std::string relative;
    std::string bytes;
};

struct DemoContents {
    std::vector<std::string> folders;
    std::vector<DemoFile> files; // everything but FileVersion.INI
    std::string error; // set when the contents could not be made
};

bool addFile(DemoContents& out, std::string relative, const std::string& utf8)
{
    bool lossy = false;
    std::string bytes = utf8ToCp932(utf8, &lossy);
    if (lossy) {
        out.error = "text without a code page 932 form in " + relative;
        return false;
    }
    out.files.push_back(DemoFile {std::move(relative), std::move(bytes)});
    return true;
}

DemoContents makeContents()
{
    DemoContents out;
    out.folders.emplace_back("MSEL");
    for (const auto& p : plan())
        out.folders.emplace_back(catalogue::modelName(p.model));

    std::string text;
    for (const auto& id : coveredTables()) {
        if (!buildTable(id, text, &out.error))
            return out;
        if (!addFile(out,
                tables::tableFilePathInInstallation("", catalogue::indexOf(id.model), id.controlMode, id.romVersion),
                text))
            return out;
    }
    const auto& capacityFiles = tables::capacityDefaultFileNames();
    for (int n = 0; n < tables::CapacityDefaultFileCount; ++n)
        if (!addFile(out, tables::capacityDefaultFilePath("", std::string(capacityFiles[n])), buildCapacityFile(n)))
            return out;
    for (const auto& m : matrixFiles()) {
        const auto codes = matrixCodes(m);
        if (!addFile(out, m.matrix, buildMatrix(m, codes)) || !addFile(out, m.groups, buildGroups(m)))
            return out;
    }
    return out;
}

// The contents depend on nothing but the compiled-in plan: made once per
// process, however many installations it writes (tests write many).
const DemoContents& contents()
{
    static const DemoContents made = makeContents();
    return made;
}

bool makeFolder(const std::string& path, std::string* error)
{
    std::error_code ec;
    std::filesystem::create_directories(pathOf(path), ec);
    if (ec || !isDirectory(path)) {
        if (error)
            *error = "cannot create folder " + path + (ec ? ": " + ec.message() : std::string());
        return false;
    }
    return true;
}

// Replaces the file unless it already holds these bytes.
bool writeIfChanged(FileWriter& writer, const std::string& path, const std::string& bytes, std::string* error)
{
    std::string existing;
    if (readFileBytes(path, existing) && existing == bytes)
        return true;
    IoError io;
    if (!writer.replaceFile(path, bytes, &io)) {
        if (error)
            *error = "cannot write " + io.path + ": " + io.detail;
        return false;
    }
    return true;
}

} // namespace

const std::vector<CoveredTable>& coveredTables()
{
    static const std::vector<CoveredTable> tables = [] {
        std::vector<CoveredTable> out;
        for (const auto& p : plan())
            for (const auto& v : p.versions)
                for (const char* m = v.controlModes; *m; ++m)
                    out.push_back(CoveredTable {p.model, *m - '0', v.romVersion});
        return out;
    }();
    return tables;
}

FileVersionSettings demoSettings(const DemoOptions& options)
{
    FileVersionSettings s;
    s.fileVersion = std::string(DemoFileVersion);
    // Models without demo tables offer only their first ROM version.
    for (auto& limits : s.limits)
        limits = RomLimits {0, 0};
    for (const auto& p : plan()) {
        const LimitSection section = catalogue::limitSection(p.model);
        s.of(section) = RomLimits {p.verMax, p.newVer};
    }
    s.view = options.view;
    s.specialFunctions = options.specialFunctions;
    return s;
}

int capacityFileNumber(Model model, int romVersion)
{
    switch (model) {
    case Model::QM71: {
        const std::string_view code = catalogue::romVersionText(model, romVersion).value_or("");
        if (code == "00-A8")
            return 0;
        if (code == "00-A9")
            return 1;
        if (code.substr(0, 4) == "00-B")
            return 2;
        return 3;
    }
    case Model::LX71RTP:
        // One file per ROM range of the capacity lists.
        if (romVersion == 0)
            return 4;
        if (romVersion <= 9)
            return 5;
        if (romVersion <= 18)
            return 6;
        if (romVersion <= 27 || (romVersion >= 55 && romVersion <= 108))
            return 7;
        return 8;
    case Model::LX71:
        return 10;
    case Model::LX71ht:
        return 11;
    case Model::QM71N:
        return romVersion < 9 ? 13 : 14;
    default:
        return -1;
    }
}

bool writeDemoInstallation(const std::string& folder, const DemoOptions& options, std::string* error)
{
    if (folder.empty()) {
        if (error)
            *error = "no folder given";
        return false;
    }
    const DemoContents& made = contents();
    if (!made.error.empty()) {
        if (error)
            *error = made.error;
        return false;
    }
    const std::string root = folder.back() == '/' ? folder : folder + "/";
    // Demo files can be made again at any time, so they skip the flush to
    // disk that the user's data gets (it made a run take a second on a busy
    // disk); the rename still keeps any reader from seeing a half-written file.
    FileWriter& writer = options.writer ? *options.writer : unflushedFileWriter();

    if (!makeFolder(root, error))
        return false;
    for (const auto& f : made.folders)
        if (!makeFolder(root + f, error))
            return false;
    for (const auto& f : made.files)
        if (!writeIfChanged(writer, root + f.relative, f.bytes, error))
            return false;

    // Last, so that an installation with FileVersion.INI is a complete one.
    return writeIfChanged(writer, root + FileVersionIniName, utf8ToCp932(buildIni(options)), error);
}

} // namespace tess::demo
