# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""A slow file system, as a network share or a USB stick can be: the folder
given first is shown at the mount point given second, and each write of a
page takes a fifth of a second, so that a signal can arrive in the middle of
one long write. Runs in the foreground until unmounted."""

import errno
import os
import sys
import time

import fusepy


class SlowFolder(fusepy.Operations):
    def __init__(self, root):
        self.root = root

    def _path(self, path):
        return os.path.join(self.root, path.lstrip("/"))

    def getattr(self, path, fh=None):
        info = os.lstat(self._path(path))
        return {key: getattr(info, key) for key in
                ("st_mode", "st_nlink", "st_uid", "st_gid", "st_size", "st_atime", "st_mtime", "st_ctime")}

    def readdir(self, path, fh):
        return [".", ".."] + os.listdir(self._path(path))

    def access(self, path, mode):
        if not os.access(self._path(path), mode):
            raise fusepy.FuseOSError(errno.EACCES)

    def open(self, path, flags):
        return os.open(self._path(path), flags)

    def create(self, path, mode, fi=None):
        return os.open(self._path(path), os.O_WRONLY | os.O_CREAT, mode)

    def read(self, path, size, offset, fh):
        return os.pread(fh, size, offset)

    def write(self, path, data, offset, fh):
        written = os.pwrite(fh, data, offset)
        time.sleep(0.2)
        return written

    def truncate(self, path, length, fh=None):
        os.truncate(self._path(path), length)

    def unlink(self, path):
        os.unlink(self._path(path))

    def fsync(self, path, datasync, fh):
        os.fsync(fh)

    def release(self, path, fh):
        os.close(fh)


if __name__ == "__main__":
    fusepy.FUSE(SlowFolder(sys.argv[1]), sys.argv[2], foreground=True)
