#pragma once

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

// Runs as the ordinary user `nobody` while it lives, when started as root:
// root may create files in any folder. Others stay who they are.
class OrdinaryUser
{
public:
    OrdinaryUser()
    {
        if (geteuid() != 0)
            return;
        const passwd *nobody = getpwnam("nobody");
        m_switched = nobody && setgroups(0, nullptr) == 0 && setresgid(nobody->pw_gid, nobody->pw_gid, 0) == 0
                     && setresuid(nobody->pw_uid, nobody->pw_uid, 0) == 0;
    }
    ~OrdinaryUser()
    {
        if (m_switched) {
            setresuid(0, 0, 0);
            setresgid(0, 0, 0);
        }
    }
    bool ordinary() const { return geteuid() != 0; }
    // The user that the test's files must belong to.
    static uid_t uid()
    {
        const passwd *nobody = getpwnam("nobody");
        return geteuid() == 0 && nobody ? nobody->pw_uid : geteuid();
    }

private:
    bool m_switched = false;
};
