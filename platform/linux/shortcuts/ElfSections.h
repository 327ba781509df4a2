#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tavlin::platform {

// The contents of an ELF file's sections, read through libelf. The files belong to other
// programs: a malformed file, a section that lies outside it or one over the limits gives
// nothing rather than a crash.
struct ElfSections {
    struct Limits {
        std::size_t sectionBytes = 32u << 20; // one section's contents
        std::size_t sections = 8;             // matching sections read from one file
        std::size_t headers = 1u << 16;       // section headers looked at
    };
    struct Section {
        std::string name;
        std::string contents;
    };

    // The sections whose names begin with `prefix` (e.g. ".gresource."), in the file's
    // order, of the ELF image in memory.
    static std::vector<Section> inImage(std::string_view image, std::string_view prefix, const Limits& limits);
    // The same of the file at `path`, which is mapped, never read whole.
    static std::vector<Section> inFile(const std::string& path, std::string_view prefix, const Limits& limits);
};

} // namespace tavlin::platform
