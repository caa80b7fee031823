#include "tools/vqprobe/CPluginModule.h"

#include <dlfcn.h>

#include <filesystem>

CPluginModule::~CPluginModule() {
    if (m_handle != nullptr) {
        dlclose(m_handle);
    }
}

bool CPluginModule::Load(const std::string& path, std::string& error) {
    // A bare file name would make dlopen search the library path instead.
    const std::string target = path.find('/') == std::string::npos ? "./" + path : path;
    m_handle = dlopen(target.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_handle == nullptr) {
        const char* reason = dlerror();
        error = reason != nullptr ? reason : "cannot load the module";
        return false;
    }
    dlerror();
    void* symbol = dlsym(m_handle, "vqGetPlugin");
    if (symbol == nullptr) {
        error = path + ": the module exports no vqGetPlugin";
        return false;
    }
    m_getPlugin = reinterpret_cast<IPlugin* (*)()>(symbol);
    return true;
}

IPlugin* CPluginModule::CreatePlugin() const { return m_getPlugin(); }

std::string CPluginModule::DefaultPath() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return "vq_asf.so";
    }
    return (self.parent_path() / "vq_asf.so").string();
}
