// Access rights: SIDs, single-entry lists, the administrator test, privileges, Users grants.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "support/handles.h"
#include "support/security.h"
#include "tests/common/scratch_folder.h"

namespace {

std::wstring SidText(PSID sid) {
    LPWSTR text = nullptr;
    if (!::ConvertSidToStringSidW(sid, &text)) return L"?";
    const cv::unique_local owner(text);
    return text;
}

TEST(Security, Win32ErrorsAsHresults) {
    EXPECT_EQ(cv::hresult_from_win32(0), 0);
    EXPECT_EQ(cv::hresult_from_win32(ERROR_ACCESS_DENIED), static_cast<long>(0x80070005));
    EXPECT_EQ(cv::hresult_from_win32(0x12345), static_cast<long>(0x80072345));
    EXPECT_EQ(cv::hresult_from_win32(static_cast<DWORD>(E_FAIL)), E_FAIL);
}

TEST(Security, LateBoundFunctions) {
    EXPECT_EQ(reinterpret_cast<void*>(cv::advapi_function("GetLengthSid")),
              reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"advapi32.dll"), "GetLengthSid")));
    try {
        cv::advapi_function("CvNoSuchFunction");
        FAIL() << "no exception";
    } catch (long error) {
        EXPECT_EQ(error, E_NOTIMPL);
    }
}

TEST(Security, WellKnownSids) {
    EXPECT_EQ(SidText(cv::sid(cv::well_known_sid::everyone).get()), L"S-1-1-0");
    EXPECT_EQ(SidText(cv::sid(cv::well_known_sid::administrators).get()), L"S-1-5-32-544");
    EXPECT_EQ(SidText(cv::sid(cv::well_known_sid::users).get()), L"S-1-5-32-545");
    EXPECT_EQ(SidText(cv::sid(cv::well_known_sid::authenticated_users).get()), L"S-1-5-11");
    cv::sid moved(cv::well_known_sid::users);
    cv::sid target(std::move(moved));
    EXPECT_EQ(moved.get(), nullptr);
    EXPECT_EQ(SidText(target.get()), L"S-1-5-32-545");
}

TEST(Security, SingleEntryListForEveryone) {
    cv::single_ace_acl list(cv::well_known_sid::everyone, MUTEX_ALL_ACCESS);
    ASSERT_TRUE(::IsValidAcl(list.get()));
    EXPECT_EQ(list.get()->AceCount, 1);
    EXPECT_EQ(list.get()->AclRevision, ACL_REVISION);
    void* entry = nullptr;
    ASSERT_TRUE(::GetAce(list.get(), 0, &entry));
    const auto* ace = static_cast<ACCESS_ALLOWED_ACE*>(entry);
    EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
    EXPECT_EQ(ace->Mask, DWORD(MUTEX_ALL_ACCESS));
    EXPECT_EQ(SidText(const_cast<DWORD*>(&ace->SidStart)), L"S-1-1-0");

    cv::security_descriptor descriptor;
    ASSERT_TRUE(::SetSecurityDescriptorDacl(descriptor.get(), TRUE, list.get(), FALSE));
    EXPECT_TRUE(::IsValidSecurityDescriptor(descriptor.get()));
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor.get(), FALSE};
    const cv::unique_handle mutex(::CreateMutexW(&attributes, FALSE, nullptr));
    EXPECT_TRUE(mutex);
}

TEST(Security, AdministratorTestFollowsTokenMembership) {
    cv::sid administrators(cv::well_known_sid::administrators);
    BOOL member = FALSE;
    ASSERT_TRUE(::CheckTokenMembership(nullptr, administrators.get(), &member));
    EXPECT_EQ(cv::is_user_admin(), member != FALSE);
    // Wine's user is an administrator.
    EXPECT_TRUE(cv::is_user_admin());
}

