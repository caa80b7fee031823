#pragma once

#include "plugin/CDemuxerPlugin.h"

// The ASF demuxer plug-in: accepts .wmv and .wma and creates CAsfDemuxer.
class CAsfDemuxerPlugin final : public CDemuxerPlugin {
public:
    void Release() override;
    IDemuxer* CreateDemuxer() override;
    bool SupportsExtension(const char16_t* extension) override;

private:
    ~CAsfDemuxerPlugin() = default;
};
