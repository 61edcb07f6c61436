// Closes what vst3_pack_begin.h opened.
#pragma pack(pop)
