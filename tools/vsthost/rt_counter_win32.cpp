// The plug-in module's calls into the C runtime and the kernel pass through counting
// wrappers (its import table is patched before its entry point runs). What the module does
// through code linked into it is seen only where that code calls the system: an allocation
// always, a lock of the statically linked threading runtime only when it has to wait.
#include "tools/vsthost/rt_counter.h"

#include <io.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/vsthost/import_patch_win32.h"

namespace vsthost {
namespace {

thread_local int inAudioCall = 0;
std::atomic<long> counts[kRtKindCount];
std::atomic<const char*> firstCall{nullptr};

void note(RtKind kind, const char* name) {
    if (inAudioCall <= 0) return;
    counts[kind].fetch_add(1);
    const char* none = nullptr;
    firstCall.compare_exchange_strong(none, name);
}

void* countedMalloc(size_t size) {
    note(kRtAllocation, "malloc");
    return std::malloc(size);
}
void* countedCalloc(size_t count, size_t size) {
    note(kRtAllocation, "calloc");
    return std::calloc(count, size);
}
void* countedRealloc(void* block, size_t size) {
    note(kRtAllocation, "realloc");
    return std::realloc(block, size);
}
void countedFree(void* block) {
    if (block) note(kRtFree, "free");
    std::free(block);
}
LPVOID WINAPI countedHeapAlloc(HANDLE heap, DWORD flags, SIZE_T size) {
    note(kRtAllocation, "HeapAlloc");
    return HeapAlloc(heap, flags, size);
}
LPVOID WINAPI countedHeapReAlloc(HANDLE heap, DWORD flags, LPVOID block, SIZE_T size) {
    note(kRtAllocation, "HeapReAlloc");
    return HeapReAlloc(heap, flags, block, size);
}
BOOL WINAPI countedHeapFree(HANDLE heap, DWORD flags, LPVOID block) {
    note(kRtFree, "HeapFree");
    return HeapFree(heap, flags, block);
}
void WINAPI countedEnterCriticalSection(LPCRITICAL_SECTION section) {
    note(kRtLock, "EnterCriticalSection");
    EnterCriticalSection(section);
}
BOOL WINAPI countedTryEnterCriticalSection(LPCRITICAL_SECTION section) {
    note(kRtLock, "TryEnterCriticalSection");
    return TryEnterCriticalSection(section);
}
void WINAPI countedAcquireSRWLockExclusive(PSRWLOCK lock) {
    note(kRtLock, "AcquireSRWLockExclusive");
    AcquireSRWLockExclusive(lock);
}
void WINAPI countedAcquireSRWLockShared(PSRWLOCK lock) {
    note(kRtLock, "AcquireSRWLockShared");
    AcquireSRWLockShared(lock);
}
DWORD WINAPI countedWaitForSingleObject(HANDLE object, DWORD milliseconds) {
    note(kRtWait, "WaitForSingleObject");
    return WaitForSingleObject(object, milliseconds);
}
DWORD WINAPI countedWaitForSingleObjectEx(HANDLE object, DWORD milliseconds, BOOL alertable) {
    note(kRtWait, "WaitForSingleObjectEx");
    return WaitForSingleObjectEx(object, milliseconds, alertable);
}
DWORD WINAPI countedWaitForMultipleObjects(DWORD count, const HANDLE* objects, BOOL all, DWORD milliseconds) {
    note(kRtWait, "WaitForMultipleObjects");
    return WaitForMultipleObjects(count, objects, all, milliseconds);
}
void WINAPI countedSleep(DWORD milliseconds) {
    note(kRtSleep, "Sleep");
    Sleep(milliseconds);
}
DWORD WINAPI countedSleepEx(DWORD milliseconds, BOOL alertable) {
    note(kRtSleep, "SleepEx");
    return SleepEx(milliseconds, alertable);
}
HANDLE WINAPI countedCreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                 DWORD disposition, DWORD flags, HANDLE templateFile) {
    note(kRtIo, "CreateFileA");
    return CreateFileA(name, access, share, security, disposition, flags, templateFile);
}
HANDLE WINAPI countedCreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                 DWORD disposition, DWORD flags, HANDLE templateFile) {
    note(kRtIo, "CreateFileW");
    return CreateFileW(name, access, share, security, disposition, flags, templateFile);
}
BOOL WINAPI countedReadFile(HANDLE file, LPVOID buffer, DWORD size, LPDWORD done, LPOVERLAPPED overlapped) {
    note(kRtIo, "ReadFile");
    return ReadFile(file, buffer, size, done, overlapped);
}
BOOL WINAPI countedWriteFile(HANDLE file, LPCVOID buffer, DWORD size, LPDWORD done, LPOVERLAPPED overlapped) {
    note(kRtIo, "WriteFile");
    return WriteFile(file, buffer, size, done, overlapped);
}
FILE* countedFopen(const char* path, const char* mode) {
    note(kRtIo, "fopen");
    return std::fopen(path, mode);
}
int countedRead(int file, void* buffer, unsigned size) {
    note(kRtIo, "_read");
    return _read(file, buffer, size);
}

