#include "plugin/CAsfDemuxerPlugin.h"

#include "asf/CAsfDemuxer.h"

namespace {

constexpr char16_t kWmv[] = u"wmv";
constexpr char16_t kWma[] = u"wma";

// Compares the first three code units. A NUL in `extension` differs from
// every letter, so the loop never reads past the caller's terminator.
bool StartsWith3(const char16_t* extension, const char16_t* wanted) {
    for (int i = 0; i < 3; ++i) {
        if (extension[i] != wanted[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

void CAsfDemuxerPlugin::Release() { delete this; }

IDemuxer* CAsfDemuxerPlugin::CreateDemuxer() { return new CAsfDemuxer(); }

bool CAsfDemuxerPlugin::SupportsExtension(const char16_t* extension) {
    return StartsWith3(extension, kWmv) || StartsWith3(extension, kWma);
}
