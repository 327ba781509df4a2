#include "platform/linux/shortcuts/ShortcutsWindowFile.h"

#include <glib.h>

#include <algorithm>
#include <cstring>

namespace tavlin::platform {
namespace {

constexpr std::string_view windowClass = "GtkShortcutsWindow";

// What an element of the file is to the reader.
enum class Kind { window, section, group, shortcut, otherObject, property, other };

struct Frame {
    Kind kind = Kind::other;
};

// The shortcut being read, until its element ends.
struct PendingShortcut {
    ShortcutsWindowFile::Text title;
    std::string accelerator, type, actionName;
    bool visible = true;
};

// GtkBuilder's booleans ("yes", "True", "1"…); absent when the text is none of them.
std::optional<bool> builderBoolean(std::string_view text) {
    const auto is = [text](std::initializer_list<const char*> words) {
        return std::any_of(words.begin(), words.end(), [text](const char* word) {
            return text.size() == std::strlen(word) && g_ascii_strncasecmp(text.data(), word, text.size()) == 0;
        });
    };
    if (is({"1", "t", "true", "y", "yes"})) return true;
    if (is({"0", "f", "false", "n", "no"})) return false;
    return std::nullopt;
}

// GtkBuilder takes "-" and "_" alike in property names.
std::string propertyName(const char* name) {
    std::string out(name ? name : "");
    std::replace(out.begin(), out.end(), '_', '-');
    return out;
}

const char* attribute(const char** names, const char** values, const char* wanted) {
    for (std::size_t i = 0; names[i]; ++i)
        if (std::strcmp(names[i], wanted) == 0) return values[i];
    return nullptr;
}

// The alternatives of a shortcut's accelerator text, as GtkShortcutLabel shows them:
// separated by spaces. An alternative that is a range ("<Primary>1...<Primary>9") or a
// combination of several keys ("a&b", "a+b") is no single key binding and is left out.
std::vector<std::string> alternatives(std::string_view accelerator) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= accelerator.size()) {
        const std::size_t end = std::min(accelerator.find(' ', start), accelerator.size());
        const std::string_view part = accelerator.substr(start, end - start);
        if (!part.empty() && part.find("...") == std::string_view::npos && part.find('&') == std::string_view::npos &&
            part.find('+') == std::string_view::npos)
            out.emplace_back(part);
        start = end + 1;
    }
    return out;
}

bool isAcceleratorType(std::string_view type) {
    return type.empty() || type == "accelerator" || type == "GTK_SHORTCUT_ACCELERATOR";
}

struct Reader {
    explicit Reader(const ShortcutsWindowFile::Limits& limits) : limits(limits) {}

    const ShortcutsWindowFile::Limits& limits;
    std::vector<ShortcutsWindowFile::Section> sections;
    std::vector<Frame> frames;
    std::size_t windowDepth = 0; // the depth of the window's element while inside it, else 0
    bool windowDone = false;
    std::size_t shortcutCount = 0;
    PendingShortcut shortcut;
    // The property being read: its name, its text so far, how to translate it.
    std::string property;
    ShortcutsWindowFile::Text value;
    bool valueTooLong = false;

    Kind objectKind(const char* className) const {
        const std::string_view name = className ? className : "";
        if (name == "GtkShortcutsSection") return Kind::section;
        if (name == "GtkShortcutsGroup") return Kind::group;
        if (name == "GtkShortcutsShortcut") return Kind::shortcut;
        return Kind::otherObject;
    }

    ShortcutsWindowFile::Section& currentSection() {
        if (sections.empty()) sections.emplace_back();
        return sections.back();
    }
    ShortcutsWindowFile::Group& currentGroup() {
        auto& section = currentSection();
        if (section.groups.empty()) section.groups.emplace_back();
        return section.groups.back();
    }

    void start(const char* element, const char** names, const char** values) {
        Frame frame;
        const std::string_view name = element;
        if (windowDepth == 0) {
            const char* className = attribute(names, values, "class");
            const char* parent = attribute(names, values, "parent");
            if ((name == "object" && className && className == windowClass) ||
                (name == "template" && parent && parent == windowClass))
                frame.kind = Kind::window;
        } else if (name == "object") {
            frame.kind = objectKind(attribute(names, values, "class"));
            if (frame.kind == Kind::section) sections.emplace_back();
            if (frame.kind == Kind::group) currentSection().groups.emplace_back();
            if (frame.kind == Kind::shortcut) shortcut = {};
        } else if (name == "property" && !frames.empty() && frames.back().kind != Kind::otherObject &&
                   frames.back().kind != Kind::other && frames.back().kind != Kind::property) {
            frame.kind = Kind::property;
            property = propertyName(attribute(names, values, "name"));
            const char* translatable = attribute(names, values, "translatable");
            const char* context = attribute(names, values, "context");
            if (!context) context = attribute(names, values, "msgctxt");
            value = {{}, context ? context : "", translatable && builderBoolean(translatable).value_or(false)};
            valueTooLong = false;
        }
        frames.push_back(frame);
        if (frame.kind == Kind::window) windowDepth = frames.size();
    }

