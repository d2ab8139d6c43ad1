/* A simulated optical drive, preloaded into a reader (LD_PRELOAD): every read of a file below
 * SLOW_MEDIUM_DIR is served one request at a time, at SLOW_MEDIUM_MBPS megabytes a second, and a
 * request that does not go on where the last one ended waits SLOW_MEDIUM_SEEK_MS first. Where
 * a request lies is where the file system puts the file's data (FIEMAP), so that files read in
 * the order in which the disk holds them go on from one to the next. A forward jump within
 * SLOW_MEDIUM_SLACK bytes (default 256 KiB) goes on too: a drive reads ahead into its buffer.
 * What the process has read already is served from memory, as the page cache serves it: a
 * request for bytes read before costs nothing and leaves the drive where it was.
 * The file system below the folder is reported as ISO 9660, as a mounted disc is.
 *
 *   cc -shared -fPIC -O2 -o slow_medium.so slow_medium.c -ldl -lpthread
 *   SLOW_MEDIUM_DIR=/path LD_PRELOAD=./slow_medium.so crclist verify ...
 *
 * For the benchmark of tools/bench/bench_seeking.sh only: nothing of it ships. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#define MAX_FDS 4096
#define ISO9660_MAGIC 0x9660

static pthread_mutex_t drive = PTHREAD_MUTEX_INITIALIZER;
static int64_t last_end = -1; /* where the last request ended on the disk */
static int64_t bases[MAX_FDS]; /* each slow file's first byte on the disk; 0: not slow */
static struct stat identities[MAX_FDS]; /* each slow file's device and inode */

static const char *dir(void) {
    const char *d = getenv("SLOW_MEDIUM_DIR");
    return d != NULL && *d != '\0' ? d : NULL;
}

static double number(const char *name, double fallback) {
    const char *value = getenv(name);
    return value != NULL ? atof(value) : fallback;
}

static int below(const char *path) {
    const char *d = dir();
    char resolved[4096];
    if (d == NULL || path == NULL) {
        return 0;
    }
    const char *full = realpath(path, resolved) != NULL ? resolved : path;
    const size_t length = strlen(d);
    return strncmp(full, d, length) == 0 && (full[length] == '/' || full[length] == '\0');
}

static int64_t physical(int fd) {
    union {
        struct fiemap map;
        char bytes[sizeof(struct fiemap) + sizeof(struct fiemap_extent)];
    } buffer;
    memset(&buffer, 0, sizeof buffer);
    buffer.map.fm_length = FIEMAP_MAX_OFFSET;
    buffer.map.fm_extent_count = 1;
    if (ioctl(fd, FS_IOC_FIEMAP, &buffer.map) != 0 || buffer.map.fm_mapped_extents == 0) {
        return 1;
    }
    return (int64_t)buffer.map.fm_extents[0].fe_physical + 1;
}

static void track(int fd, const char *path) {
    if (fd >= 0 && fd < MAX_FDS) {
        bases[fd] = below(path) ? physical(fd) : 0;
        if (bases[fd] != 0) {
            fstat(fd, &identities[fd]);
        }
    }
}

/* What this process has read of each slow file, which the page cache would serve again
 * from memory: ranges of a file (its device and inode), merged where they touch. */
struct range {
    dev_t device;
    ino_t inode;
    int64_t start, end;
};
static struct range ranges[16384];
static int range_count;

static int same_file(const struct range *r, int fd) {
    return r->device == identities[fd].st_dev && r->inode == identities[fd].st_ino;
}

/* Where the bytes from `offset` on that were not read before begin: the page cache serves the
 * start of a request that was read already, and the drive the rest. Under the drive's lock. */
static int64_t unseen(int fd, int64_t offset) {
    for (int i = 0; i < range_count; ++i) {
        if (same_file(&ranges[i], fd) && ranges[i].start <= offset && ranges[i].end > offset) {
            return ranges[i].end;
        }
    }
    return offset;
}

static void remember(int fd, off_t offset, size_t count) {
    const int64_t start = offset, end = offset + (int64_t)count;
    for (int i = 0; i < range_count; ++i) {
        if (same_file(&ranges[i], fd) && ranges[i].start <= end && ranges[i].end >= start) {
            ranges[i].start = ranges[i].start < start ? ranges[i].start : start;
            ranges[i].end = ranges[i].end > end ? ranges[i].end : end;
            return;
        }
    }
    if (range_count < (int)(sizeof ranges / sizeof ranges[0])) {
        ranges[range_count++] = (struct range){identities[fd].st_dev, identities[fd].st_ino, start,
                                               end};
    }
}

