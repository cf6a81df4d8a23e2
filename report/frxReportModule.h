// The report module of the script library: the report's constants,
// enumerations and sets, every report class with its published properties
// and the members it adds, and the date and aggregate functions. It takes
// its place (the fifth) in the library's module list when installed.
#pragma once

#include "script/fs_ilibrary.h"

namespace zentavo {

void RegisterReportModule(TfsLibraryTarget& target);
// Adds the module to the library's list, once.
void InstallReportModule();

}  // namespace zentavo
