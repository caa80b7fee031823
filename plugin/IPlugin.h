#pragma once

#include <cstdint>

// Root of every plug-in object the host obtains from vqGetPlugin. A plug-in
// carries no data beyond its table of operations, which hosts built by other
// compilers read by position: GetPluginType, Release, CreateDemuxer,
// SupportsExtension. No class of the family has a virtual destructor: only
// Release destroys a plug-in.
class IPlugin {
public:
    // Kind of plug-in. kDemuxerPlugin for a demuxer plug-in; the host may
    // then use the object as an IDemuxerPlugin. Reads no state.
    virtual int32_t GetPluginType() = 0;

    // Destroys the plug-in. Demuxers it created live on and stay usable.
    virtual void Release() = 0;

    static constexpr int32_t kDemuxerPlugin = 2;

protected:
    ~IPlugin() = default;
};
