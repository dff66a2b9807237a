#include "domain/journal/JournalReader.h"

#include "domain/journal/FlatJson.h"

#include <climits>

namespace tess::journal {
namespace {

int clampedInt(std::int64_t value)
{
    return value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

void readHeader(const FlatJson& line, JournalSummary& s)
{
    JournalHeader& h = s.header;
    s.hasHeader = true;
    h.transaction = transactionNamed(line.string("transaction")).value_or(JournalTransaction::Write);
    h.utcTime = line.string("utc");
    h.localTime = line.string("local");
    h.user = line.string("user");
    h.host = line.string("host");
    h.programVersion = line.string("version");
    h.port = line.string("port");
    h.device = line.string("device");
    h.dataFile = line.string("file");
    h.dataFileSha256 = line.string("sha256");
    h.fromArea = line.string("from");
    h.toArea = line.string("to");
    h.verify = line.flag("verify");
    h.changedOnly = line.flag("changedOnly");
    h.forced = line.flag("forced");
    h.permitWrite = line.flag("permitWrite");
}

void readDrive(const FlatJson& line, JournalSummary& s)
{
    DriveIdentity& d = s.header.drive;
    d.text = line.string("identity");
    d.model = line.string("model");
    d.romCode = line.string("rom");
    d.modeCode = clampedInt(line.number("modeCode"));
    d.capacityCode = clampedInt(line.number("capacityCode"));
}

void readWord(const FlatJson& line, JournalSummary& s)
{
    const int word = clampedInt(line.number("word", -1));
    if (!line.has("outcome")) {
        JournalWord w;
        w.word = word;
        w.code = line.string("code");
        w.value = clampedInt(line.number("value"));
        s.words.push_back(std::move(w));
        ++s.announced;
        return;
    }
    // An outcome belongs to the word announced last; one for another word
    // (a damaged file) counts for nothing.
    if (s.words.empty() || s.words.back().word != word || s.words.back().settled)
        return;
    JournalWord& w = s.words.back();
    w.settled = true;
    w.outcome = line.string("outcome");
    w.refusal = line.string("message");
    if (w.outcome == "taken") {
        ++s.taken;
        s.lastTaken = word;
        s.lastTakenCode = w.code;
    } else if (w.outcome == "refused") {
        ++s.refused;
    } else if (w.outcome == "no answer") {
        ++s.noAnswer;
    } else if (w.outcome == "not sent") {
        ++s.notSent;
    }
}

void readPause(const FlatJson& line, JournalSummary& s)
{
    JournalPause pause;
    if (line.has("after")) {
        pause.afterWord = clampedInt(line.number("after"));
        pause.afterCode = line.string("afterCode");
    }
    // The word announced before the hold but not yet sent comes after it.
    pause.wordsBefore = s.words.size() - (!s.words.empty() && !s.words.back().settled ? 1 : 0);
    pause.beganUtc = line.string("utc");
    pause.beganLocal = line.string("local");
    s.pauses.push_back(std::move(pause));
}

void readPauseEnd(const FlatJson& line, JournalSummary& s)
{
    // An end belongs to the hold told last; one without (a damaged file)
    // counts for nothing.
    if (s.pauses.empty() || s.pauses.back().end)
        return;
    JournalPause& pause = s.pauses.back();
    pause.end = pauseEndNamed(line.string("how"));
    pause.endedUtc = line.string("utc");
    pause.endedLocal = line.string("local");
}

} // namespace

JournalSummary readJournal(std::string_view text)
{
    JournalSummary s;
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        const std::string_view raw = text.substr(0, newline);
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        if (raw.empty() || raw == "\r")
            continue;
        const std::optional<FlatJson> line = FlatJson::parse(raw);
        if (!line) {
            ++s.unreadLines;
            continue;
        }
        const std::string kind = line->string("kind");
        if (kind == "header" && !s.hasHeader) {
            readHeader(*line, s);
        } else if (kind == "drive") {
            readDrive(*line, s);
        } else if (kind == "plan") {
            s.planned = clampedInt(line->number("words"));
        } else if (kind == "word") {
            readWord(*line, s);
        } else if (kind == "verify") {
            s.differences.push_back({clampedInt(line->number("word")), line->string("code"),
                clampedInt(line->number("wanted")), clampedInt(line->number("held"))});
        } else if (kind == "pause") {
            readPause(*line, s);
        } else if (kind == "pause-end") {
            readPauseEnd(*line, s);
        } else if (kind == "end") {
            s.end = endNamed(line->string("result")).value_or(JournalEnd::Failed);
            s.cancelledBy = cancelledByNamed(line->string("by")).value_or(CancelledBy::User);
        } else if (kind == "resumed") {
            s.resumed = true;
        } else {
            ++s.unreadLines;
        }
    }
    return s;
}

} // namespace tess::journal
