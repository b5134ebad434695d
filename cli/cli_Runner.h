#pragma once
// Checking and running one algorithm with the algorithm component, as the workbench does:
// the check on this thread, the run on the component's worker, events printed as they come.

#include <string>

#include "cli_Options.h"
#include "vlm_Value.h"

enum TCliExit { ceOk = 0, ceError = 1, ceUsage = 2, ceEndedEarly = 3 };

// `lines` are the algorithm's lines in core text; `fileName` is how the file is named in
// messages. Returns the exit status.
int CheckOrRunAlgorithm(const TCliOptions &options, const std::string &fileName, const TArrayOfString &lines);
