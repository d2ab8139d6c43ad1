/* A second-level cache of the size that L2_CACHE_BYTES says, as sysconf tells it to a program it
 * is preloaded into (LD_PRELOAD): bench_verify.sh measures crclist's memory as on a processor
 * with a large cache, whatever this one has. For the benchmark only: nothing of it ships.
 *
 *   cc -shared -fPIC -O2 -o cache_size.so cache_size.c -ldl */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdlib.h>
#include <unistd.h>

long sysconf(int name) {
    const char *bytes = getenv("L2_CACHE_BYTES");
    if (name == _SC_LEVEL2_CACHE_SIZE && bytes != NULL) {
        return atol(bytes);
    }
    return ((long (*)(int))dlsym(RTLD_NEXT, "sysconf"))(name);
}
