#pragma once

#include <string>
#include <vector>

#include "files/CopyPlan.h"

namespace koral {

// Why one entry was not copied, in French ("fichier introuvable", ...).
std::string DescribeCopyFailure(const CopyFailure& failure);

// The message listing what a finished copy left out; empty when nothing was.
std::string FormatCopyReport(const std::vector<CopyFailure>& failures, bool stoppedOnFullPlayer);

// The message listing what is refused before the copy starts; empty when nothing is.
std::string FormatRefusedReport(const std::vector<CopyFailure>& refused);

}  // namespace koral
