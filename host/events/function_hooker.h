#pragma once
// Chains of hook functions on patched host call sites. One manager per site owns the patch and the
// chain; hooker objects attach hooks to it and share it.

#include <cstring>
#include <functional>
#include <list>
#include <memory>
#include <type_traits>
#include <utility>

#include "host/host_version.h"
#include "host/patching/code_stub.h"
#include "host/patching/patching.h"

namespace injector {

template <class Scoped, class Base, class Result, class... Args>
class function_hooker_manager : public Scoped {
    static_assert(!std::is_void_v<Result>, "every hooked host function returns a 32-bit value");

  public:
    using func_type = std::function<Result(Args&...)>;
    using hook_type = std::function<Result(func_type, Args&...)>;
    // Calls the host function at an address in the host function's own convention.
    using host_invoker = Result (*)(address_t, Args&...);

    struct hook_record {
        const void* owner;
        hook_type hook;
    };

    function_hooker_manager() = default;
    ~function_hooker_manager() override {
        hooks.clear();
        release_site();
    }

    // The site's manager, shared by every hooker of the site.
    static std::shared_ptr<function_hooker_manager>& instance() {
        static std::shared_ptr<function_hooker_manager> shared =
            std::make_shared<function_hooker_manager>();
        return shared;
    }

    void restore() override {
        if (!patched) return;
        patched = 0;
        hooks.clear();
        release_site();
    }

    void add_hook(const void* owner, hook_type hook) {
        for (hook_record& entry : hooks) {
            if (entry.owner == owner) {
                entry.hook = std::move(hook);
                return;
            }
        }
        hooks.push_back({owner, std::move(hook)});
    }

    // Removes the owner's entry; true if there was one.
    bool remove_hook(const void* owner) {
        for (auto it = hooks.begin(); it != hooks.end(); ++it) {
            if (it->owner == owner) {
                hooks.erase(it);
                return true;
            }
        }
        return false;
    }

    const hook_type* find_hook(const void* owner) const {
        for (const hook_record& entry : hooks) {
            if (entry.owner == owner) return &entry.hook;
        }
        return nullptr;
    }

    // Patches the site once, towards entry, through a stub of its own, with an instruction of the
    // site's kind. Only what the site can hold without a byte of it changing meaning is diverted:
    // - at a call site, a 5-byte relative call. A jump there must stay a jump, or what was jumped
    //   to would be called; an indirect call (FF 15) is 6 bytes, and its sixth byte would run
    //   after our call returns.
    // - at a jump site, a relative jump, or an indirect call or jump that another plug-in put
    //   there: nothing returns to the bytes after a jump, so the ones past our five never run. An
    //   indirect form's cell is read afresh on every call, as the instruction read it, because
    //   repointing the cell is how its owner takes its hook back.
    // A site left alone, one that cannot be written, or one whose stub cannot be had, stays as it
    // is, and the manager stays unpatched.
    void patch_site(address_t site, address_t entry, host_invoker invoker) {
        if (patched) return;
        std::uint8_t opcode = 0;
        if (!try_read_u8(site, true, opcode)) return;
        const address_t cell = indirect_cell(site, true);
        const bool indirect_allowed = Scoped::opcode == jump_opcode && cell != 0;
        if (opcode != Scoped::opcode && !indirect_allowed) return;
        const address_t target = branch_target(site, true);
        if (target == 0 || !stub.jump_to(entry)) return;
        const address_t previous = this->patch(site, stub.entry(), true);
        if (!this->holds_saved() || !read_bytes(site, written, sizeof written, true)) {
            Scoped::restore();
            stub.jump_to(target);
            return;
        }
        host_target = previous;
        host_cell = opcode == Scoped::opcode ? 0 : cell;
        invoke_host = invoker;
        patched = 1;
    }

