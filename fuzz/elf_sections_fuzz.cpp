// ELF images for the section reader: a small valid image whose bytes the input
// overwrites at places it chooses (headers that point outside the image, section tables
// that loop or overlap, names without an end, huge sizes), or the input's bytes alone.
#include "platform/linux/shortcuts/ElfSections.h"

#include <elf.h>
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

// An ELF64 relocatable file with a section-name table and one ".gresource.test" section.
std::string validImage() {
    const std::string names = std::string("\0.shstrtab\0.gresource.test\0", 27);
    const std::string contents = "GVariant\0\0\0\0\0\0\0\0";
    const std::size_t namesAt = sizeof(Elf64_Ehdr), contentsAt = namesAt + names.size();
    const std::size_t headersAt = (contentsAt + contents.size() + 7) / 8 * 8;
    std::string image(headersAt + 3 * sizeof(Elf64_Shdr), '\0');
    Elf64_Ehdr header{};
    std::memcpy(header.e_ident, ELFMAG, SELFMAG);
    header.e_ident[EI_CLASS] = ELFCLASS64;
    header.e_ident[EI_DATA] = ELFDATA2LSB;
    header.e_ident[EI_VERSION] = EV_CURRENT;
    header.e_type = ET_REL;
    header.e_machine = EM_X86_64;
    header.e_version = EV_CURRENT;
    header.e_shoff = headersAt;
    header.e_ehsize = sizeof(Elf64_Ehdr);
    header.e_shentsize = sizeof(Elf64_Shdr);
    header.e_shnum = 3;
    header.e_shstrndx = 1;
    std::memcpy(image.data(), &header, sizeof header);
    std::memcpy(image.data() + namesAt, names.data(), names.size());
    std::memcpy(image.data() + contentsAt, contents.data(), contents.size());
    Elf64_Shdr sections[3]{};
    sections[1] = {1, SHT_STRTAB, 0, 0, namesAt, names.size(), 0, 0, 1, 0};
    sections[2] = {11, SHT_PROGBITS, SHF_ALLOC, 0, contentsAt, contents.size(), 0, 0, 8, 0};
    std::memcpy(image.data() + headersAt, sections, sizeof sections);
    return image;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using tavlin::platform::ElfSections;
    ElfSections::Limits limits;
    limits.sectionBytes = 1u << 16;
    FuzzedDataProvider input(data, size);
    std::string image;
    if (input.ConsumeBool()) {
        image = input.ConsumeRemainingBytesAsString();
    } else {
        static const std::string valid = validImage();
        image = valid;
        while (input.remaining_bytes() > 1) {
            const auto at = input.ConsumeIntegralInRange<std::size_t>(0, image.size() - 1);
            image[at] = static_cast<char>(input.ConsumeIntegral<std::uint8_t>());
        }
        if (input.remaining_bytes() == 1) image.resize(input.ConsumeIntegralInRange<std::size_t>(0, image.size()));
    }
    for (const auto& section : ElfSections::inImage(image, ".gresource.", limits)) {
        // Each section's bytes were copied from inside the image: reading them stays in bounds.
        if (section.contents.size() > image.size() || section.contents.size() > limits.sectionBytes) __builtin_trap();
    }
    (void)ElfSections::inImage(image, "", limits);
    return 0;
}
