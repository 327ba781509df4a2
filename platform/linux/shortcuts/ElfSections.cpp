#include "platform/linux/shortcuts/ElfSections.h"

#include <fcntl.h>
#include <gelf.h>
#include <glib.h>
#include <libelf.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace tavlin::platform {
namespace {

struct ElfEnd {
    void operator()(Elf* elf) const { elf_end(elf); }
};
using ElfHandle = std::unique_ptr<Elf, ElfEnd>;

struct FileClose {
    void operator()(const int* fd) const {
        if (*fd >= 0) ::close(*fd);
    }
};

bool libelfReady() {
    static const bool ready = elf_version(EV_CURRENT) != EV_NONE;
    return ready;
}

// The matching sections of an open ELF object. Every offset and size libelf reports is
// checked against the image before its bytes are copied.
std::vector<ElfSections::Section> matching(Elf* elf, std::string_view prefix, const ElfSections::Limits& limits) {
    std::vector<ElfSections::Section> found;
    if (!elf || elf_kind(elf) != ELF_K_ELF) return found;
    std::size_t imageSize = 0;
    const char* image = elf_rawfile(elf, &imageSize);
    if (!image) return found;
    std::size_t namesIndex = 0;
    if (elf_getshdrstrndx(elf, &namesIndex) != 0) return found;
    std::size_t headers = 0;
    for (Elf_Scn* section = elf_nextscn(elf, nullptr); section; section = elf_nextscn(elf, section)) {
        if (++headers > limits.headers || found.size() >= limits.sections) break;
        GElf_Shdr header;
        if (!gelf_getshdr(section, &header)) break;
        if (header.sh_type == SHT_NOBITS) continue;
        const char* name = elf_strptr(elf, namesIndex, header.sh_name);
        if (!name) continue;
        const std::string_view nameView(name);
        if (!nameView.starts_with(prefix)) continue;
        if (header.sh_size > limits.sectionBytes || header.sh_offset > imageSize ||
            header.sh_size > imageSize - header.sh_offset) {
            g_debug("section %s: %llu bytes at %llu, outside the file or over the limit", name,
                    static_cast<unsigned long long>(header.sh_size), static_cast<unsigned long long>(header.sh_offset));
            continue;
        }
        found.push_back({std::string(nameView), std::string(image + header.sh_offset, header.sh_size)});
    }
    return found;
}

} // namespace

std::vector<ElfSections::Section> ElfSections::inImage(std::string_view image, std::string_view prefix,
                                                          const Limits& limits) {
    if (!libelfReady() || image.empty()) return {};
    // libelf reads a memory image in place and never writes it through ELF_C_READ.
    const ElfHandle elf(elf_memory(const_cast<char*>(image.data()), image.size()));
    return matching(elf.get(), prefix, limits);
}

std::vector<ElfSections::Section> ElfSections::inFile(const std::string& path, std::string_view prefix,
                                                          const Limits& limits) {
    if (!libelfReady()) return {};
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    const std::unique_ptr<const int, FileClose> closer(&fd);
    if (fd < 0) {
        g_debug("%s: can't open it", path.c_str());
        return {};
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) return {};
    const ElfHandle elf(elf_begin(fd, ELF_C_READ_MMAP, nullptr));
    if (!elf) {
        g_debug("%s: not an ELF file (%s)", path.c_str(), elf_errmsg(-1));
        return {};
    }
    return matching(elf.get(), prefix, limits);
}

} // namespace tavlin::platform