    // What hook_entry runs: the chain, the hook added last outermost and the innermost function
    // calling the host. Nothing in it reports failure by throwing, and nothing may leave it into
    // the host's code.
    static Result call_hooks(Args&... args) noexcept {
        const function_hooker_manager& self = *instance();
        const chain_call call{self.current_target(), self.invoke_host};
        const chain_level host{call, nullptr, nullptr};
        return copy_and_run(host, self.hooks.begin(), self.hooks.end(), args...);
    }

    // The stub the site leads to while patched; kept for good once laid out.
    const code_stub& site_stub() const { return stub; }

    bool is_patched() const { return patched != 0; }
    address_t target() const { return host_target; }
    // Where the host function is now: for a site that read a cell, what the cell holds. A call
    // reaches us only while the cell's owner has not put its site back, so the cell is there.
    address_t current_target() const {
        if (host_cell == 0) return host_target;
        std::uint32_t now = 0;
        std::memcpy(&now, reinterpret_cast<const void*>(host_cell), sizeof now);
        return static_cast<address_t>(now);
    }
    std::size_t hook_count() const { return hooks.size(); }

  private:
    // One call through the chain, on the stack of the host's call. The hooks are copied as they
    // stand when the call comes in, so that a hook may remove hooks, its own too, while the chain
    // runs. Each copy lies in a level of the recursion that takes the copies, and each inner
    // function refers to its level by a single pointer, which std::function keeps without a heap
    // allocation: the chain runs on every render of every vehicle.
    struct chain_call {
        address_t host_target;
        host_invoker invoke_host;
    };
    struct chain_level {
        const chain_call& call;
        const hook_type* hook;  // null: the host function
        const chain_level* inner;
    };
    using hook_position = typename std::list<hook_record>::const_iterator;

    static Result run_level(const chain_level& level, Args&... args) {
        if (level.hook == nullptr) return level.call.invoke_host(level.call.host_target, args...);
        const chain_level& inner = *level.inner;
        return (*level.hook)(
            func_type([&inner](Args&... innerArgs) { return run_level(inner, innerArgs...); }),
            args...);
    }

    // Copies the hooks from next to end, each wrapping the level before, then runs the last.
    static Result copy_and_run(const chain_level& inner, hook_position next, hook_position end,
                               Args&... args) {
        if (next == end) return run_level(inner, args...);
        const hook_type hook = next->hook;
        const chain_level level{inner.call, &hook, &inner};
        return copy_and_run(level, std::next(next), end, args...);
    }

    // Hands the site back. First the stub is turned to where the site led before us, so that from
    // then on nothing reaches the library through it, whoever holds a way to it. Then the site's
    // bytes come back if it still holds ours; if another plug-in diverted it after us, its patch
    // stays and leads on through the stub. A site that cannot be written back leads through the
    // stub too.
    void release_site() {
        if (!this->holds_saved()) return;
        // The cell's owner may be gone by now, its cell with it: then the stub keeps the last
        // destination we knew.
        const address_t last = host_cell == 0 ? host_target : cell_destination(host_cell);
        stub.jump_to(last != 0 ? last : host_target);
        std::uint8_t now[sizeof written];
        const bool ours = read_bytes(this->saved_address(), now, sizeof now, true) &&
                          std::memcmp(now, written, sizeof now) == 0;
        if (ours) Scoped::restore();
        this->discard();
    }

    address_t host_target = 0;
    address_t host_cell = 0;  // the cell an indirect site read its target from, or 0
    std::list<hook_record> hooks;
    std::uint8_t patched = 0;
    host_invoker invoke_host = nullptr;
    code_stub stub;
    std::uint8_t written[5] = {};  // the site's bytes as we patched it
};

template <class Scoped, address_t Address, class Signature>
class function_hooker_base;

// A hooker attaches one hook to the site's chain. A copy takes over the source's hook; removing the
// last hook of a site restores the site.
template <class Scoped, address_t Address, class Result, class... Args>
class function_hooker_base<Scoped, Address, Result(Args...)> : public scoped_base {
  public:
    using manager_type = function_hooker_manager<Scoped, function_hooker_base, Result, Args...>;
    using func_type = typename manager_type::func_type;
    using hook_type = typename manager_type::hook_type;
    static constexpr address_t address = Address;

