// Access rights and privileges: the administrator test, privilege switching, access lists.
// Failures of the access-list services are thrown as the HRESULT, a long.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

namespace cv {

enum class well_known_sid { everyone = 0, administrators = 1, users = 2, authenticated_users = 3 };

// Owns one SID built from a well-known trustee.
class sid {
public:
    explicit sid(well_known_sid trustee);
    sid(sid&& other) noexcept;
    sid& operator=(sid&& other) noexcept;
    sid(const sid&) = delete;
    sid& operator=(const sid&) = delete;
    ~sid();
    PSID get() const noexcept { return sid_; }

private:
    PSID sid_ = nullptr;
};

// An access list with a single access-allowed entry for trustee.
class single_ace_acl {
public:
    single_ace_acl(well_known_sid trustee, DWORD mask);
    PACL get() noexcept { return reinterpret_cast<PACL>(buffer_.data()); }

private:
    std::vector<BYTE> buffer_;
};

// A zero-filled absolute security descriptor; the list it points to belongs to the caller.
class security_descriptor {
public:
    security_descriptor();
    PSECURITY_DESCRIPTOR get() noexcept { return &descriptor_; }

private:
    SECURITY_DESCRIPTOR descriptor_{};
};

// The descriptor that grant_users_access writes for a file whose descriptor was old: the
// Users entries of old left out, the new entry after the explicit entries and before the
// inherited ones, automatic inheritance or protection carried over.
class users_access_descriptor {
public:
    users_access_descriptor(PSECURITY_DESCRIPTOR old, DWORD mask, BYTE aceFlags);
    users_access_descriptor(const users_access_descriptor&) = delete;
    users_access_descriptor& operator=(const users_access_descriptor&) = delete;
    PSECURITY_DESCRIPTOR get() noexcept { return descriptor_.get(); }

private:
    std::vector<BYTE> list_;
    security_descriptor descriptor_;
};

// The HRESULT of a Win32 error code: 0 and negative values stay, others become 0x8007xxxx.
long hresult_from_win32(DWORD error) noexcept;

// An advapi32 function by name, bound on first use; E_UNEXPECTED without the module,
// E_NOTIMPL without the export.
FARPROC advapi_function(const char* name);

// Whether the effective token is a member of the local Administrators group; never throws.
bool is_user_admin() noexcept;

// Switches a privilege of the process token on or off; false on any failure, including a
// privilege that the token does not hold.
bool set_privilege(const wchar_t* name, bool enable) noexcept;

// Gives the local Users group mask with aceFlags on path, replacing the entries Users had;
// the new entry stands after the explicit entries and before the inherited ones.
bool grant_users_access(const wchar_t* path, DWORD mask, BYTE aceFlags);

}  // namespace cv
