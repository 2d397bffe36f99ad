// Families of verbs registered apart from commands.h: the catalogues (measures, variables) and
// the report verbs that write definitions.
#pragma once

#include "commands.h"

namespace vx::cli {

void RegisterCatalogueCommands(CLI::App& app, Context& context, CommandResult& result);
// report add, set, show and delete, on the "report" verb.
void RegisterReportEditCommands(CLI::App& verb, Context& context, CommandResult& result);

}  // namespace vx::cli
