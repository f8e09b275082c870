#pragma once
// An owning, ordered list of plain item records, the shape of the project's
// three collections. Items keep their address while the list lives, so a
// reference from Add or Items stays valid.
#include <memory>
#include <vector>

template <typename T>
class TOwnedList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    T& Items(int index) { return *items_.at(static_cast<size_t>(index)); }
    const T& Items(int index) const { return *items_.at(static_cast<size_t>(index)); }
    // Appends a new item with empty texts and zero numbers.
    T& Add() {
        items_.push_back(std::make_unique<T>());
        return *items_.back();
    }
    void Clear() { items_.clear(); }

private:
    std::vector<std::unique_ptr<T>> items_;
};
