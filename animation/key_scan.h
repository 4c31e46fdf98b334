#pragma once
// One pass over a frame name that finds every component key it holds. It runs for every "vx_"
// frame on every pass, so it is inline in the walk.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "animation/component_catalogue.h"

// Bit i stands for entry i of the component catalogue, so walking the bits upward visits the
// components in catalogue order.
using ComponentSet = std::uint16_t;

namespace key_scan {

static_assert(componentCount <= 8 * sizeof(ComponentSet));
static_assert(componentPrefix.size() == 3);

inline constexpr std::size_t afterPrefix = componentPrefix.size();

// Whether word could begin at byte at of text: they agree wherever both have bytes.
constexpr bool couldBeginAt(std::string_view text, std::size_t at, std::string_view word) {
    for (std::size_t i = 0; at + i < text.size() && i < word.size(); ++i) {
        if (text[at + i] != word[i]) return false;
    }
    return true;
}

// At a prefix the first key that matches is taken: no key may begin another, or begin inside one.
static_assert([] {
    for (const ComponentEntry& outer : componentCatalogue) {
        for (const ComponentEntry& inner : componentCatalogue) {
            if (&inner == &outer) continue;
            for (std::size_t at = 0; at < outer.key.size(); ++at) {
                if (couldBeginAt(outer.key, at, inner.key)) return false;
            }
        }
    }
    return true;
}());

// The search for the next prefix goes on after a key, or after a prefix that no key follows: no
// key, nor the prefix, may hold the prefix after its start, not even in part at its end.
static_assert([] {
    const auto holdsPrefixLater = [](std::string_view text) {
        for (std::size_t at = 1; at < text.size(); ++at) {
            if (couldBeginAt(text, at, componentPrefix)) return true;
        }
        return false;
    };
    for (const ComponentEntry& entry : componentCatalogue) {
        if (holdsPrefixLater(entry.key)) return false;
    }
    return !holdsPrefixLater(componentPrefix);
}());

// Whether the bytes of key I after the prefix follow at this prefix of the name. Unrolled at
// compile time from the catalogue; the comparison stops at the first difference, and the name's
// terminating zero differs from every key byte, so it never reads past the name.
template <std::size_t I, std::size_t... K>
bool keyTailAt(const char* prefix, std::index_sequence<K...>) {
    constexpr std::string_view key = componentCatalogue[I].key;
    return ((prefix[afterPrefix + K] == key[afterPrefix + K]) && ...);
}

struct KeyAt {
    ComponentSet component;  // the key found at a prefix, if any: no key begins another
    std::size_t length;      // of that key, or of the prefix alone
};

template <std::size_t... I>
KeyAt keyAt(const char* prefix, std::index_sequence<I...>) {
    KeyAt found{0, afterPrefix};
    ((keyTailAt<I>(prefix,
                   std::make_index_sequence<componentCatalogue[I].key.size() - afterPrefix>{}) &&
      (found = {static_cast<ComponentSet>(1u << I), componentCatalogue[I].key.size()}, true)) ||
     ...);
    return found;
}

inline KeyAt keyAt(const char* prefix) {
    return keyAt(prefix, std::make_index_sequence<componentCount>{});
}

// The bytes at which the search for a further prefix stops: its first byte, and the end.
inline constexpr std::array<bool, 256> stopsSearch = [] {
    std::array<bool, 256> stops{};
    stops[0] = true;
    stops[static_cast<unsigned char>(componentPrefix[0])] = true;
    return stops;
}();

}  // namespace key_scan

// The components whose keys occur anywhere in the zero-terminated name, which begins with the
// component prefix. Every key begins with the prefix, so each occurrence of the prefix is checked
// against the keys that can follow it: the result equals a substring search for every key.
inline ComponentSet componentKeysIn(const char* name) {
    ComponentSet found = 0;
    const char* at = name;
    for (;;) {
        const key_scan::KeyAt key = key_scan::keyAt(at);
        found |= key.component;
        at += key.length;
        for (;;) {
            while (!key_scan::stopsSearch[static_cast<unsigned char>(*at)]) ++at;
            if (*at == '\0') return found;
            if (at[1] == componentPrefix[1] && at[2] == componentPrefix[2]) break;
            ++at;
        }
    }
}

// The same for any text, with or without the prefix in front. It ends at its first zero byte, as
// a name the host hands over does.
inline ComponentSet componentKeysInText(std::string_view text) {
    const std::string_view name = text.substr(0, text.find('\0'));
    const std::size_t first = name.find(componentPrefix);
    if (first == std::string_view::npos) return 0;
    return componentKeysIn(std::string(name.substr(first)).c_str());
}

constexpr bool holdsComponent(ComponentSet set, Component component) {
    return ((set >> static_cast<unsigned>(component)) & 1u) != 0;
}
