#pragma once
// One shape for every owned handle: a move-only owner that closes its handle
// through a close policy when it goes, is reset or is moved over. A policy:
//   struct Traits {
//       using Type = HANDLE;                         // the handle's type
//       static Type Invalid() { return nullptr; }    // the value owning nothing
//       static void Close(Type handle);              // called for valid handles only
//   };
#include <utility>

namespace plat {

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type handle) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    Type Get() const { return handle_; }
    bool IsValid() const { return handle_ != Traits::Invalid(); }
    explicit operator bool() const { return IsValid(); }
    // Closes the handle held (if any) and takes handle instead.
    void Reset(Type handle = Traits::Invalid()) {
        if (IsValid()) Traits::Close(handle_);
        handle_ = handle;
    }
    // Gives the handle up without closing it.
    Type Release() { return std::exchange(handle_, Traits::Invalid()); }

private:
    Type handle_ = Traits::Invalid();
};

}  // namespace plat
