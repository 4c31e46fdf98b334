#include "animation/key_scan.h"

#include <cstring>
#include <utility>

#include "animation/component_catalogue.h"

namespace {

static_assert(componentCount <= 8 * sizeof(ComponentSet));
static_assert(componentPrefix.size() == 3);

constexpr std::size_t afterPrefix = componentPrefix.size();

// Whether the bytes of key I after the prefix follow at this prefix of the name. Unrolled at
// compile time from the catalogue; the comparison stops at the first difference, and the name's
// terminating zero differs from every key byte, so it never reads past the name.
template <std::size_t I, std::size_t... K>
bool keyTailAt(const char* prefix, std::index_sequence<K...>) {
    constexpr std::string_view key = componentCatalogue[I].key;
    return ((prefix[afterPrefix + K] == key[afterPrefix + K]) && ...);
}

template <std::size_t I>
ComponentSet keyAt(const char* prefix) {
    constexpr std::size_t tail = componentCatalogue[I].key.size() - afterPrefix;
    static_assert(tail > 0, "a key continues after the prefix");
    return keyTailAt<I>(prefix, std::make_index_sequence<tail>{}) ? ComponentSet(1u << I) : 0;
}

// Every key that begins at this prefix of the name.
template <std::size_t... I>
ComponentSet keysAt(const char* prefix, std::index_sequence<I...>) {
    return (keyAt<I>(prefix) | ...);
}

ComponentSet keysAt(const char* prefix) {
    return keysAt(prefix, std::make_index_sequence<componentCount>{});
}

}  // namespace

ComponentSet componentKeysIn(const char* name) {
    ComponentSet found = keysAt(name);
    // Further prefixes are rare: the C library's search finds their first bytes fastest.
    for (const char* at = std::strchr(name + afterPrefix, componentPrefix[0]); at != nullptr;
         at = std::strchr(at + 1, componentPrefix[0])) {
        if (at[1] == componentPrefix[1] && at[2] == componentPrefix[2]) found |= keysAt(at);
    }
    return found;
}
