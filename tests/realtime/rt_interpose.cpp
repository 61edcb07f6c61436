// Preloaded into a host process, this library counts the calls an audio thread must never
// make: allocation, locks and waits, sleeps, file and socket calls. It counts only on a
// thread that has marked itself as inside a plug-in's audio entry point
// (hallmere_rtcheck_enter / _leave), so the host's own work and the plug-in's other threads
// are free to do as they please. Every call is passed on unchanged.
#ifndef _GNU_SOURCE
#define _GNU_SOURCE
#endif
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <semaphore.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <new>

#include "tools/vsthost/rt_counter.h"

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);
void* __libc_memalign(size_t, size_t);
}

namespace {

__thread int inAudioCall __attribute__((tls_model("initial-exec"))) = 0;
std::atomic<long> counts[vsthost::kRtKindCount];
std::atomic<const char*> firstCall{nullptr};

inline void note(vsthost::RtKind kind, const char* name) {
    if (inAudioCall <= 0) return;
    counts[kind].fetch_add(1, std::memory_order_relaxed);
    const char* none = nullptr;
    firstCall.compare_exchange_strong(none, name);
}

// The next definition of a symbol, looked up once.
template <class Function>
Function next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

#define FORWARD(type, name) static const auto real = next<type>(name)

}  // namespace

