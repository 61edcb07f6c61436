// Included before the interface's structures: they are laid out as by the interface's own
// packing, natural alignment up to 16 bytes (8 on 32-bit systems). vst3_pack_end.h undoes it.
// No include guard: each declaring header takes it once around its structures.
#if defined(_WIN64) || defined(__LP64__)
#pragma pack(push, 16)
#else
#pragma pack(push, 8)
#endif
