#!/usr/bin/python3
# A file system that does not answer, as a network share whose server is gone: every call
# waits until HANG_SECONDS after the mount before it answers (an empty folder from then on).
#
#   hung_mount.py MOUNT_POINT HANG_SECONDS
#
# Runs in the foreground and ends with its parent: it then lets go of the mount itself.
import errno
import os
import stat
import subprocess
import sys
import threading
import time

try:
    import fuse
except ImportError:
    sys.exit("python3-fuse is not installed (no module fuse)")

fuse.fuse_python_api = (0, 2)
mount_point = sys.argv[1]
answer_at = time.monotonic() + float(sys.argv[2])


def hang():
    time.sleep(max(0.0, answer_at - time.monotonic()))


class Hung(fuse.Fuse):
    def getattr(self, path):
        hang()
        if path != "/":
            return -errno.ENOENT
        folder = fuse.Stat()
        folder.st_mode = stat.S_IFDIR | 0o755
        folder.st_nlink = 2
        return folder

    def opendir(self, path):
        hang()

    def readdir(self, path, offset):
        hang()
        for name in (".", ".."):
            yield fuse.Direntry(name)


def leave_with_parent(parent):
    while os.getppid() == parent:
        time.sleep(0.5)
    subprocess.run(["fusermount", "-u", "-z", mount_point], check=False)
    os._exit(0)


threading.Thread(target=leave_with_parent, args=(os.getppid(),), daemon=True).start()
server = Hung(usage="hung_mount.py MOUNT_POINT HANG_SECONDS")
server.fuse_args.mountpoint = mount_point
server.fuse_args.setmod("foreground")
server.main()