extern "C" {

__attribute__((visibility("default"))) void hallmere_rtcheck_enter() { ++inAudioCall; }
__attribute__((visibility("default"))) void hallmere_rtcheck_leave() { --inAudioCall; }
__attribute__((visibility("default"))) long hallmere_rtcheck_count(int kind) {
    return kind >= 0 && kind < vsthost::kRtKindCount ? counts[kind].load() : -1;
}
__attribute__((visibility("default"))) const char* hallmere_rtcheck_first() { return firstCall.load(); }

// Allocation.
void* malloc(size_t size) {
    note(vsthost::kRtAllocation, "malloc");
    return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
    note(vsthost::kRtAllocation, "calloc");
    return __libc_calloc(count, size);
}
void* realloc(void* block, size_t size) {
    note(vsthost::kRtAllocation, "realloc");
    return __libc_realloc(block, size);
}
void free(void* block) {
    if (block) note(vsthost::kRtFree, "free");
    __libc_free(block);
}
int posix_memalign(void** block, size_t alignment, size_t size) {
    note(vsthost::kRtAllocation, "posix_memalign");
    *block = __libc_memalign(alignment, size);
    return *block ? 0 : 12;  // ENOMEM
}
void* aligned_alloc(size_t alignment, size_t size) {
    note(vsthost::kRtAllocation, "aligned_alloc");
    return __libc_memalign(alignment, size);
}

// Locks and waits.
int pthread_mutex_lock(pthread_mutex_t* mutex) {
    FORWARD(int (*)(pthread_mutex_t*), "pthread_mutex_lock");
    note(vsthost::kRtLock, "pthread_mutex_lock");
    return real(mutex);
}
int pthread_mutex_trylock(pthread_mutex_t* mutex) {
    FORWARD(int (*)(pthread_mutex_t*), "pthread_mutex_trylock");
    note(vsthost::kRtLock, "pthread_mutex_trylock");
    return real(mutex);
}
int pthread_rwlock_rdlock(pthread_rwlock_t* lock) {
    FORWARD(int (*)(pthread_rwlock_t*), "pthread_rwlock_rdlock");
    note(vsthost::kRtLock, "pthread_rwlock_rdlock");
    return real(lock);
}
int pthread_rwlock_wrlock(pthread_rwlock_t* lock) {
    FORWARD(int (*)(pthread_rwlock_t*), "pthread_rwlock_wrlock");
    note(vsthost::kRtLock, "pthread_rwlock_wrlock");
    return real(lock);
}
int pthread_spin_lock(pthread_spinlock_t* lock) {
    FORWARD(int (*)(pthread_spinlock_t*), "pthread_spin_lock");
    note(vsthost::kRtLock, "pthread_spin_lock");
    return real(lock);
}
int pthread_cond_wait(pthread_cond_t* condition, pthread_mutex_t* mutex) {
    FORWARD(int (*)(pthread_cond_t*, pthread_mutex_t*), "pthread_cond_wait");
    note(vsthost::kRtWait, "pthread_cond_wait");
    return real(condition, mutex);
}
int pthread_cond_timedwait(pthread_cond_t* condition, pthread_mutex_t* mutex, const struct timespec* until) {
    FORWARD(int (*)(pthread_cond_t*, pthread_mutex_t*, const struct timespec*), "pthread_cond_timedwait");
    note(vsthost::kRtWait, "pthread_cond_timedwait");
    return real(condition, mutex, until);
}
int sem_wait(sem_t* semaphore) {
    FORWARD(int (*)(sem_t*), "sem_wait");
    note(vsthost::kRtWait, "sem_wait");
    return real(semaphore);
}
int pthread_join(pthread_t thread, void** result) {
    FORWARD(int (*)(pthread_t, void**), "pthread_join");
    note(vsthost::kRtWait, "pthread_join");
    return real(thread, result);
}

// Sleeps.
int nanosleep(const struct timespec* duration, struct timespec* left) {
    FORWARD(int (*)(const struct timespec*, struct timespec*), "nanosleep");
    note(vsthost::kRtSleep, "nanosleep");
    return real(duration, left);
}
int clock_nanosleep(clockid_t clock, int flags, const struct timespec* duration, struct timespec* left) {
    FORWARD(int (*)(clockid_t, int, const struct timespec*, struct timespec*), "clock_nanosleep");
    note(vsthost::kRtSleep, "clock_nanosleep");
    return real(clock, flags, duration, left);
}
int usleep(useconds_t microseconds) {
    FORWARD(int (*)(useconds_t), "usleep");
    note(vsthost::kRtSleep, "usleep");
    return real(microseconds);
}
unsigned sleep(unsigned seconds) {
    FORWARD(unsigned (*)(unsigned), "sleep");
    note(vsthost::kRtSleep, "sleep");
    return real(seconds);
}

// Files and sockets.
int open(const char* path, int flags, ...) {
    FORWARD(int (*)(const char*, int, ...), "open");
    note(vsthost::kRtIo, "open");
    va_list rest;
    va_start(rest, flags);
    const mode_t mode = (flags & O_CREAT) ? static_cast<mode_t>(va_arg(rest, int)) : 0;
    va_end(rest);
    return real(path, flags, mode);
}
int open64(const char* path, int flags, ...) {
    FORWARD(int (*)(const char*, int, ...), "open64");
    note(vsthost::kRtIo, "open64");
    va_list rest;
    va_start(rest, flags);
    const mode_t mode = (flags & O_CREAT) ? static_cast<mode_t>(va_arg(rest, int)) : 0;
    va_end(rest);
    return real(path, flags, mode);
}
int openat(int directory, const char* path, int flags, ...) {
    FORWARD(int (*)(int, const char*, int, ...), "openat");
    note(vsthost::kRtIo, "openat");
    va_list rest;
    va_start(rest, flags);
    const mode_t mode = (flags & O_CREAT) ? static_cast<mode_t>(va_arg(rest, int)) : 0;
    va_end(rest);
    return real(directory, path, flags, mode);
}
FILE* fopen(const char* path, const char* mode) {
    FORWARD(FILE * (*)(const char*, const char*), "fopen");
    note(vsthost::kRtIo, "fopen");
    return real(path, mode);
}
FILE* fopen64(const char* path, const char* mode) {
    FORWARD(FILE * (*)(const char*, const char*), "fopen64");
    note(vsthost::kRtIo, "fopen64");
    return real(path, mode);
}
ssize_t read(int file, void* buffer, size_t size) {
    FORWARD(ssize_t(*)(int, void*, size_t), "read");
    note(vsthost::kRtIo, "read");
    return real(file, buffer, size);
}
ssize_t write(int file, const void* buffer, size_t size) {
    FORWARD(ssize_t(*)(int, const void*, size_t), "write");
    note(vsthost::kRtIo, "write");
    return real(file, buffer, size);
}
int close(int file) {
    FORWARD(int (*)(int), "close");
    note(vsthost::kRtIo, "close");
    return real(file);
}
int poll(struct pollfd* files, nfds_t count, int timeout) {
    FORWARD(int (*)(struct pollfd*, nfds_t, int), "poll");
    note(vsthost::kRtIo, "poll");
    return real(files, count, timeout);
}
int socket(int domain, int type, int protocol) {
    FORWARD(int (*)(int, int, int), "socket");
    note(vsthost::kRtIo, "socket");
    return real(domain, type, protocol);
}
int connect(int sock, const struct sockaddr* address, socklen_t length) {
    FORWARD(int (*)(int, const struct sockaddr*, socklen_t), "connect");
    note(vsthost::kRtIo, "connect");
    return real(sock, address, length);
}
ssize_t send(int sock, const void* buffer, size_t size, int flags) {
    FORWARD(ssize_t(*)(int, const void*, size_t, int), "send");
    note(vsthost::kRtIo, "send");
    return real(sock, buffer, size, flags);
}
ssize_t recv(int sock, void* buffer, size_t size, int flags) {
    FORWARD(ssize_t(*)(int, void*, size_t, int), "recv");
    note(vsthost::kRtIo, "recv");
    return real(sock, buffer, size, flags);
}

}  // extern "C"

// C++ allocation, counted under its own names.
void* operator new(size_t size) {
    note(vsthost::kRtAllocation, "operator new");
    if (void* block = __libc_malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}
void* operator new[](size_t size) {
    note(vsthost::kRtAllocation, "operator new[]");
    if (void* block = __libc_malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    note(vsthost::kRtAllocation, "operator new");
    return __libc_malloc(size ? size : 1);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    note(vsthost::kRtAllocation, "operator new[]");
    return __libc_malloc(size ? size : 1);
}
void operator delete(void* block) noexcept {
    if (block) note(vsthost::kRtFree, "operator delete");
    __libc_free(block);
}
void operator delete[](void* block) noexcept {
    if (block) note(vsthost::kRtFree, "operator delete[]");
    __libc_free(block);
}
void operator delete(void* block, size_t) noexcept { operator delete(block); }
void operator delete[](void* block, size_t) noexcept { operator delete[](block); }
