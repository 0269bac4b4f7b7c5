// DescribeSetupException: the phase and cause by their message numbers, the reader's own
// account of the problem, and the volume and offset.
#include "tools/spdtool/failure_text.h"

#include "format/package_exception.h"
#include "tools/spdtool/package_location.h"
#include "tools/spdtool/tool_error.h"

namespace {

const char* PhaseText(unsigned nMessage)
{
    switch (nMessage) {
    case 60: return "phase 1 (setup header, volumes and package stream)";
    case 160: return "phase 2 (directory table)";
    case 63: return "phase 3 (file section)";
    case 205: return "phase 4 (uninstaller)";
    default: return "unknown phase";
    }
}

const char* CauseText(unsigned nMessage)
{
    switch (nMessage) {
    case 24: return "cause 2 (general file error)";
    case 33: return "cause 3 (damaged setup file)";
    case 51: return "cause 4 (not enough memory)";
    case 66: return "cause 5 (decompression failed)";
    default: return "other cause";
    }
}

} // namespace

std::string DescribeSetupException(const CSetupException& e, const CLocatedPackage* pPackage)
{
    std::string strText = std::string(PhaseText(e.m_nPhaseMessage)) + ", " + CauseText(e.m_nCauseMessage);
    const auto* pDetail = dynamic_cast<const CPackageException*>(&e);
    if (pDetail == nullptr)
        return strText;
    strText += ": " + pDetail->m_strProblem;
    if (pDetail->m_nOffset != kNoOffset) {
        if (pPackage != nullptr && pDetail->m_nPhase != PHASE_FINISHING)
            strText += " at " + pPackage->DescribeOffset(pDetail->m_nOffset);
        else
            strText += " at offset " + std::to_string(pDetail->m_nOffset);
    }
    return strText;
}

void ThrowDescribed(CSetupException* e, const CLocatedPackage* pPackage, const std::string& strContext)
{
    std::string strText = DescribeSetupException(*e, pPackage);
    e->Delete();
    throw CToolError("damaged package: " + (strContext.empty() ? "" : strContext + ": ") + strText);
}

std::unique_ptr<CLocatedPackage> LocatePackage(const std::string& strPackage)
{
    try {
        return std::make_unique<CLocatedPackage>(strPackage);
    } catch (CSetupException* e) {
        ThrowDescribed(e, nullptr, strPackage);
    }
}
