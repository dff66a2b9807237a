#pragma once

#include "app/common/Ui.h"
#include "domain/comm/SerialLink.h"
#include "domain/common/Message.h"
#include "domain/grid/DataSetCheck.h"

#include <string>
#include <vector>

namespace tess {
struct Document;
struct Workspace;
} // namespace tess

namespace tess::datafile {

// The values of the document that their table rows would not take
// (checkDataSet); none for a data set shown without its table.
std::vector<ValueFailure> checkDocumentValues(const Document& doc);

// What is said of them: the file, how many, and a line for each, at most
// `listed` of them (the rest counted).
Message valueFailuresNotice(const std::string& path, const std::vector<ValueFailure>& failures, std::size_t listed);

// The failures among the words of `ranges` (word k is slot k): what a
// write of those ranges would send. A changed-only write sends fewer, never
// more, so these are all it could send that its rows would not take.
std::vector<ValueFailure> wordsNotAllowed(const Document& doc, const std::vector<comm::WordSpan>& ranges);

// "3 words to be sent are not what their table rows allow:" and a line for each.
Message wordsToSendList(const std::vector<ValueFailure>& failures);

// Before a write of `ranges`: when any word fails its row, the user is told
// which and asked whether to send them anyway. True when the write may go
// on: nothing fails, or the user said Yes.
bool confirmWordsToSend(const Workspace& ws, Ui& ui, const std::vector<comm::WordSpan>& ranges);

} // namespace tess::datafile
