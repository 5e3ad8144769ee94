// The dry run and its warnings, as a readable table or one JSON document.
#pragma once

#include <string>
#include <vector>

#include "DryRun.h"
#include "Lint.h"

std::string TextReport(const DryRun& run, const std::vector<LintWarning>& warnings);
std::string JsonReport(const DryRun& run, const std::vector<LintWarning>& warnings);