/* Waits as the drive would for `count` bytes at `offset` of the file open as `fd`. */
static void serve(int fd, off_t offset, size_t count) {
    if (fd < 0 || fd >= MAX_FDS || bases[fd] == 0 || count == 0) {
        return;
    }
    int64_t at = bases[fd] - 1 + offset;
    const int64_t slack = (int64_t)number("SLOW_MEDIUM_SLACK", 256 * 1024);
    double seconds = 0;
    pthread_mutex_lock(&drive);
    const int64_t from = unseen(fd, offset);
    if (from >= offset + (int64_t)count) {
        pthread_mutex_unlock(&drive);
        return;
    }
    remember(fd, offset, count);
    at += from - offset;
    count -= (size_t)(from - offset);
    seconds = (double)count / (number("SLOW_MEDIUM_MBPS", 40) * 1e6);
    if (!(last_end >= 0 && at >= last_end && at - last_end <= slack)) {
        seconds += number("SLOW_MEDIUM_SEEK_MS", 60) / 1000.0;
        if (getenv("SLOW_MEDIUM_TELL") != NULL) {
            dprintf(2, "slow_medium: seek to %lld (after %lld) for %zu bytes\n", (long long)at,
                    (long long)last_end, count);
        }
    }
    last_end = at + (int64_t)count;
    struct timespec wait = {(time_t)seconds, (long)((seconds - (time_t)seconds) * 1e9)};
    while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
    }
    pthread_mutex_unlock(&drive);
}

#define REAL(name, type) ((type)dlsym(RTLD_NEXT, name))

int open(const char *path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = (mode_t)va_arg(args, int);
    va_end(args);
    const int fd = REAL("open", int (*)(const char *, int, ...))(path, flags, mode);
    track(fd, path);
    return fd;
}
int open64(const char *path, int flags, ...) __attribute__((alias("open")));

int openat(int at, const char *path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = (mode_t)va_arg(args, int);
    va_end(args);
    const int fd = REAL("openat", int (*)(int, const char *, int, ...))(at, path, flags, mode);
    track(fd, path);
    return fd;
}
int openat64(int at, const char *path, int flags, ...) __attribute__((alias("openat")));

int close(int fd) {
    if (fd >= 0 && fd < MAX_FDS) {
        bases[fd] = 0;
    }
    return REAL("close", int (*)(int))(fd);
}

/* A file opened and then moved to another descriptor (dd reads its input as descriptor 0). */
int dup2(int from, int to) {
    const int fd = REAL("dup2", int (*)(int, int))(from, to);
    if (fd >= 0 && fd < MAX_FDS && from >= 0 && from < MAX_FDS) {
        bases[fd] = bases[from];
        identities[fd] = identities[from];
    }
    return fd;
}

ssize_t pread(int fd, void *buffer, size_t count, off_t offset) {
    const ssize_t got = REAL("pread", ssize_t (*)(int, void *, size_t, off_t))(fd, buffer, count,
                                                                              offset);
    if (got > 0) {
        serve(fd, offset, (size_t)got);
    }
    return got;
}
ssize_t pread64(int fd, void *buffer, size_t count, off_t offset) __attribute__((alias("pread")));

ssize_t read(int fd, void *buffer, size_t count) {
    const off_t offset = fd >= 0 && fd < MAX_FDS && bases[fd] != 0 ? lseek(fd, 0, SEEK_CUR) : 0;
    const ssize_t got = REAL("read", ssize_t (*)(int, void *, size_t))(fd, buffer, count);
    if (got > 0) {
        serve(fd, offset, (size_t)got);
    }
    return got;
}

int statfs(const char *path, struct statfs *buffer) {
    const int result = REAL("statfs", int (*)(const char *, struct statfs *))(path, buffer);
    if (result == 0 && below(path)) {
        buffer->f_type = ISO9660_MAGIC;
    }
    return result;
}
int statfs64(const char *path, struct statfs64 *buffer) __attribute__((alias("statfs")));

/* The forms that programs built with _FORTIFY_SOURCE call instead (dd among them). */
int __open_2(const char *path, int flags) {
    const int fd = REAL("__open_2", int (*)(const char *, int))(path, flags);
    track(fd, path);
    return fd;
}
int __open64_2(const char *path, int flags) {
    const int fd = REAL("__open64_2", int (*)(const char *, int))(path, flags);
    track(fd, path);
    return fd;
}
ssize_t __read_chk(int fd, void *buffer, size_t count, size_t size) {
    const off_t offset = fd >= 0 && fd < MAX_FDS && bases[fd] != 0 ? lseek(fd, 0, SEEK_CUR) : 0;
    const ssize_t got =
        REAL("__read_chk", ssize_t (*)(int, void *, size_t, size_t))(fd, buffer, count, size);
    if (got > 0) {
        serve(fd, offset, (size_t)got);
    }
    return got;
}