    void text(std::string_view chunk) {
        if (frames.empty() || frames.back().kind != Kind::property || valueTooLong) return;
        if (value.text.size() + chunk.size() > limits.textBytes) {
            valueTooLong = true;
            value.text.clear();
            return;
        }
        value.text.append(chunk);
    }

    // Ends the element on top; false once the window has been read whole.
    bool end() {
        const Frame frame = frames.back();
        frames.pop_back();
        switch (frame.kind) {
        case Kind::property: endProperty(); break;
        case Kind::shortcut: endShortcut(); break;
        case Kind::window:
            windowDepth = 0;
            windowDone = true;
            return false;
        default: break;
        }
        return true;
    }

    void endProperty() {
        if (valueTooLong || frames.empty()) return;
        const Kind owner = frames.back().kind;
        const bool title = property == "title";
        if (owner == Kind::section && title) currentSection().title = value;
        if (owner == Kind::group && title) currentGroup().title = value;
        if (owner != Kind::shortcut) return;
        if (title) shortcut.title = value;
        if (property == "accelerator") shortcut.accelerator = value.text;
        if (property == "shortcut-type") shortcut.type = value.text;
        if (property == "action-name") shortcut.actionName = value.text;
        if (property == "visible") shortcut.visible = builderBoolean(value.text).value_or(true);
    }

    void endShortcut() {
        if (!shortcut.visible || !isAcceleratorType(shortcut.type)) return;
        auto keys = alternatives(shortcut.accelerator);
        if (keys.empty()) return; // a gesture, or bound through an action only
        if (shortcutCount >= limits.shortcuts) return;
        ++shortcutCount;
        currentGroup().shortcuts.push_back({std::move(shortcut.title), std::move(keys)});
    }
};

const GQuark stopQuark = g_quark_from_static_string("tavlin-shortcuts-window-stop");

void startElement(GMarkupParseContext*, const gchar* element, const gchar** names, const gchar** values,
                  gpointer data, GError** error) {
    auto& reader = *static_cast<Reader*>(data);
    if (reader.frames.size() >= reader.limits.depth) {
        g_set_error_literal(error, stopQuark, 0, "nested too deep");
        return;
    }
    reader.start(element, names, values);
}

void endElement(GMarkupParseContext*, const gchar*, gpointer data, GError** error) {
    auto& reader = *static_cast<Reader*>(data);
    if (reader.frames.empty()) return;
    if (!reader.end()) g_set_error_literal(error, stopQuark, 1, "window read");
}

void textOf(GMarkupParseContext*, const gchar* text, gsize length, gpointer data, GError**) {
    static_cast<Reader*>(data)->text(std::string_view(text, length));
}

} // namespace

bool ShortcutsWindowFile::mentionsShortcutsWindow(std::string_view xml) {
    return xml.find(windowClass) != std::string_view::npos;
}

std::vector<ShortcutsWindowFile::Section> ShortcutsWindowFile::read(std::string_view xml, const Limits& limits) {
    if (xml.size() > limits.bytes || !mentionsShortcutsWindow(xml)) return {};
    Reader reader(limits);
    static const GMarkupParser parser{startElement, endElement, textOf, nullptr, nullptr};
    GMarkupParseContext* context =
        g_markup_parse_context_new(&parser, G_MARKUP_PREFIX_ERROR_POSITION, &reader, nullptr);
    GError* error = nullptr;
    if (g_markup_parse_context_parse(context, xml.data(), static_cast<gssize>(xml.size()), &error))
        g_markup_parse_context_end_parse(context, &error);
    if (error) {
        if (error->domain != stopQuark || error->code != 1) g_debug("shortcuts window file: %s", error->message);
        g_error_free(error);
    }
    g_markup_parse_context_free(context);
    // A file cut short or malformed inside the window keeps the shortcuts read before the
    // fault: they are the application's own, as far as they go.
    // Groups without shortcuts, and then sections without groups, show nothing.
    for (auto& section : reader.sections)
        std::erase_if(section.groups, [](const Group& group) { return group.shortcuts.empty(); });
    std::erase_if(reader.sections, [](const Section& section) { return section.groups.empty(); });
    return std::move(reader.sections);
}

} // namespace tavlin::platform
