// Build-time tool: writes the bundle's Contents/Resources/moduleinfo.json from the module's
// own identity, so the file never disagrees with the factory.
//   vst3_moduleinfo_writer FILE
#include <cstdio>

#include "hallmere_version.h"
#include "plugin/vst3/vst3_identity.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vst3_moduleinfo_writer FILE\n");
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    char classId[33];
    std::snprintf(classId, sizeof classId, "%08X%08X%08X%08X", vst3id::kClassWords[0], vst3id::kClassWords[1],
                  vst3id::kClassWords[2], vst3id::kClassWords[3]);
    std::fprintf(out,
        "{\n"
        "  \"Name\": \"%s\",\n"
        "  \"Version\": \"%s\",\n"
        "  \"Factory Info\": {\n"
        "    \"Vendor\": \"%s\",\n"
        "    \"URL\": \"\",\n"
        "    \"E-Mail\": \"\",\n"
        "    \"Flags\": {\n"
        "      \"Unicode\": true,\n"
        "      \"Classes Discardable\": false,\n"
        "      \"Component Non Discardable\": false\n"
        "    }\n"
        "  },\n"
        "  \"Compatibility\": [],\n"
        "  \"Classes\": [\n"
        "    {\n"
        "      \"CID\": \"%s\",\n"
        "      \"Category\": \"%s\",\n"
        "      \"Name\": \"%s\",\n"
        "      \"Vendor\": \"%s\",\n"
        "      \"Version\": \"%s\",\n"
        "      \"SDKVersion\": \"%s\",\n"
        "      \"Sub Categories\": [\n",
        vst3id::kName, HALLMERE_VERSION_TEXT, vst3id::kVendor, classId, vst3::kAudioEffectCategory, vst3id::kName,
        vst3id::kVendor, HALLMERE_VERSION_TEXT, vst3id::kSdkVersion);
    // "Fx|Reverb" is listed as "Fx", "Reverb".
    const char* sub = vst3id::kSubCategories;
    for (bool first = true; *sub; first = false) {
        const char* end = sub;
        while (*end && *end != '|') ++end;
        std::fprintf(out, "%s        \"%.*s\"", first ? "" : ",\n", static_cast<int>(end - sub), sub);
        sub = *end ? end + 1 : end;
    }
    std::fprintf(out,
        "\n      ],\n"
        "      \"Class Flags\": 0,\n"
        "      \"Cardinality\": %d,\n"
        "      \"Snapshots\": []\n"
        "    }\n"
        "  ]\n"
        "}\n",
        vst3::kManyInstances);
    const bool failed = std::ferror(out) != 0;
    return std::fclose(out) == 0 && !failed ? 0 : 1;
}
