// Saying in words what a setup exception means, and where it happened.
#pragma once

#include "sys/my_exception.h"

#include <memory>
#include <string>

class CLocatedPackage;

// "phase 3 (file section), cause 5 (decompression failed): <problem> at user.002 offset 77
// (stream offset 1234)". pPackage maps stream offsets to volumes; null for other files.
std::string DescribeSetupException(const CSetupException& e, const CLocatedPackage* pPackage);

// Deletes e and throws CToolError with its description, prefixed by strContext (the file
// being read, when there is one).
[[noreturn]] void ThrowDescribed(CSetupException* e, const CLocatedPackage* pPackage, const std::string& strContext);

// Finds the package named on the command line; a damaged header or volume becomes a
// CToolError that says what is wrong.
std::unique_ptr<CLocatedPackage> LocatePackage(const std::string& strPackage);
