// Command-line text by the Windows rules: the tail an application is given,
// and the C runtime's split into arguments with its inverse.
#pragma once

#include <string>
#include <vector>

// The command line less the program name and the bytes of value 1 to 32 that
// follow it. A name that begins with a double quote runs up to and including
// the next double quote; any other name up to the first byte of value 32 or
// less. The rest, trailing blanks included, is returned unchanged.
const char* CommandLineTail(const char* commandLine);

// The arguments the Microsoft C runtime builds from a parameter text (no
// program name in front): blanks and tabs separate, double quotes group,
// 2n backslashes before a quote give n and the quote is special, 2n+1 give n
// and a literal quote, a doubled quote inside quotes gives one quote.
std::vector<std::string> SplitCommandLine(const std::string& parameters);

// A parameter text that SplitCommandLine turns back into exactly `arguments`.
std::string JoinCommandLine(const std::vector<std::string>& arguments);
