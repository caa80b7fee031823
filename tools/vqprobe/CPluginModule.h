#pragma once

#include <string>

#include "plugin/IPlugin.h"

// A plug-in module loaded at run time, as a player loads it: the library
// by path, then its exported vqGetPlugin.
class CPluginModule {
public:
    CPluginModule() = default;
    ~CPluginModule();
    CPluginModule(const CPluginModule&) = delete;
    CPluginModule& operator=(const CPluginModule&) = delete;

    // False with `error` set to the loader's reason.
    bool Load(const std::string& path, std::string& error);

    // A new plug-in object from the module's vqGetPlugin.
    IPlugin* CreatePlugin() const;

    // The default module: vq_asf.so beside this executable.
    static std::string DefaultPath();

private:
    void* m_handle = nullptr;
    IPlugin* (*m_getPlugin)() = nullptr;
};
