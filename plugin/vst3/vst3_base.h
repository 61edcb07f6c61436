// The VST 3 binary interface, the part every VST 3 module has: result codes, 16-byte ids,
// the reference-counted base interface, the class factory and the byte stream. Written from
// the published interface facts (ids, method order, layouts); only what Hallmere uses.
#pragma once

#include <cstdint>
#include <cstring>

// Interface methods use the platform's COM calling convention.
#if defined(_WIN32)
#define VST3_CALL __stdcall
#else
#define VST3_CALL
#endif

#include "plugin/vst3/vst3_pack_begin.h"

namespace vst3 {

using tresult = std::int32_t;
using TBool = std::uint8_t;
using char16 = char16_t;
using String128 = char16[128];
using FIDString = const char*;
using TUID = char[16];

// On Windows the codes are COM's HRESULTs; elsewhere small numbers.
#if defined(_WIN32)
constexpr tresult kNoInterface = static_cast<tresult>(0x80004002L);
constexpr tresult kResultOk = 0;
constexpr tresult kResultFalse = 1;
constexpr tresult kInvalidArgument = static_cast<tresult>(0x80070057L);
constexpr tresult kNotImplemented = static_cast<tresult>(0x80004001L);
constexpr tresult kInternalError = static_cast<tresult>(0x80004005L);
constexpr tresult kNotInitialized = static_cast<tresult>(0x8000FFFFL);
constexpr tresult kOutOfMemory = static_cast<tresult>(0x8007000EL);
#else
constexpr tresult kNoInterface = -1;
constexpr tresult kResultOk = 0;
constexpr tresult kResultFalse = 1;
constexpr tresult kInvalidArgument = 2;
constexpr tresult kNotImplemented = 3;
constexpr tresult kInternalError = 4;
constexpr tresult kNotInitialized = 5;
constexpr tresult kOutOfMemory = 6;
#endif
constexpr tresult kResultTrue = kResultOk;

// An id written as four 32-bit words. Windows keeps COM's GUID byte order (the first word
// and the two halves of the second little-endian); elsewhere all sixteen bytes run
// big-endian, in the order the words are written.
struct Uid {
    char bytes[16];

    bool operator==(const char* other) const { return other != nullptr && std::memcmp(bytes, other, 16) == 0; }
};

constexpr char byteOf(std::uint32_t word, int shift) { return static_cast<char>((word >> shift) & 0xFF); }

constexpr Uid makeUid(std::uint32_t l1, std::uint32_t l2, std::uint32_t l3, std::uint32_t l4) {
#if defined(_WIN32)
    return {{byteOf(l1, 0), byteOf(l1, 8), byteOf(l1, 16), byteOf(l1, 24), byteOf(l2, 16), byteOf(l2, 24),
             byteOf(l2, 0), byteOf(l2, 8), byteOf(l3, 24), byteOf(l3, 16), byteOf(l3, 8), byteOf(l3, 0),
             byteOf(l4, 24), byteOf(l4, 16), byteOf(l4, 8), byteOf(l4, 0)}};
#else
    return {{byteOf(l1, 24), byteOf(l1, 16), byteOf(l1, 8), byteOf(l1, 0), byteOf(l2, 24), byteOf(l2, 16),
             byteOf(l2, 8), byteOf(l2, 0), byteOf(l3, 24), byteOf(l3, 16), byteOf(l3, 8), byteOf(l3, 0),
             byteOf(l4, 24), byteOf(l4, 16), byteOf(l4, 8), byteOf(l4, 0)}};
#endif
}

class FUnknown {
public:
    static constexpr Uid iid = makeUid(0x00000000, 0x00000000, 0xC0000000, 0x00000046);
    virtual tresult VST3_CALL queryInterface(const TUID iid, void** object) = 0;
    virtual std::uint32_t VST3_CALL addRef() = 0;
    virtual std::uint32_t VST3_CALL release() = 0;
};

class IPluginBase : public FUnknown {
public:
    static constexpr Uid iid = makeUid(0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625);
    virtual tresult VST3_CALL initialize(FUnknown* context) = 0;
    virtual tresult VST3_CALL terminate() = 0;
};

class IBStream : public FUnknown {
public:
    static constexpr Uid iid = makeUid(0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B);
    enum SeekMode : std::int32_t { kSeekSet = 0, kSeekCurrent, kSeekEnd };
    virtual tresult VST3_CALL read(void* buffer, std::int32_t bytes, std::int32_t* bytesRead) = 0;
    virtual tresult VST3_CALL write(void* buffer, std::int32_t bytes, std::int32_t* bytesWritten) = 0;
    virtual tresult VST3_CALL seek(std::int64_t position, std::int32_t mode, std::int64_t* result) = 0;
    virtual tresult VST3_CALL tell(std::int64_t* position) = 0;
};

struct PFactoryInfo {
    enum Flags : std::int32_t { kClassesDiscardable = 1 << 0, kUnicode = 1 << 4 };
    char vendor[64];
    char url[256];
    char email[128];
    std::int32_t flags;
};

constexpr std::int32_t kManyInstances = 0x7FFFFFFF;

struct PClassInfo {
    TUID cid;
    std::int32_t cardinality;
    char category[32];
    char name[64];
};

struct PClassInfo2 {
    TUID cid;
    std::int32_t cardinality;
    char category[32];
    char name[64];
    std::uint32_t classFlags;
    char subCategories[128];
    char vendor[64];
    char version[64];
    char sdkVersion[64];
};

struct PClassInfoW {
    TUID cid;
    std::int32_t cardinality;
    char category[32];
    char16 name[64];
    std::uint32_t classFlags;
    char subCategories[128];
    char16 vendor[64];
    char16 version[64];
    char16 sdkVersion[64];
};

class IPluginFactory : public FUnknown {
public:
    static constexpr Uid iid = makeUid(0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F);
    virtual tresult VST3_CALL getFactoryInfo(PFactoryInfo* info) = 0;
    virtual std::int32_t VST3_CALL countClasses() = 0;
    virtual tresult VST3_CALL getClassInfo(std::int32_t index, PClassInfo* info) = 0;
    virtual tresult VST3_CALL createInstance(FIDString cid, FIDString iid, void** object) = 0;
};

class IPluginFactory2 : public IPluginFactory {
public:
    static constexpr Uid iid = makeUid(0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB);
    virtual tresult VST3_CALL getClassInfo2(std::int32_t index, PClassInfo2* info) = 0;
};

class IPluginFactory3 : public IPluginFactory2 {
public:
    static constexpr Uid iid = makeUid(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931);
    virtual tresult VST3_CALL getClassInfoUnicode(std::int32_t index, PClassInfoW* info) = 0;
    virtual tresult VST3_CALL setHostContext(FUnknown* context) = 0;
};

#if defined(_WIN64) || defined(__LP64__)
static_assert(sizeof(PFactoryInfo) == 452 && sizeof(PClassInfo) == 116, "factory record layout");
static_assert(sizeof(PClassInfo2) == 440 && sizeof(PClassInfoW) == 696, "class record layout");
#endif

}  // namespace vst3

#include "plugin/vst3/vst3_pack_end.h"
