// Script files for zreport's script subcommands.
#pragma once

#include <string>

namespace zreport {

// The UTF-8 file's text in its Windows-1254 form, the one the script engine
// works on: one byte per character, so columns in messages count characters.
std::string ReadScriptFile(const std::string& path);

}  // namespace zreport
