#include "plugin/vqGetPlugin.h"

#include "plugin/CAsfDemuxerPlugin.h"

extern "C" IPlugin* vqGetPlugin() { return new CAsfDemuxerPlugin(); }
