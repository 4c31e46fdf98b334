#pragma once
// Events raised at patched host call sites: callbacks run before and after the host function
// reached through the site, with arguments picked from the host call.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <list>
#include <tuple>
#include <typeinfo>
#include <utility>

#include "host/events/function_hooker.h"
#include "host/host_interface.h"
#include "host/host_version.h"

namespace plugin {

using injector::address_t;

// A hook site of one host build: the host address, the build it belongs to, and whether the site
// holds a call or a jump.
template <address_t Address, std::int32_t Version, host::SiteKind Kind>
struct Ref {
    static constexpr address_t address = Address;
    static constexpr std::int32_t version = Version;
    using scoped = std::conditional_t<Kind == host::SiteKind::call, injector::scoped_call,
                                      injector::scoped_jmp>;
};

template <class... Refs>
struct RefList {};

template <class... Types>
struct ArgTypes {};

// The callback arguments: the host call's arguments at the given indices.
template <class Types, std::size_t... Indices>
struct ArgPick;

template <class... Types, std::size_t... Indices>
struct ArgPick<ArgTypes<Types...>, Indices...> {
    using callback_type = std::function<void(Types...)>;
    using plain_function = void (*)(Types...);

    template <class... Args>
    static void call(const callback_type& callback, Args&... args) {
        [[maybe_unused]] auto all = std::forward_as_tuple(args...);
        callback(std::get<Indices>(all)...);
    }
};

// The hookers made for each site type stay here until unload; destroying them removes their hooks.
template <class Hooker>
std::list<Hooker>& hookerStore() {
    static std::list<Hooker> store;
    return store;
}

template <template <class, address_t, class> class Hooker, class Refs, class Pick, class Signature>
class BaseEventI;

template <template <class, address_t, class> class Hooker, class... Refs, class Pick, class Result,
          class... Args>
class BaseEventI<Hooker, RefList<Refs...>, Pick, Result(Args...)> {
  public:
    using callback_type = typename Pick::callback_type;
    using func_type = std::function<Result(Args&...)>;

    struct Entry {
        callback_type callback;
        std::int32_t id;
    };
    using List = std::list<Entry>;

    BaseEventI() = default;
    BaseEventI(const BaseEventI&) = delete;
    BaseEventI& operator=(const BaseEventI&) = delete;

    // Adds a callback unless it is empty, the list already has its id (non-zero id) or, with id 0,
    // the same plain function. The first callback attaches the event's hooks.
    void AddCallback(List& list, callback_type callback, std::int32_t id) {
        if (!shouldAdd(list, callback, id)) return;
        if (!patched) {
            patched = 1;
            PatchAll(RefList<Refs...>{});
        }
        list.push_back(Entry{std::move(callback), id});
    }

    // Attaches one hook per site entry of the running host build.
    template <class... Entries>
    void PatchAll(RefList<Entries...>) {
        (patchEntry<Entries>(), ...);
    }

    // The hook each site runs: the host's result is returned unchanged.
    Result eventHook(func_type inner, Args&... args) {
        runCallbacks(before, args...);
        Result result = inner(args...);
        runCallbacks(after, args...);
        return result;
    }

    std::uint8_t patched = 0;
    List before;
    List after;

  private:
    static bool shouldAdd(const List& list, const callback_type& callback, std::int32_t id) {
        // Called, an empty callback could only fail inside the host's call.
        if (!callback) return false;
        if (id != 0) {
            for (const Entry& entry : list) {
                if (entry.id == id) return false;
            }
            return true;
        }
        const typename Pick::plain_function function = plainFunction(callback);
        if (function == nullptr) return true;
        for (const Entry& entry : list) {
            if (plainFunction(entry.callback) == function) return false;
        }
        return true;
    }

    // The plain function a callback holds, or null if it holds anything else.
    [[gnu::noinline]] static typename Pick::plain_function plainFunction(
        const callback_type& callback) {
        if (callback.target_type() != typeid(typename Pick::plain_function)) return nullptr;
        return *callback.template target<typename Pick::plain_function>();
    }

    template <class Entry>
    void patchEntry() {
        if (injector::host_version() != Entry::version) return;
        using hooker_type = Hooker<typename Entry::scoped, Entry::address, Result(Args...)>;
        hooker_type hooker;
        hooker.attach_hook([this](func_type inner, Args&... args) -> Result {
            return eventHook(std::move(inner), args...);
        });
        hookerStore<hooker_type>().push_back(hooker);
    }

    static void runCallbacks(const List& list, Args&... args) {
        for (const Entry& entry : list) {
            const callback_type callback = entry.callback;
            Pick::call(callback, args...);
        }
    }
};

// A site's entries, one per hooked build.
template <const host::PatchSite& Site>
using SiteRefs = RefList<Ref<Site.address, host::hookedBuilds[0], Site.kind>,
                         Ref<Site.address, host::hookedBuilds[1], Site.kind>>;
static_assert(std::size(host::hookedBuilds) == 2);

template <class... Lists>
struct JoinRefs;
template <class... First, class... Second>
struct JoinRefs<RefList<First...>, RefList<Second...>> {
    using type = RefList<First..., Second...>;
};

// The four events of the host's vehicle life cycle.
using PoolReadyEvent = BaseEventI<injector::function_hooker, SiteRefs<host::sites::poolReady>,
                                  ArgPick<ArgTypes<>>, std::int32_t()>;
using VehicleCreatedEvent =
    BaseEventI<injector::function_hooker_thiscall, SiteRefs<host::sites::vehicleCreated>,
               ArgPick<ArgTypes<CVehicle*>, 0>, std::int32_t(CVehicle*)>;
using VehicleDestroyedEvent =
    BaseEventI<injector::function_hooker_thiscall, SiteRefs<host::sites::vehicleDestroyed>,
               ArgPick<ArgTypes<CVehicle*>, 0>, std::int32_t(CVehicle*)>;
using VehicleRenderedEvent = BaseEventI<injector::function_hooker_thiscall,
                                        JoinRefs<SiteRefs<host::sites::vehicleRenderCall>,
                                                 SiteRefs<host::sites::vehicleRenderJump>>::type,
                                        ArgPick<ArgTypes<CVehicle*>, 0>, std::int32_t(CVehicle*)>;

// Each event is created on first use and released at unload.
PoolReadyEvent& poolReadyEvent();
VehicleCreatedEvent& vehicleCreatedEvent();
VehicleDestroyedEvent& vehicleDestroyedEvent();
VehicleRenderedEvent& vehicleRenderedEvent();

}  // namespace plugin
