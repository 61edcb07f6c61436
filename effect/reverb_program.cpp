#include "effect/reverb_program.h"

#include <cstring>

// Names are padded with spaces to 23 characters; the padding is part of what hosts see.
const FactoryProgram factoryPrograms[kProgramCount] = {
    //                                Pan   Out   T60   Damp  Dens  ERDel HiCut  LoCut Dry Sens Hold Room ERLev
    {"Default                ", {0.5f, 0.75f, 0.3f, 0.25f, 0.5f, 0.25f, 0.2f, 0.15f, 0, 1, 0, 0.5f, 0.3f}},
    {"Default hall           ", {0.5f, 0.75f, 0.3f, 0.25f, 1, 0.25f, 0.2f, 0.15f, 1, 1, 0, 0.5f, 0.3f}},
    {"Huge Hall              ", {0.5f, 0.75f, 0.5f, 0.5f, 1, 0.6f, 0.2f, 0.15f, 1, 1, 0, 1, 0.3f}},
    {"Room                   ", {0.5f, 0.75f, 0.09f, 0.75f, 0.5f, 0.25f, 0.3f, 0.15f, 1, 1, 0, 0.3f, 0.5f}},
    {"Full mud               ", {0.5f, 0.75f, 1, 0.6f, 1, 0.6f, 0.3f, 0.1f, 1, 1, 0, 1, 0.3f}},
    {"Gated reverb           ", {0.5f, 0.75f, 0.21f, 0.5f, 0.95f, 0.25f, 0.4f, 0.18f, 1, 0.5f, 0.2f, 0.5f, 0.3f}},
    {"Loud neighbours        ", {0.5f, 0.75f, 0.15f, 0.5f, 0.95f, 0.25f, 0.005f, 0, 0, 1, 0, 0.5f, 0.7f}},
    {"Bathroom               ", {0.5f, 0.75f, 0.23f, 0, 0.5f, 0.15f, 0.2f, 0.15f, 1, 1, 0, 0.2f, 0.5f}},
};

ReverbProgram::ReverbProgram() { loadFactory(0); }

void ReverbProgram::loadFactory(int i) {
    if (i < 0 || i >= kProgramCount) return;
    for (int index = 0; index < kParameterCount; ++index)
        values[index].store(factoryPrograms[i].values[index], std::memory_order_relaxed);
    std::memcpy(name, factoryPrograms[i].name, sizeof name);
}

void ReverbProgram::setName(const char* text) {
    if (text == nullptr) return;
    std::strncpy(name, text, kProgramNameSize - 1);
    name[kProgramNameSize - 1] = '\0';
}
