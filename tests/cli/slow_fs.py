# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A slow file system, as a network share can be: the folder given first, seen
# at the mount point given second, where each page written takes a fifth of
# a second. Runs until unmounted.
import os
import sys
import time

import fusepy


class SlowFolder(fusepy.Operations):
    def __init__(self, root):
        self.root = root

    def getattr(self, path, fh=None):
        info = os.lstat(self.root + path)
        return {key: getattr(info, key) for key in dir(info) if key.startswith("st_")}

    def open(self, path, flags):
        return os.open(self.root + path, flags)

    def read(self, path, size, offset, fh):
        return os.pread(fh, size, offset)

    def write(self, path, data, offset, fh):
        time.sleep(0.2)
        return os.pwrite(fh, data, offset)

    def release(self, path, fh):
        os.close(fh)


fusepy.FUSE(SlowFolder(sys.argv[1]), sys.argv[2], foreground=True)