TEST(Security, AdministratorTestAsksTheEffectiveToken) {
    cv::unique_handle process;
    ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_ALL_ACCESS, process.put()));
    cv::sid administrators(cv::well_known_sid::administrators);
    SID_AND_ATTRIBUTES disabled = {administrators.get(), 0};
    cv::unique_handle restricted;
    if (!::CreateRestrictedToken(process.get(), 0, 1, &disabled, 0, nullptr, 0, nullptr, restricted.put())) {
        GTEST_SKIP() << "no restricted token";
    }
    cv::unique_handle impersonation;
    ASSERT_TRUE(::DuplicateToken(restricted.get(), SecurityImpersonation, impersonation.put()));
    ASSERT_TRUE(::SetThreadToken(nullptr, impersonation.get()));
    const bool restrictedAnswer = cv::is_user_admin();
    ::RevertToSelf();
    EXPECT_FALSE(restrictedAnswer);
    EXPECT_TRUE(cv::is_user_admin());
}

DWORD PrivilegeAttributes(const wchar_t* name) {
    cv::unique_handle token;
    LUID luid = {};
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put()) ||
        !::LookupPrivilegeValueW(nullptr, name, &luid)) {
        return MAXDWORD;
    }
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenPrivileges, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (!::GetTokenInformation(token.get(), TokenPrivileges, buffer.data(), size, &size)) return MAXDWORD;
    const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
        const LUID& held = privileges->Privileges[i].Luid;
        if (held.LowPart == luid.LowPart && held.HighPart == luid.HighPart) return privileges->Privileges[i].Attributes;
    }
    return MAXDWORD;
}

TEST(Security, PrivilegeSwitchedOnAndOff) {
    ASSERT_NE(PrivilegeAttributes(SE_BACKUP_NAME), MAXDWORD) << "the token does not hold the privilege";
    EXPECT_TRUE(cv::set_privilege(SE_BACKUP_NAME, true));
    EXPECT_TRUE(PrivilegeAttributes(SE_BACKUP_NAME) & SE_PRIVILEGE_ENABLED);
    EXPECT_TRUE(cv::set_privilege(SE_BACKUP_NAME, false));
    EXPECT_FALSE(PrivilegeAttributes(SE_BACKUP_NAME) & SE_PRIVILEGE_ENABLED);
}

// A privilege that the process token does not hold: one it lacks, else one removed from it.
const wchar_t* PrivilegeNotHeld() {
    static const wchar_t* const names[] = {SE_CREATE_TOKEN_NAME, SE_ASSIGNPRIMARYTOKEN_NAME, SE_LOCK_MEMORY_NAME,
                                           SE_MACHINE_ACCOUNT_NAME, SE_TCB_NAME, SE_AUDIT_NAME,
                                           SE_SYNC_AGENT_NAME, SE_ENABLE_DELEGATION_NAME, SE_RELABEL_NAME,
                                           SE_TRUSTED_CREDMAN_ACCESS_NAME, SE_CREATE_SYMBOLIC_LINK_NAME};
    for (const wchar_t* name : names) {
        if (PrivilegeAttributes(name) == MAXDWORD) return name;
    }
    cv::unique_handle token;
    TOKEN_PRIVILEGES removal = {1, {{{0, 0}, SE_PRIVILEGE_REMOVED}}};
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put()) &&
        ::LookupPrivilegeValueW(nullptr, SE_TCB_NAME, &removal.Privileges[0].Luid) &&
        ::AdjustTokenPrivileges(token.get(), FALSE, &removal, 0, nullptr, nullptr) &&
        PrivilegeAttributes(SE_TCB_NAME) == MAXDWORD) {
        return SE_TCB_NAME;
    }
    return nullptr;
}

TEST(Security, PrivilegeNotHeldOrUnknownFails) {
    EXPECT_FALSE(cv::set_privilege(L"CvNoSuchPrivilege", true));
    const wchar_t* name = PrivilegeNotHeld();
    if (!name) GTEST_SKIP() << "Wine's token holds every privilege and cannot have one removed";
    EXPECT_FALSE(cv::set_privilege(name, true));
    EXPECT_EQ(PrivilegeAttributes(name), MAXDWORD);
}

// An entry of an access list as the tests describe it.
struct Entry {
    std::wstring sid;
    DWORD mask;
    BYTE flags;
    bool operator==(const Entry&) const = default;
};

void PrintTo(const Entry& e, std::ostream* out) {
    *out << std::string(e.sid.begin(), e.sid.end()) << "/" << std::hex << e.mask << "/" << int(e.flags);
}

