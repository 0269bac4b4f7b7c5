// Opens a web address: through the shell, and where the shell fails, through the command
// line registered for web pages (".htm").
#pragma once

#include <windows.h>

#include <string>

class CLinkOpener {
public:
    // hClassesRoot is where the web-page handler is looked up: HKEY_CLASSES_ROOT, or a key
    // laid out the same way.
    explicit CLinkOpener(HKEY hClassesRoot = HKEY_CLASSES_ROOT) : m_hClassesRoot(hClassesRoot) {}
    CLinkOpener(const CLinkOpener&) = delete;
    CLinkOpener& operator=(const CLinkOpener&) = delete;
    virtual ~CLinkOpener() = default;

    // Opens strAddress with show command nShowCmd. The result is the shell's or the
    // handler's, greater than 32 for success: the shell's when no handler can be read,
    // the handler's start otherwise.
    int Open(const std::string& strAddress, int nShowCmd);

    // The handler's command line for the address: strCommand cut where its "%1" (quoted
    // or not) begins, then a blank and the address. False when it would not fit in the
    // 520 bytes the command line is allowed.
    static bool BuildCommandLine(const std::string& strCommand, const std::string& strAddress, std::string& strCommandLine);

    // The English description of a result that is not a success, as the link reports it.
    static std::string DescribeResult(int nResult);

protected:
    // The two ways of starting something; ShellExecuteA and WinExec.
    virtual int ShellOpen(const std::string& strAddress, int nShowCmd);
    virtual int RunCommandLine(const std::string& strCommandLine, int nShowCmd);

private:
    // The default value of key strSubKey below the classes root, at most 260 bytes.
    bool ReadDefault(const std::string& strSubKey, std::string& strValue) const;

    HKEY m_hClassesRoot;
};
