// Every writing verb runs as one whole cycle on its experiment: open through a working copy
// (asking about a copy a crash left behind), write, save back, close. A script sees its change
// in the file when the command returns, and a crash never touches the experiment file itself.
// Reading verbs read the file itself and never wait for a recovery question.
#pragma once

#include <string>

#include "document/experiment_document.h"

namespace CLI {
class App;
}

namespace vx::cli {

struct Context;
struct CommandResult;

// Runs the verb chosen on app, inside the cycle when it writes to an existing experiment.
int RunChosenVerb(CLI::App& app, Context& context, CommandResult& result);

// The exit status for a document that could not be opened (the reason was printed): 3 for a
// question nobody could answer, 1 otherwise.
int OpenFailureStatus(Context& context, DocumentResult result);

}  // namespace vx::cli
