#include "engine/worker_syscall_filter.h"

#include "engine/worker_confinement.h"

#include <sched.h>
#include <seccomp.h>
#include <unistd.h>

#include <cerrno>

namespace worker_confinement {

namespace {

// Calls reaching beyond the worker: networks, programs, other processes, mounts and
// namespaces, key rings, the kernel itself. io_uring goes too, as its requests (sockets
// among them) pass no filter.
constexpr int Denied[] = {
        SCMP_SYS(socket),
        SCMP_SYS(socketpair),
        SCMP_SYS(execve),
        SCMP_SYS(execveat),
        SCMP_SYS(fork),
        SCMP_SYS(vfork),
        SCMP_SYS(ptrace),
        SCMP_SYS(process_vm_readv),
        SCMP_SYS(process_vm_writev),
        SCMP_SYS(pidfd_getfd),
        SCMP_SYS(mount),
        SCMP_SYS(umount2),
        SCMP_SYS(pivot_root),
        SCMP_SYS(chroot),
        SCMP_SYS(unshare),
        SCMP_SYS(setns),
        SCMP_SYS(open_tree),
        SCMP_SYS(move_mount),
        SCMP_SYS(fsopen),
        SCMP_SYS(fsconfig),
        SCMP_SYS(fsmount),
        SCMP_SYS(fspick),
        SCMP_SYS(mount_setattr),
        SCMP_SYS(add_key),
        SCMP_SYS(request_key),
        SCMP_SYS(keyctl),
        SCMP_SYS(bpf),
        SCMP_SYS(perf_event_open),
        SCMP_SYS(userfaultfd),
        SCMP_SYS(io_uring_setup),
        SCMP_SYS(io_uring_enter),
        SCMP_SYS(io_uring_register),
        SCMP_SYS(kexec_load),
        SCMP_SYS(kexec_file_load),
        SCMP_SYS(init_module),
        SCMP_SYS(finit_module),
        SCMP_SYS(delete_module),
        SCMP_SYS(reboot),
        SCMP_SYS(swapon),
        SCMP_SYS(swapoff),
        SCMP_SYS(acct),
        SCMP_SYS(open_by_handle_at),
};

class Filter
{
public:
    Filter()
        : m_context(seccomp_init(SCMP_ACT_ALLOW))
    {
        if (!m_context)
            throw Fault("seccomp_init");
    }
    ~Filter() { seccomp_release(m_context); }
    Filter(const Filter &) = delete;
    Filter &operator=(const Filter &) = delete;
    scmp_filter_ctx get() const { return m_context; }

private:
    scmp_filter_ctx m_context;
};

// libseccomp returns a negated errno.
void check(int result, const char *call)
{
    errno = -result;
    if (result != 0)
        throw Fault(call);
}

void deny(const Filter &filter, int call, int error)
{
    check(seccomp_rule_add(filter.get(), SCMP_ACT_ERRNO(error), call, 0), "seccomp_rule_add");
}

// Threads share the address space: clone with CLONE_THREAD stays allowed. The flags are
// clone's first argument on x86-64 and arm64.
void denyProcesses(const Filter &filter)
{
    const scmp_arg_cmp noThread{0, SCMP_CMP_MASKED_EQ, CLONE_THREAD, 0};
    check(seccomp_rule_add_array(
                  filter.get(), SCMP_ACT_ERRNO(EPERM), SCMP_SYS(clone), 1, &noThread),
          "seccomp_rule_add");
    deny(filter, SCMP_SYS(clone3), ENOSYS);
}

// Signals go to the worker alone (so does Landlock's scope on newer kernels): abort() and
// raise() signal the worker's own threads.
void denySignalsToOthers(const Filter &filter)
{
    const auto self = static_cast<scmp_datum_t>(::getpid());
    for (const int call : {SCMP_SYS(kill),
                           SCMP_SYS(tgkill),
                           SCMP_SYS(rt_sigqueueinfo),
                           SCMP_SYS(rt_tgsigqueueinfo)}) {
        const scmp_arg_cmp other{0, SCMP_CMP_NE, self, 0};
        check(seccomp_rule_add_array(filter.get(), SCMP_ACT_ERRNO(EPERM), call, 1, &other),
              "seccomp_rule_add");
    }
    deny(filter, SCMP_SYS(pidfd_send_signal), EPERM);
}

} // namespace

void filterSystemCalls()
{
    const Filter filter;
    check(seccomp_attr_set(filter.get(), SCMP_FLTATR_CTL_TSYNC, 1), "seccomp_attr_set");
    for (const int call : Denied)
        deny(filter, call, EPERM);
    denyProcesses(filter);
    denySignalsToOthers(filter);
    check(seccomp_load(filter.get()), "seccomp_load");
}

} // namespace worker_confinement