constexpr const wchar_t* Users = L"S-1-5-32-545";
constexpr const wchar_t* Admins = L"S-1-5-32-544";
constexpr const wchar_t* Everyone = L"S-1-1-0";
constexpr BYTE Inherit = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
constexpr BYTE Inherited = INHERITED_ACE | Inherit;

// An absolute descriptor holding exactly the given entries and control bits.
class Descriptor {
public:
    Descriptor(const std::vector<Entry>& entries, SECURITY_DESCRIPTOR_CONTROL bits, bool nullList = false) {
        const auto acl = reinterpret_cast<PACL>(list_.data());
        ::InitializeAcl(acl, static_cast<DWORD>(list_.size()), ACL_REVISION);
        for (const Entry& e : entries) {
            PSID sid = nullptr;
            ::ConvertStringSidToSidW(e.sid.c_str(), &sid);
            const cv::unique_local owner(sid);
            ::AddAccessAllowedAceEx(acl, ACL_REVISION, e.flags, e.mask, sid);
        }
        ::InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION);
        ::SetSecurityDescriptorDacl(&descriptor_, TRUE, nullList ? nullptr : acl, FALSE);
        if (bits) ::SetSecurityDescriptorControl(&descriptor_, bits, bits);
    }
    PSECURITY_DESCRIPTOR get() { return &descriptor_; }

private:
    std::vector<BYTE> list_ = std::vector<BYTE>(1024);
    SECURITY_DESCRIPTOR descriptor_ = {};
};

std::vector<Entry> EntriesOf(PSECURITY_DESCRIPTOR descriptor) {
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = nullptr;
    std::vector<Entry> entries;
    ::GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted);
    for (DWORD i = 0; present && acl && i < acl->AceCount; ++i) {
        void* raw = nullptr;
        ::GetAce(acl, i, &raw);
        const auto* ace = static_cast<ACCESS_ALLOWED_ACE*>(raw);
        entries.push_back({SidText(const_cast<DWORD*>(&ace->SidStart)), ace->Mask, ace->Header.AceFlags});
    }
    return entries;
}

SECURITY_DESCRIPTOR_CONTROL ControlOf(PSECURITY_DESCRIPTOR descriptor) {
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ::GetSecurityDescriptorControl(descriptor, &control, &revision);
    return control & (SE_DACL_AUTO_INHERIT_REQ | SE_DACL_AUTO_INHERITED | SE_DACL_PROTECTED);
}

struct GrantCase {
    const char* name;
    std::vector<Entry> before;
    SECURITY_DESCRIPTOR_CONTROL beforeBits;
    DWORD mask;
    BYTE flags;
    std::vector<Entry> after;
    SECURITY_DESCRIPTOR_CONTROL afterBits;
};

void PrintTo(const GrantCase& c, std::ostream* out) { *out << c.name; }

const GrantCase grantCases[] = {
    {"EmptyList", {}, 0, FILE_ALL_ACCESS, Inherit, {{Users, FILE_ALL_ACCESS, Inherit}}, 0},
    {"UsersEntryReplaced",
     {{Everyone, GENERIC_READ, 0}, {Users, FILE_ALL_ACCESS, Inherit}},
     0,
     0x0013019F,
     0,
     {{Everyone, GENERIC_READ, 0}, {Users, 0x0013019F, 0}},
     0},
    {"NewEntryBeforeTheInheritedOnes",
     {{Everyone, FILE_GENERIC_READ, 0},
      {Users, FILE_GENERIC_READ, 0},
      {Admins, FILE_ALL_ACCESS, Inherited},
      {Users, FILE_GENERIC_READ, Inherited},
      {Everyone, FILE_GENERIC_EXECUTE, Inherited}},
     SE_DACL_AUTO_INHERITED,
     FILE_ALL_ACCESS,
     Inherit,
     {{Everyone, FILE_GENERIC_READ, 0},
      {Users, FILE_ALL_ACCESS, Inherit},
      {Admins, FILE_ALL_ACCESS, Inherited},
      {Everyone, FILE_GENERIC_EXECUTE, Inherited}},
     SE_DACL_AUTO_INHERIT_REQ | SE_DACL_AUTO_INHERITED},
    {"ProtectedStaysProtected",
     {{Admins, FILE_ALL_ACCESS, Inherit}},
     SE_DACL_PROTECTED,
     FILE_ALL_ACCESS,
     Inherit,
     {{Admins, FILE_ALL_ACCESS, Inherit}, {Users, FILE_ALL_ACCESS, Inherit}},
     SE_DACL_PROTECTED},
    {"AutoInheritWinsOverProtection",
     {{Admins, FILE_ALL_ACCESS, Inherited}},
     SE_DACL_AUTO_INHERITED | SE_DACL_PROTECTED,
     FILE_ALL_ACCESS,
     0,
     {{Users, FILE_ALL_ACCESS, 0}, {Admins, FILE_ALL_ACCESS, Inherited}},
     SE_DACL_AUTO_INHERIT_REQ | SE_DACL_AUTO_INHERITED},
};

