// A library planted in a game folder under the names of the libraries the program loads. Should
// the dynamic loader ever take it, its constructor leaves a mark beside it ("NAME.LOADED").
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <string>

namespace {

__attribute__((constructor)) void LeaveMark() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&LeaveMark), &info) == 0 || info.dli_fname == nullptr)
        return;
    const std::string mark = std::string(info.dli_fname) + ".LOADED";
    const int fd = ::open(mark.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0)
        ::close(fd);
}

} // namespace
