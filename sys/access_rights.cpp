#include "sys/access_rights.h"

#include "framework/handle.h"
#include "framework/reg_key.h"

#include <vector>

namespace {
// Owner, group and discretionary access list: what the access check reads.
constexpr SECURITY_INFORMATION kDescriptorParts =
    OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;

// A self-relative security descriptor in a zero-filled buffer of its own.
class CDescriptorBuffer {
public:
    explicit CDescriptorBuffer(DWORD nSize) : m_bytes(nSize, 0) {}
    PSECURITY_DESCRIPTOR Get() { return m_bytes.data(); }
    DWORD Size() const { return static_cast<DWORD>(m_bytes.size()); }

private:
    std::vector<BYTE> m_bytes;
};

// Runs the thread as the process's own user at impersonation level: AccessCheck wants an
// impersonation token, which a process's primary token is not.
class CSelfImpersonation {
public:
    CSelfImpersonation() { ImpersonateSelf(SecurityImpersonation); }
    CSelfImpersonation(const CSelfImpersonation&) = delete;
    CSelfImpersonation& operator=(const CSelfImpersonation&) = delete;
    ~CSelfImpersonation() { RevertToSelf(); }
};
} // namespace

const GENERIC_MAPPING CAccessRights::s_keyMapping = {KEY_READ, KEY_WRITE, KEY_EXECUTE, KEY_ALL_ACCESS};
const GENERIC_MAPPING CAccessRights::s_fileMapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                                                      FILE_ALL_ACCESS};

BOOL CAccessRights::GetFileRights(const char* pszPath, DWORD* pnGranted) const
{
    if (pszPath == nullptr || pnGranted == nullptr)
        return FALSE;
    DWORD nSize = 0;
    GetFileSecurityA(pszPath, kDescriptorParts, nullptr, 0, &nSize);
    if (nSize == 0)
        return FALSE;
    CDescriptorBuffer descriptor(nSize);
    if (!GetFileSecurityA(pszPath, kDescriptorParts, descriptor.Get(), descriptor.Size(), &nSize))
        return FALSE;
    return GetGrantedRights(descriptor.Get(), &s_fileMapping, pnGranted);
}

BOOL CAccessRights::GetKeyRights(HKEY hRoot, const char* pszSubKey, DWORD* pnGranted) const
{
    if (pszSubKey == nullptr || pnGranted == nullptr)
        return FALSE;
    CRegKey key;
    if (key.Open(hRoot, pszSubKey, KEY_READ) != ERROR_SUCCESS)
        return FALSE;
    DWORD nSize = 0;
    RegGetKeySecurity(key.Get(), kDescriptorParts, nullptr, &nSize);
    if (nSize == 0)
        return FALSE;
    CDescriptorBuffer descriptor(nSize);
    const LONG nRead = RegGetKeySecurity(key.Get(), kDescriptorParts, descriptor.Get(), &nSize);
    key.Close();
    if (nRead != ERROR_SUCCESS)
        return FALSE;
    return GetGrantedRights(descriptor.Get(), &s_keyMapping, pnGranted);
}

BOOL CAccessRights::GetGrantedRights(PSECURITY_DESCRIPTOR pDescriptor, const GENERIC_MAPPING* pMapping, DWORD* pnGranted)
{
    if (pDescriptor == nullptr || pMapping == nullptr || pnGranted == nullptr)
        return FALSE;
    CSelfImpersonation impersonation;
    HANDLE hToken = nullptr;
    if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, FALSE, &hToken) &&
        !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &hToken))
        return FALSE;
    const CHandle token(hToken);

    GENERIC_MAPPING mapping = *pMapping;
    DWORD nDesired = MAXIMUM_ALLOWED;
    MapGenericMask(&nDesired, &mapping);
    // Room for a privilege set with no privileges in it: none is asked for.
    BYTE privileges[20] = {};
    DWORD nPrivilegesSize = sizeof privileges;
    BOOL bStatus = FALSE;
    // The check's own verdict (bStatus) is not wanted: the caller compares the granted
    // mask with the rights it needs.
    return AccessCheck(pDescriptor, token.Get(), nDesired, &mapping, reinterpret_cast<PPRIVILEGE_SET>(privileges),
                       &nPrivilegesSize, pnGranted, &bStatus);
}
