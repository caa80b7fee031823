#include "plugin/CDemuxerPlugin.h"

int32_t CDemuxerPlugin::GetPluginType() { return kDemuxerPlugin; }
