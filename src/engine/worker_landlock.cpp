#include "engine/worker_landlock.h"

#include "common/unique_fd.h"

#include <fcntl.h>
#include <linux/landlock.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>

namespace worker_confinement {

namespace {

// Rights and scopes of ABIs newer than the kernel headers this may be built with.
constexpr std::uint64_t FsTruncate = 1ULL << 14;             // ABI 3
constexpr std::uint64_t FsIoctlDev = 1ULL << 15;             // ABI 5
constexpr std::uint64_t NetBindTcp = 1ULL << 0;              // ABI 4
constexpr std::uint64_t NetConnectTcp = 1ULL << 1;           // ABI 4
constexpr std::uint64_t ScopeAbstractUnixSocket = 1ULL << 0; // ABI 6
constexpr std::uint64_t ScopeSignal = 1ULL << 1;             // ABI 6

// landlock_ruleset_attr as of ABI 6: an older kernel takes it as long as the fields it does
// not know are zero.
struct RulesetAttributes
{
    std::uint64_t handledFs = 0;
    std::uint64_t handledNet = 0;
    std::uint64_t scoped = 0;
};

// Every file-system right the ABI knows: what no rule grants is denied.
std::uint64_t fsRights(int abi)
{
    std::uint64_t rights = (LANDLOCK_ACCESS_FS_MAKE_SYM << 1) - 1;
    if (abi >= 2)
        rights |= LANDLOCK_ACCESS_FS_REFER;
    if (abi >= 3)
        rights |= FsTruncate;
    if (abi >= 5)
        rights |= FsIoctlDev;
    return rights;
}

RulesetAttributes handledBy(int abi)
{
    RulesetAttributes handled;
    handled.handledFs = fsRights(abi);
    if (abi >= 4)
        handled.handledNet = NetBindTcp | NetConnectTcp;
    if (abi >= 6)
        handled.scoped = ScopeAbstractUnixSocket | ScopeSignal;
    return handled;
}

// Grants the rights on the file or folder (and what is beneath it). A path that cannot be
// opened gets none: the engine fails on it with the reason a user can act on.
void allow(const UniqueFd &ruleset, const std::string &path, std::uint64_t rights)
{
    if (path.empty())
        return;
    const UniqueFd target(::open(path.c_str(), O_PATH | O_CLOEXEC));
    if (target.get() < 0)
        return;
    landlock_path_beneath_attr rule{rights, target.get()};
    if (::syscall(SYS_landlock_add_rule, ruleset.get(), LANDLOCK_RULE_PATH_BENEATH, &rule, 0) != 0)
        throw Fault("landlock_add_rule");
}

// A file's rights never go to a folder, which would pass them on to all that is beneath it.
void allowFile(const UniqueFd &ruleset, const std::string &path, std::uint64_t rights)
{
    struct stat facts = {};
    if (::stat(path.c_str(), &facts) == 0 && !S_ISDIR(facts.st_mode))
        allow(ruleset, path, rights);
}

std::string folderOf(const std::string &path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

int landlockAbi()
{
    const long abi
            = ::syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    if (abi < 0 && (errno == ENOSYS || errno == EOPNOTSUPP))
        return 0;
    if (abi < 0)
        throw Fault("landlock_create_ruleset");
    const char *most = std::getenv("WMENC_LANDLOCK_ABI");
    return most ? std::min(static_cast<int>(abi), std::atoi(most)) : static_cast<int>(abi);
}

// The temporary and the output are in one folder, so the final rename needs no REFER. The
// right to write is the temporary's alone, which therefore exists already.
void restrictFiles(int abi, const Reach &reach)
{
    const RulesetAttributes handled = handledBy(abi);
    const UniqueFd ruleset(
            static_cast<int>(::syscall(SYS_landlock_create_ruleset, &handled, sizeof handled, 0)));
    if (ruleset.get() < 0)
        throw Fault("landlock_create_ruleset");
    allowFile(ruleset, reach.input, LANDLOCK_ACCESS_FS_READ_FILE);
    allowFile(ruleset,
              reach.temporary,
              handled.handledFs & (LANDLOCK_ACCESS_FS_WRITE_FILE | FsTruncate));
    if (!reach.output.empty())
        allow(ruleset,
              folderOf(reach.output),
              LANDLOCK_ACCESS_FS_MAKE_REG | LANDLOCK_ACCESS_FS_REMOVE_FILE);
    if (::syscall(SYS_landlock_restrict_self, ruleset.get(), 0) != 0)
        throw Fault("landlock_restrict_self");
}

} // namespace worker_confinement
