# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A slow file system, as a network share can be: the folder given first, seen
# at the mount point given second, where each page written takes a fifth of
# a second. A third argument, a number of bytes, makes it a full one: no
# file grows beyond that size. Runs until unmounted.
import errno
import os
import sys
import time

import fusepy


class SlowFolder(fusepy.Operations):
    def __init__(self, root, room):
        self.root = root
        self.room = room

    def getattr(self, path, fh=None):
        info = os.lstat(self.root + path)
        return {key: getattr(info, key) for key in dir(info) if key.startswith("st_")}

    def open(self, path, flags):
        return os.open(self.root + path, flags)

    def read(self, path, size, offset, fh):
        return os.pread(fh, size, offset)

    def write(self, path, data, offset, fh):
        time.sleep(0.2)
        if self.room is not None and offset + len(data) > self.room:
            raise fusepy.FuseOSError(errno.ENOSPC)
        return os.pwrite(fh, data, offset)

    def truncate(self, path, length, fh=None):
        os.truncate(self.root + path, length)

    def release(self, path, fh):
        os.close(fh)


room = int(sys.argv[3]) if len(sys.argv) > 3 else None
fusepy.FUSE(SlowFolder(sys.argv[1], room), sys.argv[2], foreground=True)
