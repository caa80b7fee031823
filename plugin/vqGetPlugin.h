#pragma once

#include "plugin/IPlugin.h"

#if defined(_WIN32)
#define VQ_EXPORT
#else
#define VQ_EXPORT __attribute__((visibility("default")))
#endif

// The module's one export. Each call returns a new plug-in object, owned by
// the caller until its Release. The host looks the symbol up by this name.
extern "C" VQ_EXPORT IPlugin* vqGetPlugin();

// The type of vqGetPlugin, for hosts that look it up at run time.
using VqGetPluginFunction = IPlugin* (*)();
