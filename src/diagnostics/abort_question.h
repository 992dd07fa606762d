// The question before edits are discarded.
#pragma once

namespace diagnostics {

// Asks "Cancel edits?" (silent: answers yes without asking, logging the question to the
// service-pack log). A confirmed cancel is written to the error log. True when confirmed.
bool ConfirmCancel();

}
