#include "platform/linux/shortcuts/ShortcutsWindowReader.h"

#include "platform/linux/atspi/model/KeyBindingParser.h"
#include "platform/linux/shortcuts/ProcessResourceFiles.h"

#include <glib.h>

#include <fstream>

namespace tavlin::platform {
namespace {

std::optional<std::string> wholeFile(const std::string& path, std::size_t limit) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text(limit + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    const auto length = static_cast<std::size_t>(in.gcount());
    if (length > limit) {
        g_debug("%s: over %zu bytes, not read", path.c_str(), limit);
        return std::nullopt;
    }
    text.resize(length);
    return text;
}

std::string translated(const ShortcutsWindowFile::Text& text, const ApplicationCatalogue& catalogue) {
    return text.translatable ? catalogue.translate(text.context, text.text) : text.text;
}

} // namespace

std::optional<std::string> ShortcutsWindowReader::file(std::int32_t pid, const Limits& limits) {
    const auto search = [&limits](const ProcessResourceFiles::File& candidate) -> std::optional<std::string> {
        if (candidate.kind == ProcessResourceFiles::File::Kind::bundle) {
            auto bundle = wholeFile(candidate.path, limits.bundle.bundleBytes);
            return bundle ? ResourceBundle::shortcutsWindowFile(std::move(*bundle), limits.bundle) : std::nullopt;
        }
        for (auto& section : ElfSections::inFile(candidate.path, ".gresource.", limits.sections))
            if (auto text = ResourceBundle::shortcutsWindowFile(std::move(section.contents), limits.bundle)) return text;
        return std::nullopt;
    };
    // Most applications keep it in their executable: the maps are read only when not.
    const auto executable = ProcessResourceFiles::executableFile(pid);
    if (executable)
        if (auto text = search(*executable)) return text;
    std::size_t looked = 0;
    for (const ProcessResourceFiles::File& candidate : ProcessResourceFiles::ofProcess(pid)) {
        if (executable && candidate == *executable) continue;
        if (++looked > limits.files) break;
        if (auto text = search(candidate)) return text;
    }
    return std::nullopt;
}

std::vector<ApplicationShortcuts::WindowRow> ShortcutsWindowReader::rows(
    const std::vector<ShortcutsWindowFile::Section>& sections, const ApplicationCatalogue& catalogue,
    const std::string& untitledGroup, std::size_t maxRows) {
    std::vector<ApplicationShortcuts::WindowRow> rows;
    for (const auto& section : sections) {
        const std::string sectionTitle = translated(section.title, catalogue);
        for (const auto& group : section.groups) {
            std::string groupTitle = translated(group.title, catalogue);
            if (groupTitle.empty()) groupTitle = sectionTitle.empty() ? untitledGroup : sectionTitle;
            for (const auto& shortcut : group.shortcuts) {
                const std::string title = translated(shortcut.title, catalogue);
                for (const std::string& accelerator : shortcut.accelerators) {
                    const auto key = atspi::KeyBindingParser::parseGtkAccelerator(accelerator);
                    if (!key) {
                        g_debug("shortcuts window: \"%s\" is no key binding", accelerator.c_str());
                        continue;
                    }
                    if (rows.size() >= maxRows) return rows;
                    rows.push_back({groupTitle, title, *key});
                }
            }
        }
    }
    return rows;
}

} // namespace tavlin::platform