class GrantComposition : public ::testing::TestWithParam<GrantCase> {};

TEST_P(GrantComposition, NewDescriptor) {
    const GrantCase& c = GetParam();
    Descriptor old(c.before, c.beforeBits);
    cv::users_access_descriptor result(old.get(), c.mask, c.flags);
    EXPECT_TRUE(::IsValidSecurityDescriptor(result.get()));
    EXPECT_EQ(EntriesOf(result.get()), c.after);
    EXPECT_EQ(ControlOf(result.get()), c.afterBits);
}

INSTANTIATE_TEST_SUITE_P(Security, GrantComposition, ::testing::ValuesIn(grantCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Security, GrantOnANullListGivesTheUsersEntryAlone) {
    Descriptor old({}, 0, true);
    cv::users_access_descriptor result(old.get(), FILE_ALL_ACCESS, Inherit);
    EXPECT_EQ(EntriesOf(result.get()), (std::vector<Entry>{{Users, FILE_ALL_ACCESS, Inherit}}));
}

class GrantOnFile : public ::testing::Test {
protected:
    test::ScratchFolder scratch;
    std::wstring folder = scratch.Folder(L"shared");

    std::vector<BYTE> Stored() const {
        DWORD needed = 0;
        ::GetFileSecurityW(folder.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
        std::vector<BYTE> buffer(needed);
        if (!::GetFileSecurityW(folder.c_str(), DACL_SECURITY_INFORMATION, buffer.data(), needed, &needed)) {
            buffer.clear();
        }
        return buffer;
    }
    // Whether the folder keeps a list that is written to it.
    bool Keeps(Descriptor& descriptor) {
        if (!::SetFileSecurityW(folder.c_str(), DACL_SECURITY_INFORMATION, descriptor.get())) return false;
        std::vector<BYTE> stored = Stored();
        return !stored.empty() && EntriesOf(stored.data()) == EntriesOf(descriptor.get());
    }
};

TEST_F(GrantOnFile, TwiceLeavesOneUsersEntryOfTheSecondCall) {
    Descriptor initial({{Everyone, GENERIC_READ, 0}, {Admins, FILE_ALL_ACCESS, Inherited}}, SE_DACL_AUTO_INHERITED);
    if (!Keeps(initial)) {
        GTEST_SKIP() << "Wine keeps no access lists on this file system: it answers every read with a list "
                        "made from the Unix permissions";
    }
    EXPECT_TRUE(cv::grant_users_access(folder.c_str(), FILE_ALL_ACCESS, Inherit));
    EXPECT_TRUE(cv::grant_users_access(folder.c_str(), 0x0013019F, 0));
    std::vector<BYTE> stored = Stored();
    ASSERT_FALSE(stored.empty());
    EXPECT_EQ(EntriesOf(stored.data()), (std::vector<Entry>{{Everyone, GENERIC_READ, 0},
                                                            {Users, 0x0013019F, 0},
                                                            {Admins, FILE_ALL_ACCESS, Inherited}}));
}

TEST_F(GrantOnFile, MissingPathRaisesItsError) {
    try {
        cv::grant_users_access((scratch / L"missing").c_str(), FILE_ALL_ACCESS, 0);
        FAIL() << "no exception";
    } catch (long error) {
        EXPECT_EQ(error, cv::hresult_from_win32(ERROR_FILE_NOT_FOUND));
    }
}

}  // namespace
