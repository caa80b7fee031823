#pragma once

#include "plugin/IDemuxerPlugin.h"

// Base of the demuxer plug-ins: supplies the kind number.
class CDemuxerPlugin : public IDemuxerPlugin {
public:
    int32_t GetPluginType() override;

protected:
    ~CDemuxerPlugin() = default;
};