struct Wrapper {
    const char* name;
    void* replacement;
};

const Wrapper kWrappers[] = {
    {"malloc", reinterpret_cast<void*>(&countedMalloc)},
    {"calloc", reinterpret_cast<void*>(&countedCalloc)},
    {"realloc", reinterpret_cast<void*>(&countedRealloc)},
    {"free", reinterpret_cast<void*>(&countedFree)},
    {"HeapAlloc", reinterpret_cast<void*>(&countedHeapAlloc)},
    {"HeapReAlloc", reinterpret_cast<void*>(&countedHeapReAlloc)},
    {"HeapFree", reinterpret_cast<void*>(&countedHeapFree)},
    {"EnterCriticalSection", reinterpret_cast<void*>(&countedEnterCriticalSection)},
    {"TryEnterCriticalSection", reinterpret_cast<void*>(&countedTryEnterCriticalSection)},
    {"AcquireSRWLockExclusive", reinterpret_cast<void*>(&countedAcquireSRWLockExclusive)},
    {"AcquireSRWLockShared", reinterpret_cast<void*>(&countedAcquireSRWLockShared)},
    {"WaitForSingleObject", reinterpret_cast<void*>(&countedWaitForSingleObject)},
    {"WaitForSingleObjectEx", reinterpret_cast<void*>(&countedWaitForSingleObjectEx)},
    {"WaitForMultipleObjects", reinterpret_cast<void*>(&countedWaitForMultipleObjects)},
    {"Sleep", reinterpret_cast<void*>(&countedSleep)},
    {"SleepEx", reinterpret_cast<void*>(&countedSleepEx)},
    {"CreateFileA", reinterpret_cast<void*>(&countedCreateFileA)},
    {"CreateFileW", reinterpret_cast<void*>(&countedCreateFileW)},
    {"ReadFile", reinterpret_cast<void*>(&countedReadFile)},
    {"WriteFile", reinterpret_cast<void*>(&countedWriteFile)},
    {"fopen", reinterpret_cast<void*>(&countedFopen)},
    {"_read", reinterpret_cast<void*>(&countedRead)},
};

void* wrapperFor(const char* name) {
    for (const Wrapper& wrapper : kWrappers)
        if (std::strcmp(wrapper.name, name) == 0) return wrapper.replacement;
    return nullptr;
}

void enterCall() { ++inAudioCall; }
void leaveCall() { --inAudioCall; }
long countOf(int kind) { return kind >= 0 && kind < kRtKindCount ? counts[kind].load() : -1; }
const char* firstOf() { return firstCall.load(); }

}  // namespace

bool RtCounter::attach(const std::string& path, std::string& why) {
    // Loaded once more by the host later; this reference keeps the patched copy in place.
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) {
        why = "cannot load " + path;
        return false;
    }
    static const char* const kLibraries[] = {"msvcrt.dll", "kernel32.dll"};
    if (patchImports(module, kLibraries, 2, wrapperFor) == 0) {
        why = "the plug-in imports none of the calls the counter watches";
        return false;
    }
    enter_ = enterCall;
    leave_ = leaveCall;
    count_ = countOf;
    first_ = firstOf;
    return true;
}

void RtCounter::enter() { enter_(); }
void RtCounter::leave() { leave_(); }
long RtCounter::count(int kind) const { return count_(kind); }
const char* RtCounter::first() const { return first_(); }

}  // namespace vsthost