    function_hooker_base() : manager(manager_type::instance()) {}

    function_hooker_base(const function_hooker_base& source)
        : hooked(source.hooked), manager(source.manager) {
        if (!manager) return;
        if (const hook_type* hook = manager->find_hook(&source)) {
            hook_type copy = *hook;
            manager->remove_hook(&source);
            manager->add_hook(this, std::move(copy));
        }
    }
    function_hooker_base& operator=(const function_hooker_base&) = delete;

    ~function_hooker_base() override { function_hooker_base::restore(); }

    void restore() override {
        hooked = 0;
        if (!manager) return;
        if (manager->remove_hook(this) && manager->hook_count() == 0) manager->restore();
    }

    virtual void attach_hook(hook_type hook) = 0;

    bool is_hooked() const { return hooked != 0; }
    const std::shared_ptr<manager_type>& shared_manager() const { return manager; }

  protected:
    void attach(hook_type hook, address_t entry, typename manager_type::host_invoker invoker) {
        hooked = 1;
        manager->add_hook(this, std::move(hook));
        manager->patch_site(translate_address(Address), entry, invoker);
    }

    std::uint8_t hooked = 0;
    std::shared_ptr<manager_type> manager;
};

template <class Function>
address_t address_of(Function* function) {
    return reinterpret_cast<address_t>(function);
}

// For a site that calls or jumps to a plain (cdecl) host function.
template <class Scoped, address_t Address, class Signature>
class function_hooker;

template <class Scoped, address_t Address, class Result, class... Args>
class function_hooker<Scoped, Address, Result(Args...)>
    : public function_hooker_base<Scoped, Address, Result(Args...)> {
    using base = function_hooker_base<Scoped, Address, Result(Args...)>;

  public:
    using typename base::hook_type;
    using typename base::manager_type;

    void attach_hook(hook_type hook) override {
        this->attach(std::move(hook), address_of(&hook_entry), &call_host);
    }

    // Written into the site: takes the host call's arguments unchanged and returns its result. Host
    // code keeps the stack only 4-byte aligned, ours assumes 16: realign on entry.
    __attribute__((force_align_arg_pointer)) static Result hook_entry(Args... args) {
        return manager_type::call_hooks(args...);
    }

  private:
    static Result call_host(address_t target, Args&... args) {
        return reinterpret_cast<Result (*)(Args...)>(target)(args...);
    }
};

// For a site that calls or jumps to a host member function: the object is argument 0, in ECX.
template <class Scoped, address_t Address, class Signature>
class function_hooker_thiscall;

template <class Scoped, address_t Address, class Result, class... Args>
class function_hooker_thiscall<Scoped, Address, Result(Args...)>
    : public function_hooker_base<Scoped, Address, Result(Args...)> {
    using base = function_hooker_base<Scoped, Address, Result(Args...)>;
    static_assert(sizeof...(Args) >= 1, "a member function takes its object");

  public:
    using typename base::hook_type;
    using typename base::manager_type;

    void attach_hook(hook_type hook) override {
        this->attach(std::move(hook), address_of(&hook_entry), &call_host);
    }

    // The object arrives in ECX as the host passes it. A member function is not thiscall on Linux,
    // so the convention is spelled out here and on the host function pointer below.
    __attribute__((force_align_arg_pointer)) static Result __attribute__((thiscall))
    hook_entry(Args... args) {
        return manager_type::call_hooks(args...);
    }

  private:
    static Result call_host(address_t target, Args&... args) {
        return reinterpret_cast<Result(__attribute__((thiscall))*)(Args...)>(target)(args...);
    }
};

}  // namespace injector
