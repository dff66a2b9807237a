#include "app/comm/InterruptedWrite.h"

#include "app/comm/SerialTransferPresenter.h"
#include "app/comm/TransferHistory.h"
#include "app/comm/TransferRecorder.h"
#include "app/common/Ui.h"
#include "app/common/Workspace.h"
#include "domain/common/FileIo.h"
#include "domain/common/Identity.h"
#include "domain/common/Sha256.h"
#include "domain/journal/TransferJournal.h"
#include "domain/settings/UserStore.h"
#include "domain/text/Texts.h"

#include <algorithm>

namespace tess::comm {
namespace {

// The journal of the last interrupted write the user declined (or that
// could not be offered): one is enough, since only the newest is offered.
constexpr std::string_view DeclinedResumeKey = "DeclinedResumeJournal";

int areaIndexOr(const std::string& name, int fallback)
{
    const auto area = std::find(dataAreaNames.begin(), dataAreaNames.end(), name);
    return area == dataAreaNames.end() ? fallback : static_cast<int>(area - dataAreaNames.begin());
}

} // namespace

std::optional<ResumePlan> offerInterruptedWrite(const Workspace& ws, Ui& ui, UserStore& store)
{
    if (ws.settings.journalFolder.empty())
        return std::nullopt;
    // Any port, any drive: the window does not know yet which one is on the line.
    const std::optional<HistoryEntry> found = interruptedWrite(ws.settings.journalFolder, ResumeTarget {});
    if (!found || store.readString(DeclinedResumeKey) == found->path)
        return std::nullopt;
    const journal::JournalHeader& h = found->summary.header;
    const Language language = ws.settings.language;

    std::string bytes;
    if (!readFileBytes(h.dataFile, bytes) || sha256Hex(bytes) != h.dataFileSha256) {
        ui.showMessage(message(TextId::ResumeFileChanged, h.dataFile), language);
        store.writeString(DeclinedResumeKey, found->path);
        return std::nullopt;
    }
    if (ui.ask(resumeQuestion(found->summary), message(TextId::SavePromptCaption), Buttons::YesNo, language)
        != Answer::Yes) {
        store.writeString(DeclinedResumeKey, found->path);
        return std::nullopt;
    }
    ResumePlan plan;
    plan.journalPath = found->path;
    plan.dataFile = h.dataFile;
    plan.port = h.port.empty() ? h.device : h.port;
    plan.startArea = areaIndexOr(h.fromArea, AreaFund);
    plan.endArea = areaIndexOr(h.toArea, AreaP);
    plan.permitWrite = h.permitWrite;
    plan.verify = h.verify;
    return plan;
}

bool markWriteResumed(const ResumePlan& plan, int writeResult, const std::string& by)
{
    if (writeResult != 0 && writeResult != WriteWordsRefused)
        return false;
    return journal::TransferJournal::markResumed(plan.journalPath, by, journalTimesNow().utc);
}

} // namespace tess::comm
