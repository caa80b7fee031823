#pragma once

#include "demuxer/IDemuxer.h"
#include "plugin/IPlugin.h"

// A plug-in of kind IPlugin::kDemuxerPlugin. The plug-in is stateless: any
// thread, any number of calls, in any order between vqGetPlugin and Release.
class IDemuxerPlugin : public IPlugin {
public:
    // A new demuxer, owned by the caller and destroyed by its own Release.
    // It keeps no reference to the plug-in and may outlive it. Memory
    // exhaustion leaves as std::bad_alloc; null is never returned.
    virtual IDemuxer* CreateDemuxer() = 0;

    // True when `extension` (NUL-terminated UTF-16, without the dot, never
    // null) is a file extension of this plug-in's format. Case-sensitive.
    virtual bool SupportsExtension(const char16_t* extension) = 0;

protected:
    ~IDemuxerPlugin() = default;
};
