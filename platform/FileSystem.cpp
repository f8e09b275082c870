#include "platform/FileSystem.h"

namespace plat {

// The handle's ownership rules are the same on every backend; each backend
// supplies First and Close.
FindHandle::FindHandle() : handle_(nullptr) {}
FindHandle::~FindHandle() { Close(); }
FindHandle::FindHandle(FindHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
FindHandle& FindHandle::operator=(FindHandle&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        other.handle_ = nullptr;
    }
    return *this;
}

}  // namespace plat
