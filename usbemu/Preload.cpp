#include "usbemu/Preload.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace zem::usbemu {

bool UnderUmockdevPreload()
{
    // umockdev's own check wants the preload named by its path; the loader finds it by name too.
    const char* preload = std::getenv("LD_PRELOAD");
    return preload && std::string(preload).find("libumockdev-preload.so") != std::string::npos;
}

void RestartUnderUmockdevPreload()
{
    if (UnderUmockdevPreload()) return;
    std::string preload = "libumockdev-preload.so.0";
    if (const char* already = std::getenv("LD_PRELOAD"); already && *already) preload += std::string(":") + already;
    setenv("LD_PRELOAD", preload.c_str(), 1);
    std::string asan = "verify_asan_link_order=0";
    if (const char* options = std::getenv("ASAN_OPTIONS"); options && *options) asan += std::string(":") + options;
    setenv("ASAN_OPTIONS", asan.c_str(), 1);

    std::ifstream file("/proc/self/cmdline", std::ios::binary);
    const std::string cmdline((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::string> args;
    for (std::size_t at = 0; at < cmdline.size();) {
        const std::size_t end = cmdline.find('\0', at);
        args.push_back(cmdline.substr(at, end - at));
        at = end == std::string::npos ? cmdline.size() : end + 1;
    }
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv("/proc/self/exe", argv.data());
    std::perror("cannot start again under the umockdev preload");
    std::exit(127);
}

} // namespace zem::usbemu
