// A program (preset): the thirteen normalised values and a name, plus the table of the
// eight factory programs. Parameter names and labels are the same in every program: the
// parameter table holds them.
#pragma once

#include <atomic>

#include "effect/parameter_table.h"

constexpr int kProgramCount = 8;
constexpr std::size_t kProgramNameSize = 24;  // 23 characters and the terminator

struct FactoryProgram {
    char name[kProgramNameSize];
    float values[kParameterCount];
};

extern const FactoryProgram factoryPrograms[kProgramCount];

// One stored value, alone on its cache line: two threads setting two parameters do not slow
// each other down.
struct alignas(64) StoredValue : std::atomic<float> {
    using std::atomic<float>::atomic;
    using std::atomic<float>::operator=;
};

class ReverbProgram {
public:
    ReverbProgram();  // factory program 0
    virtual ~ReverbProgram() = default;

    // Copies factory program i's values and name; any other i leaves the program as it is.
    void loadFactory(int i);

    // Copies at most 23 characters of the text, so the name always keeps its terminator.
    void setName(const char* text);

    // Any thread may store or load a value at any time; nothing else guards them.
    StoredValue values[kParameterCount];
    char name[kProgramNameSize];
};
